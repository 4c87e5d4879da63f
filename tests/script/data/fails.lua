failingRuns = (failingRuns or 0) + 1
error("deliberate failure")

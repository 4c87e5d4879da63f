-- Leaves values behind on purpose: the runner must drop them.
scriptRuns = (scriptRuns or 0) + 1
return 1, 2, 3

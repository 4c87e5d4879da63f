-- Counts the steps that end on this trigger and remembers which trigger fired.
stepCount = (stepCount or 0) + 1
lastTarget = Target

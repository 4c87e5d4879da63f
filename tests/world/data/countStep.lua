-- Counts the steps that end on this trigger and remembers which trigger fired.
stepCount = (stepCount or 0) + 1
lastTarget = Target
-- Lets a test act from inside the trigger, as a game script would.
if onStep then onStep() end

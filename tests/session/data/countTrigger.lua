-- Counts how often the trigger at (4, 1) fires.
triggerCount = (triggerCount or 0) + 1
lastSpot = spot

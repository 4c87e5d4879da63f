-- Runs once at start: the game begins where this script enters.
s:enter("yard", 5, 3)

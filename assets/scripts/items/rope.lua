-- Rope is not used up; it only matters where a script checks for it.
SoundHandler.play("text", 0)

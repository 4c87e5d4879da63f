-- Rope is not used up; the shaft in the sea cave checks for it.
SoundHandler.play("text", 0)

-- The old key opens the gate of the sea cave; the gate checks for it.
SoundHandler.play("text", 0)

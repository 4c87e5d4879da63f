-- The old key opens the cave; the cave's portal checks for it.
SoundHandler.play("text", 0)

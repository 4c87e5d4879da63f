-- Marta's note to Corvin is only handed over, never opened.
SoundHandler.play("text", 0)

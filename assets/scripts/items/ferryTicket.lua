-- The ticket is shown, not spent: the ferry captain's dialog checks for it.
SoundHandler.play("text", 0)

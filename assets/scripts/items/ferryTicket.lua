-- The ticket is shown, not used: the ferry captain takes it when you board.
SoundHandler.play("text", 0)

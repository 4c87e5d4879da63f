-- A door between scenes. The trigger's properties arrive as string globals:
-- targetScene, targetRow and targetCol name where the avatar comes out.
s:enter(targetScene, tonumber(targetRow), tonumber(targetCol))
SoundHandler.play("portal", 0)

-- A door between scenes. The trigger's properties arrive as string
-- globals: targetScene, targetRow and targetCol say where Wren comes out,
-- music which track plays there.
s:enter(targetScene, tonumber(targetRow), tonumber(targetCol))
SoundHandler.play("portal", 0)
SoundHandler.play(music, 0.5)

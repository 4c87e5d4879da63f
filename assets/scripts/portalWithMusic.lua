-- A door between scenes that also changes the music. Besides targetScene,
-- targetRow and targetCol, the trigger carries "music", a track of the sound
-- table; asking for the track already playing changes nothing.
s:enter(targetScene, tonumber(targetRow), tonumber(targetCol))
SoundHandler.play("portal", 0)
SoundHandler.play(music, 0.5)

-- Runs once when the game starts: the session enters no scene by itself.
-- Fenwy wakes up in front of the house on the beach.
dofile("./assets/scripts/story.lua")
s:enter("coastalVillage_start", 8, 9)
SoundHandler.play("themeTown", 0)

-- A way between scenes that opens only while the party carries the item
-- named by the trigger's "requires" property. Without it the avatar is
-- turned back one step in direction "back" (0 up, 1 right, 2 down, 3 left)
-- and, when "say" names a dialog, node and speaker ("aldric gate aldric"),
-- is told why. Otherwise it works like portalWithMusic.lua.
if s:has(requires) then
  s:enter(targetScene, tonumber(targetRow), tonumber(targetCol))
  SoundHandler.play("portal", 0)
  SoundHandler.play(music, 0.5)
else
  SoundHandler.play("thud", 0)
  fenwy:attemptMoveDirection(tonumber(back))
  local dialog, node, speaker = string.match(say, "^(%S+) (%S+) (%S+)$")
  if dialog then
    talk(dialog, node, speaker)
  end
end

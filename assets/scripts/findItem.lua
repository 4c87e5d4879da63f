-- Something to find on the map: the first time the avatar steps here the
-- party gains the trigger's "item"; the session flag named by "flag"
-- remembers that it was taken.
if s:getflag(flag) == 0 then
  s:setflag(flag, 1)
  s:gain(item)
  SoundHandler.play("text", 0)
end

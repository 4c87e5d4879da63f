-- A healing herb gives back up to 8 hit points, never past the most the
-- character can have, and is used up.
if obj then
  obj:addHP(math.max(0, math.min(8, obj:getHP(true) - obj:getHP(false))), false)
  s:lose("herb")
end

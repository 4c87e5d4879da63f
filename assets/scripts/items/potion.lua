-- A healing potion restores up to 10 hit points to the character using it
-- (obj), never past the most it can have, and is used up.
if obj then
  obj:addHP(math.max(0, math.min(10, obj:getHP(true) - obj:getHP(false))), false)
  s:lose("potion")
end

-- A fresh fish restores up to 5 hit points to the character eating it
-- (obj), never past the most it can have, and is eaten.
if obj then
  obj:addHP(math.max(0, math.min(5, obj:getHP(true) - obj:getHP(false))), false)
  s:lose("fish")
end

-- A healing potion restores 10 hit points to the character using it (obj)
-- and is used up.
if obj then
  obj:addHP(10, false)
  s:lose("potion")
end

-- A healing potion restores 10 hit points to the character using it (obj).
if obj then
  obj:addHP(10, false)
end

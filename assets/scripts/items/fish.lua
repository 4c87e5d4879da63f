-- A fresh fish restores 5 hit points to the character eating it (obj) and
-- is eaten.
if obj then
  obj:addHP(5, false)
  s:lose("fish")
end

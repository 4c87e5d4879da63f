-- A fresh fish restores 5 hit points to the character eating it (obj).
if obj then
  obj:addHP(5, false)
end

-- The elder's charm hardens its wearer (obj) against harm for good: more
-- hit points, filled at once. It crumbles once its strength is given.
if obj then
  obj:addHP(8, true)
  obj:addHP(8, false)
  s:lose("elderCharm")
end

-- A banana restores a little fatigue to the character eating it (obj) and
-- is eaten.
if obj then
  obj:addFatigue(3, false)
  s:lose("banana")
end

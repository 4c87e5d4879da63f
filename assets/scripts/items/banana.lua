-- A banana restores a little fatigue to the character eating it (obj).
if obj then
  obj:addFatigue(3, false)
end

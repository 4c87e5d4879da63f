-- A banana restores up to 3 fatigue to the character eating it (obj),
-- never past the most it can have, and is eaten.
if obj then
  obj:addFatigue(math.max(0, math.min(3, obj:getFatigue(true) - obj:getFatigue(false))), false)
  s:lose("banana")
end

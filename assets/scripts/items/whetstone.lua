-- Sharpening the blade once makes every blow of the character (obj) land
-- harder for good; the stone wears away doing it.
if obj then
  obj:addDamagePhysical(2)
  s:lose("whetstone")
end

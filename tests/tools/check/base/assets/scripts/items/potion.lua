-- Heals whoever drinks it.
obj:addHP(false, 5)
s:lose("potion")

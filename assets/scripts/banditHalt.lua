-- Stepping into the bandits' camp: their leader calls out as long as he
-- still stands.
if s:getflag("leader_down") == 0 then
  talk("bandits", "halt", "banditLeader")
end

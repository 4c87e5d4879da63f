-- Stepping into the bandits' camp: while any of them still stands, the
-- first one standing calls out, so a lost fight can always be fought again.
for _, id in ipairs({"banditLeader", "bandit1", "bandit2"}) do
  local down = id == "banditLeader" and "leader_down" or id .. "_down"
  if s:getflag(down) == 0 then
    talk("bandits", "halt", id)
    return
  end
end

-- Cells a wandering character may step onto. A wanderer only moves after
-- this script has let it in; obj is the wanderer whose think script asked.
-- The avatar fires these cells too, with no obj set, and is left alone.
if obj then
  obj:setIsInWanderRegion(1)
end

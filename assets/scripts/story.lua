-- Helpers of the demo story, loaded once by demoStartup.lua. Scene files
-- and dialog scripts call them.

-- Opens a conversation with the character id unless one is showing, so
-- holding the interact key does not restart it every frame.
function talk(dialog, node, id)
  if s:getflag("flag_isDialogOpen") == 0 then
    SoundHandler.play("text", 0)
    s:dialog("assets/dialogs/" .. dialog .. ".xml", node, id)
  end
end

-- Begins a quest the first time only. The flag is set before the quest
-- log is asked, so the story's own record holds whatever the log does.
function quest(id, title)
  if s:getflag("quest_" .. id) == 0 then
    s:setflag("quest_" .. id, 1)
    s:beginQuest(id, title)
  end
end

-- Finishes a quest that was begun, once.
function finish(id)
  if s:getflag("quest_" .. id) == 1 then
    s:setflag("quest_" .. id, 2)
    s:endQuest(id)
  end
end

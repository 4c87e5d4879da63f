-- Runs once when the game starts: the session enters no scene by itself.

-- Opens a conversation unless one is showing, so that holding the interact
-- key does not start it again every frame. Scene files call it.
function talk(id, node)
  if s:getflag("flag_isDialogOpen") == 0 then
    s:dialog("assets/dialogs/" .. id .. ".xml", node, id)
  end
end

s:enter("glade", 7, 4)
SoundHandler.play("themeGlade", 0)

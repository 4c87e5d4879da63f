-- Aldric's interact script: open the conversation unless one is showing, so
-- holding the key does not restart it every frame.
if s:getflag("flag_isDialogOpen") == 0 then
  SoundHandler.play("text", 0)
  s:dialog("assets/dialogs/aldric.xml", "start", "aldric")
end

-- Coming up the lair towards the throne: Vosk speaks as long as he stands.
if s:getflag("vosk_down") == 0 then
  talk("vosk", "start", "vosk")
end

-- A door: the trigger's properties arrive as string globals.
s:enter(targetScene, tonumber(targetRow), tonumber(targetCol))

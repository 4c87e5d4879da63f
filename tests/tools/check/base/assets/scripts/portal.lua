s:enter(targetScene, tonumber(targetRow), tonumber(targetCol))

journal = (journal or "") .. "first(" .. tostring(label) .. ");"

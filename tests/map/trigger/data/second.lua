journal = (journal or "") .. "second(" .. tostring(label) .. ");"

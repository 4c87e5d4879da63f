-- Run by the session's "read" binding with subj and obj bound.
readPair = subj:getId() .. ">" .. obj:getId()

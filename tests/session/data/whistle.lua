-- The whistle item's script: notes who blew it (obj).
whistledBy = obj:getId()

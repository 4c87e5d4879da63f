-- The game begins at home.
s:enter("home", 0, 0)

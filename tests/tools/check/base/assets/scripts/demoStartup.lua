-- The game begins at home.
s:enter("home", 1, 1)

#!/bin/sh
# Makes an empty game folder (mygame, or the folder named) and borrows the
# pictures of the example game: one tileset and three walking sheets.
# Run it from the engine's source folder.
set -e
GAME=${1:-mygame}
mkdir -p "$GAME/assets/maps" "$GAME/assets/sprites"
cp examples/lantern/assets/maps/lantern.png "$GAME/assets/maps/tiles.png"
cp examples/lantern/assets/sprites/wren.png "$GAME/assets/sprites/hero.png"
cp examples/lantern/assets/sprites/odo.png "$GAME/assets/sprites/sage.png"
cp examples/lantern/assets/sprites/gloam.png "$GAME/assets/sprites/rat.png"

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "map/MapTile.h"
#include "map/MapTileset.h"

// One layer of a level as its file gives it: a rows x cols grid of tile ids
// over the map's tilesets, or free-standing pictures (an object layer's
// tile objects, an image layer's image), and how the editor shows it. Plain
// data with no drawing in it: each cell is kept as the file's id (four
// bytes) and what it shows is worked out when asked.
class MapLayer
{
public:
    // The tile of a cell; an invisible tile outside the grid.
    MapTile tileAt(int row, int col) const;
    // The tileset a tile's image comes from: tilesets[tile.tileset], or the
    // grid's when the layer lists none.
    const MapTileset* TilesetOf(const MapTile& tile) const;

    std::string name;
    // The layer's place among the map's drawn layers (0 first).
    int priorityLevel = 0;
    int rows = 0;
    int cols = 0;
    // The grid: its rendered tile size is the size of one cell.
    MapTileset* tileset = nullptr;
    // Every tileset the cells draw from, with the id of each one's first
    // tile (ascending); the level map owns them.
    std::vector<MapTileset*> tilesets;
    std::vector<std::uint32_t> firstGids;
    // The cells' ids, row by row (rows x cols of them, flip bits kept).
    std::vector<std::uint32_t> gids;
    // Tiles placed freely, drawn after the cells in this order.
    std::vector<MapTileObject> objects;

    // How the editor shows the layer: hidden layers draw no tiles, opacity
    // scales every pixel's coverage, and the tint (red, green, blue, alpha,
    // 0 to 1) multiplies every pixel.
    bool shownInEditor = true;
    float opacity = 1.0f;
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    // Drawn in the editor's order rather than in the passes chosen by
    // name; such a layer is drawn under the sprites unless `overSprites`.
    bool editorOrder = false;
    bool overSprites = false;
    // An object layer at the sprites' place: its tile objects are drawn
    // among the sprites.
    bool holdsSprites = false;
    // Where the editor shifts the layer, in map pixels (x right, y down),
    // its groups' offsets included; and how fast it follows the view (1
    // moves with the map, 0 stays with the view), measured from the map's
    // parallax origin (map pixels from its top-left).
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float parallaxX = 1.0f;
    float parallaxY = 1.0f;
    float parallaxOriginX = 0.0f;
    float parallaxOriginY = 0.0f;
    // An image layer whose picture repeats across (x) or down (y) the
    // whole view, as the editor's repeatx and repeaty.
    bool repeatX = false;
    bool repeatY = false;
};

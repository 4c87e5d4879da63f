#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "graphics/TGDrawableTile.h"
#include "graphics/TGTileObject.h"
#include "graphics/TGTileset.h"

namespace tamsygraphics
{
// One drawable layer of a level: a rows x cols grid of cells over one
// tileset, plus the cells to highlight. The name decides the draw group.
class Map
{
public:
    Map();

    // Null when the cell lies outside the grid.
    DrawableTile* GetTile(int row, int col);
    // World units (rendered tile size times cells).
    float GetMapWidth() const;
    float GetMapHeight() const;

    void SetVisible(bool visible);
    bool IsVisible() const { return !hide; }

    void HighlightTile(int row, int col);
    // Removes every entry of the cell, however often it was highlighted.
    void UnhiglightTile(int row, int col);
    const std::vector<std::pair<int, int>>& GetHighlightedTiles() const { return _hightlightedTiles; }

    // The tileset a cell's image comes from: tilesets[cell.tileset], or
    // `tileset` when the layer lists none.
    const Tileset* TilesetOf(const DrawableTile& cell) const;

    std::string name;
    int priorityLevel = 0;
    int rows = 0;
    int cols = 0;
    // The grid: its rendered tile size is the size of one cell.
    Tileset* tileset = nullptr;
    // Every tileset the cells draw from (not owned). A map drawn with tiles
    // of several sizes keeps its grid in `tileset` and its images here.
    std::vector<Tileset*> tilesets;
    // How the editor shows the layer: hidden layers draw no tiles (their
    // highlights still show), opacity scales every pixel's coverage, and
    // the tint (red, green, blue, alpha, 0 to 1) multiplies every pixel.
    bool shownInEditor = true;
    float opacity = 1.0f;
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    // Drawn in the editor's order (by priorityLevel, the layer's place in the
    // map) rather than in the passes chosen by name; such a layer is drawn
    // under the sprites unless `overSprites`.
    bool editorOrder = false;
    // An object layer at the sprites' place: its tile objects are drawn
    // among the sprites, whatever stands lower on the screen in front.
    bool holdsSprites = false;
    // Where the editor shifts the layer, in map pixels (x right, y down),
    // its groups' offsets included; and how fast it follows the view: 1
    // moves with the map, 0 stays with the view, measured from the map's
    // parallax origin (map pixels from its top-left).
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float parallaxX = 1.0f;
    float parallaxY = 1.0f;
    float parallaxOriginX = 0.0f;
    float parallaxOriginY = 0.0f;
    bool overSprites = false;
    // An image layer's picture repeated across (x) or down (y) the whole
    // view, as the editor's repeatx and repeaty.
    bool repeatX = false;
    bool repeatY = false;
    std::vector<std::vector<DrawableTile>> tiles;
    // Tiles placed freely (an object layer's tile objects), drawn after the
    // cells in this order.
    std::vector<TileObject> objects;
    bool hide = true;
    std::vector<std::pair<int, int>> _hightlightedTiles;
};

typedef std::map<std::string, Map*> MapMap;
}

#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "graphics/TGGeometry.h"

namespace tamsygraphics
{
// A tile layer's mesh with what the renderer needs to draw only the part a
// camera sees. Quads follow the cells row by row, left to right, as the
// Tiled editor paints them, so any run of them drawn in order overlaps
// exactly as the whole layer would.
struct LayerMesh
{
    // Cells per block when looking up where a row's quads begin.
    static const int BLOCK = 16;

    Geometry geometry;
    int rows = 0;
    int cols = 0;
    int blocksPerRow = 0;
    unsigned int quads = 0;
    // Index of the first quad of block b of row r at [r * blocksPerRow + b];
    // one more entry at the end holds the number of quads.
    std::vector<unsigned int> blockStarts;
    // Runs of quads that sample one tileset: (first quad, tileset index),
    // by first quad.
    std::vector<std::pair<unsigned int, unsigned short>> runs;
    // How far any tile reaches past its cell in each direction, in world
    // units (tiles larger than the grid, tile offsets).
    float reachLeft = 0.0f;
    float reachRight = 0.0f;
    float reachUp = 0.0f;
    float reachDown = 0.0f;

    // The animated tiles the layer shows, as (tileset index, tile id), and
    // the tile each showed when the mesh was built: the mesh needs building
    // again only when one of them shows another.
    std::vector<std::pair<unsigned short, int>> animatedTiles;
    std::vector<int> shownFrames;
    // The quads that show an animated tile, ascending, each with its tile
    // as in `animatedTiles`.
    std::vector<std::pair<unsigned int, std::pair<unsigned short, int>>> animatedQuads;
    // The world y of each tile object quad's anchor (its bottom-left corner
    // before turning), for drawing objects among the sprites.
    std::vector<float> objectBaseY;

    // Quads of the cells in rows [firstRow, lastRow] and columns
    // [firstCol, lastCol] (and up to a block beyond), as ranges of quads
    // [begin, end) in drawing order, neighbouring ranges merged.
    std::vector<std::pair<unsigned int, unsigned int>> QuadRanges(int firstRow, int lastRow, int firstCol,
                                                                  int lastCol) const;
    // The quads of the layer's tile objects, after every cell's: drawn
    // whatever the camera sees, as they may stand anywhere.
    std::pair<unsigned int, unsigned int> ObjectQuads() const;
    // The tileset of a quad.
    unsigned short TilesetOfQuad(unsigned int quad) const;
    // The first quad after `quad` that samples another tileset (or the end).
    unsigned int RunEnd(unsigned int quad) const;
};
}

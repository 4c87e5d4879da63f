#include "graphics/TGGeometryFactory.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include <glm/glm.hpp>

#include "Log/Log.h"
#include "graphics/TGMap.h"

namespace tamsygraphics
{
namespace
{
// Corner order of every quad: top left, top right, bottom right, bottom left.
enum Corner
{
    TL = 0,
    TR = 1,
    BR = 2,
    BL = 3
};

// Tiled flips the tile image across its main diagonal first (x and y
// swapped), then mirrors it horizontally, then vertically. Each step below
// rearranges which image corner each quad corner samples, in that order.
void ApplyTiledFlips(const DrawableTile& t, glm::vec2 uv[4])
{
    if (t.flipDiagonal)
        std::swap(uv[TR], uv[BL]);
    if (t.flipHorizontal)
    {
        std::swap(uv[TL], uv[TR]);
        std::swap(uv[BL], uv[BR]);
    }
    if (t.flipVertical)
    {
        std::swap(uv[TL], uv[BL]);
        std::swap(uv[TR], uv[BR]);
    }
}

struct LayerFrame
{
    float dx = 0.0f;
    float dy = 0.0f;
    float halfW = 0.0f;
    float halfH = 0.0f;
};

LayerFrame FrameOf(const Map& map)
{
    LayerFrame f;
    f.dx = static_cast<float>(map.tileset->renderedTileWidth);
    f.dy = static_cast<float>(map.tileset->renderedTileHeight);
    f.halfW = map.cols * f.dx / 2.0f;
    f.halfH = map.rows * f.dy / 2.0f;
    return f;
}

void CellPositions(const LayerFrame& f, int i, int j, glm::vec2 pos[4])
{
    const float left = j * f.dx - f.halfW;
    const float right = (j + 1) * f.dx - f.halfW;
    const float top = f.halfH - i * f.dy;
    const float bottom = f.halfH - (i + 1) * f.dy;
    pos[TL] = glm::vec2(left, top);
    pos[TR] = glm::vec2(right, top);
    pos[BR] = glm::vec2(right, bottom);
    pos[BL] = glm::vec2(left, bottom);
}

// Where a tile image lands: from the cell's bottom-left corner, at its
// tileset's size and offset, turned by a diagonal flip (Tiled swaps the
// drawn width and height then). For tiles of the grid's size without offset
// this is exactly the cell.
void TilePositions(const glm::vec2 cell[4], const Tileset& grid, const Tileset& ts, bool diagonal, glm::vec2 pos[4])
{
    if ((&ts == &grid || (ts.tileWidth == grid.tileWidth && ts.tileHeight == grid.tileHeight)) && ts.offsetX == 0 &&
        ts.offsetY == 0)
    {
        std::copy(cell, cell + 4, pos);
        return;
    }
    float width = 2.0f * ts.tileWidth;
    float height = 2.0f * ts.tileHeight;
    if (diagonal)
        std::swap(width, height);
    const float left = cell[BL].x + 2.0f * ts.offsetX;
    const float bottom = cell[BL].y - 2.0f * ts.offsetY;
    pos[TL] = glm::vec2(left, bottom + height);
    pos[TR] = glm::vec2(left + width, bottom + height);
    pos[BR] = glm::vec2(left + width, bottom);
    pos[BL] = glm::vec2(left, bottom);
}

void GrowReach(LayerMesh& mesh, const glm::vec2 cell[4], const glm::vec2 pos[4])
{
    mesh.reachLeft = std::max(mesh.reachLeft, cell[BL].x - pos[BL].x);
    mesh.reachRight = std::max(mesh.reachRight, pos[TR].x - cell[TR].x);
    mesh.reachUp = std::max(mesh.reachUp, pos[TR].y - cell[TR].y);
    mesh.reachDown = std::max(mesh.reachDown, cell[BL].y - pos[BL].y);
}

// The tile at (c, r) of a Tiled tileset image starts after the margin and
// after c (r) tiles each followed by the spacing.
void TileUVs(const Tileset& ts, const ImageInfo& info, int c, int r, glm::vec2 uv[4])
{
    const float pixelX = 1.0f / static_cast<float>(info.width);
    const float pixelY = 1.0f / static_cast<float>(info.height);
    // Wide arithmetic: a tileset may give any spacing up to the int range.
    const long long leftPx = ts.Margin() + c * (static_cast<long long>(ts.tileWidth) + ts.Spacing());
    const long long topPx = ts.Margin() + r * (static_cast<long long>(ts.tileHeight) + ts.Spacing());
    const float uLeft = static_cast<float>(leftPx) * pixelX;
    const float uRight = static_cast<float>(leftPx + ts.tileWidth) * pixelX;
    const float vTop = static_cast<float>(topPx) * pixelY;
    const float vBottom = static_cast<float>(topPx + ts.tileHeight) * pixelY;
    uv[TL] = glm::vec2(uLeft, vTop);
    uv[TR] = glm::vec2(uRight, vTop);
    uv[BR] = glm::vec2(uRight, vBottom);
    uv[BL] = glm::vec2(uLeft, vBottom);
}

// World units per map pixel along one axis.
float WorldPerPixel(float rendered, int pixels)
{
    return pixels > 0 ? rendered / static_cast<float>(pixels) : 2.0f;
}

// A tile object's corners in the world: its rectangle hangs up from its
// bottom-left corner and turns clockwise about it, as the editor draws it.
void ObjectPositions(const LayerFrame& f, const Tileset& grid, const Tileset& ts, const TileObject& o, glm::vec2 pos[4])
{
    const float scaleX = WorldPerPixel(f.dx, grid.tileWidth);
    const float scaleY = WorldPerPixel(f.dy, grid.tileHeight);
    const float radians = glm::radians(o.rotation);
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    // Map pixels, y down, relative to the corner the object turns about;
    // the tileset's tile offset is scaled with the picture and turns with it.
    const float shiftX = ts.tileWidth > 0 ? ts.offsetX * o.width / static_cast<float>(ts.tileWidth) : 0.0f;
    const float shiftY = ts.tileHeight > 0 ? ts.offsetY * o.height / static_cast<float>(ts.tileHeight) : 0.0f;
    const glm::vec2 corners[4] = {{shiftX, shiftY - o.height},
                                  {shiftX + o.width, shiftY - o.height},
                                  {shiftX + o.width, shiftY},
                                  {shiftX, shiftY}};
    for (int k = 0; k < 4; ++k)
    {
        const float x = o.x + corners[k].x * c - corners[k].y * s;
        const float y = o.y + corners[k].x * s + corners[k].y * c;
        pos[k] = glm::vec2(x * scaleX - f.halfW, f.halfH - y * scaleY);
    }
}

// Copies of a repeated picture from `first` at steps of `size` (map pixels)
// that cover `low` to `high`; at most `most` of them.
std::vector<float> RepeatSteps(float first, float size, float low, float high, std::size_t most)
{
    std::vector<float> steps;
    const float start = first + std::floor((low - first) / size) * size;
    for (float at = start; at < high && steps.size() < most; at += size)
        steps.push_back(at);
    return steps;
}

// The free-standing pictures of a layer, an image layer's picture repeated
// across and down as the editor repeats it over the whole view: copies at
// whole multiples of its size from where it stands. They reach past the
// map by its own size and some (room for the layer's offset and parallax
// to move it, and for a view wider than the map).
std::vector<TileObject> PlacedObjects(const Map& map)
{
    if ((!map.repeatX && !map.repeatY) || map.objects.size() != 1 || !map.tileset)
        return map.objects;
    const TileObject& one = map.objects.front();
    if (!(one.width > 0.0f) || !(one.height > 0.0f))
        return map.objects;
    const float width = static_cast<float>(map.cols) * map.tileset->tileWidth;
    const float height = static_cast<float>(map.rows) * map.tileset->tileHeight;
    const float margin = 1024.0f;
    // A picture of a few pixels over a large map would ask for millions.
    const std::size_t most = 512;
    const std::vector<float> xs =
        map.repeatX ? RepeatSteps(one.x, one.width, -map.offsetX - width - margin, -map.offsetX + 2.0f * width + margin,
                                  most)
                    : std::vector<float>{one.x};
    // A picture's y is its bottom edge.
    const std::vector<float> ys =
        map.repeatY ? RepeatSteps(one.y, one.height, -map.offsetY - height - margin,
                                  -map.offsetY + 2.0f * height + margin + one.height, most)
                    : std::vector<float>{one.y};
    std::vector<TileObject> copies;
    copies.reserve(xs.size() * ys.size());
    for (float y : ys)
        for (float x : xs)
        {
            TileObject copy = one;
            copy.x = x;
            copy.y = y;
            copies.push_back(copy);
        }
    return copies;
}

// The tile picture a cell or object shows at `ms`: an animated tile's frame,
// else its own. Notes the animated tiles met.
DrawableTile ShownTile(const Tileset& ts, const DrawableTile& t, long long ms, unsigned int quad, LayerMesh& mesh)
{
    if (ts.animations.empty() || ts.maxCol <= 0)
        return t;
    const int id = t.row * ts.maxCol + t.col;
    const auto animation = ts.animations.find(id);
    if (animation == ts.animations.end())
        return t;
    const std::pair<unsigned short, int> key(t.tileset, id);
    const auto at = std::lower_bound(mesh.animatedTiles.begin(), mesh.animatedTiles.end(), key);
    if (at == mesh.animatedTiles.end() || *at != key)
        mesh.animatedTiles.insert(at, key);
    mesh.animatedQuads.emplace_back(quad, key);
    DrawableTile shown = t;
    const int frame = animation->second.FrameAt(ms).tileId;
    shown.col = frame % ts.maxCol;
    shown.row = frame / ts.maxCol;
    return shown;
}

const DrawableTile* CellAt(const Map& map, int i, int j)
{
    // A grid filled short of rows x cols draws what it has.
    if (static_cast<size_t>(i) >= map.tiles.size() || static_cast<size_t>(j) >= map.tiles[i].size())
        return nullptr;
    return &map.tiles[i][j];
}

// Visits the visible cells row by row with the corners of their quads.
template <typename Visit>
void ForEachVisibleCell(const Map& map, Geometry& g, Visit visit)
{
    // One allocation for the whole layer instead of one per growth step.
    const size_t cells = map.tiles.empty() ? 0
                                           : static_cast<size_t>(map.rows > 0 ? map.rows : 0) *
                                                 static_cast<size_t>(map.cols > 0 ? map.cols : 0);
    g.vertices.reserve(cells * 4);
    g.indices.reserve(cells * 6);
    const LayerFrame frame = FrameOf(map);
    for (int i = 0; i < map.rows; ++i)
    {
        for (int j = 0; j < map.cols; ++j)
        {
            const DrawableTile* t = CellAt(map, i, j);
            if (!t || !t->visible)
                continue;
            glm::vec2 pos[4];
            CellPositions(frame, i, j, pos);
            visit(i, j, *t, pos);
        }
    }
}

bool CheckInputs(const Map* map, const ImageInfo* info)
{
    if (!map)
    {
        Log::plain() << "NULL map" << std::endl;
        return false;
    }
    if (!map->tileset)
    {
        Log::plain() << "NULL tileset" << std::endl;
        return false;
    }
    if (!info)
    {
        Log::plain() << "NULL info" << std::endl;
        return false;
    }
    if (info->width <= 0 || info->height <= 0)
    {
        // A tileset texture without pixels cannot be cut into tiles.
        Log::file(logERROR) << "(GeometryFactory::GenerateMap) Tileset image of map (" << map->name
                            << ") has no pixels";
        return false;
    }
    return true;
}
}

Geometry GeometryFactory::GenerateSquare(float width, float height) const
{
    const float hw = width / 2.0f;
    const float hh = height / 2.0f;
    const glm::vec2 pos[4] = {{-hw, hh}, {hw, hh}, {hw, -hh}, {-hw, -hh}};
    const glm::vec2 uv[4] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    Geometry g;
    AppendQuad(g, pos, uv);
    return g;
}

Geometry GeometryFactory::GenerateMap(const Map* map, const ImageInfo* info) const
{
    const size_t tilesets = map && !map->tilesets.empty() ? map->tilesets.size() : 1;
    return GenerateLayerMesh(map, std::vector<const ImageInfo*>(tilesets, info)).geometry;
}

LayerMesh GeometryFactory::GenerateLayerMesh(const Map* map, const std::vector<const ImageInfo*>& images,
                                             long long timeMs) const
{
    LayerMesh mesh;
    const ImageInfo* first = images.empty() ? nullptr : images.front();
    if (!CheckInputs(map, first))
        return mesh;
    mesh.rows = map->rows > 0 ? map->rows : 0;
    mesh.cols = map->cols > 0 ? map->cols : 0;
    mesh.blocksPerRow = (mesh.cols + LayerMesh::BLOCK - 1) / LayerMesh::BLOCK;
    mesh.blockStarts.reserve(static_cast<size_t>(mesh.rows) * mesh.blocksPerRow + 1);
    unsigned int quad = 0;
    // Every block up to `key` that has no entry yet starts at the next quad.
    auto markBlocksUpTo = [&](size_t key)
    {
        while (mesh.blockStarts.size() <= key)
            mesh.blockStarts.push_back(quad);
    };
    ForEachVisibleCell(*map, mesh.geometry,
                       [&](int i, int j, const DrawableTile& t, const glm::vec2 cell[4])
                       {
                           const Tileset* ts = map->TilesetOf(t);
                           const ImageInfo* info = t.tileset < images.size() ? images[t.tileset] : nullptr;
                           if (!ts || !info || info->width <= 0 || info->height <= 0)
                               return;
                           markBlocksUpTo(static_cast<size_t>(i) * mesh.blocksPerRow +
                                          static_cast<size_t>(j / LayerMesh::BLOCK));
                           glm::vec2 pos[4];
                           TilePositions(cell, *map->tileset, *ts, t.flipDiagonal, pos);
                           GrowReach(mesh, cell, pos);
                           glm::vec2 uv[4];
                           const DrawableTile shown = ShownTile(*ts, t, timeMs, quad, mesh);
                           TileUVs(*ts, *info, shown.col, shown.row, uv);
                           ApplyTiledFlips(t, uv);
                           AppendQuad(mesh.geometry, pos, uv);
                           if (mesh.runs.empty() || mesh.runs.back().second != t.tileset)
                               mesh.runs.emplace_back(quad, t.tileset);
                           ++quad;
                       });
    markBlocksUpTo(static_cast<size_t>(mesh.rows) * mesh.blocksPerRow);
    const LayerFrame frame = FrameOf(*map);
    for (const TileObject& object : PlacedObjects(*map))
    {
        const Tileset* ts = map->TilesetOf(object.tile);
        const ImageInfo* info = object.tile.tileset < images.size() ? images[object.tile.tileset] : nullptr;
        if (!object.tile.visible || !ts || !info || info->width <= 0 || info->height <= 0)
            continue;
        glm::vec2 pos[4];
        ObjectPositions(frame, *map->tileset, *ts, object, pos);
        glm::vec2 uv[4];
        const DrawableTile shown = ShownTile(*ts, object.tile, timeMs, quad, mesh);
        TileUVs(*ts, *info, shown.col, shown.row, uv);
        ApplyTiledFlips(object.tile, uv);
        AppendQuad(mesh.geometry, pos, uv);
        mesh.objectBaseY.push_back(frame.halfH -
                                   object.y * (frame.dy / static_cast<float>(std::max(1, map->tileset->tileHeight))));
        if (mesh.runs.empty() || mesh.runs.back().second != object.tile.tileset)
            mesh.runs.emplace_back(quad, object.tile.tileset);
        ++quad;
    }
    mesh.quads = quad;
    mesh.shownFrames = ShownFrames(map, mesh, timeMs);
    return mesh;
}

std::vector<int> GeometryFactory::ShownFrames(const Map* map, const LayerMesh& mesh, long long timeMs)
{
    std::vector<int> frames;
    frames.reserve(mesh.animatedTiles.size());
    for (const std::pair<unsigned short, int>& tile : mesh.animatedTiles)
    {
        DrawableTile cell;
        cell.tileset = tile.first;
        const Tileset* ts = map->TilesetOf(cell);
        int shown = -1;
        if (ts)
        {
            const auto animation = ts->animations.find(tile.second);
            if (animation != ts->animations.end())
                shown = animation->second.FrameAt(timeMs).tileId;
        }
        frames.push_back(shown);
    }
    return frames;
}

namespace
{
// Cells outside the grid count as closed.
bool isWholeCellOpen(const CellSides& grid, int row, int column)
{
    bool open[4];
    return grid.cellSides(row, column, open) && open[0] && open[1] && open[2] && open[3];
}
}

Geometry GeometryFactory::GeneratePasabilityMap(const Map* map, const ImageInfo* info, const CellSides* pmap) const
{
    Geometry g;
    if (!CheckInputs(map, info) || !pmap)
        return g;
    ForEachVisibleCell(*map, g,
                       [&](int i, int j, const DrawableTile&, const glm::vec2 pos[4])
                       {
                           const glm::vec2 code =
                               isWholeCellOpen(*pmap, i, j) ? glm::vec2(0.0f, 1.0f) : glm::vec2(1.0f, 0.0f);
                           const glm::vec2 uv[4] = {code, code, code, code};
                           AppendQuad(g, pos, uv);
                       });
    return g;
}

const glm::vec2 GeometryFactory::SIDE_CODE(1.0f, 1.0f);
const glm::vec2 GeometryFactory::SHADE_CODE(1.0f, 0.0f);
// The "pass" program draws it translucent green.
const glm::vec2 GeometryFactory::TRIGGER_CODE(0.0f, 1.0f);

namespace
{
// A band of `width` along one side of a cell, inside it, so that a closed
// side of one cell never hides what its neighbour says.
void SideBand(const glm::vec2 cell[4], int side, float width, glm::vec2 band[4])
{
    std::copy(cell, cell + 4, band);
    switch (side)
    {
    case CellSides::SIDE_TOP:
        band[BL].y = band[BR].y = cell[TL].y - width;
        break;
    case CellSides::SIDE_RIGHT:
        band[TL].x = band[BL].x = cell[TR].x - width;
        break;
    case CellSides::SIDE_BOTTOM:
        band[TL].y = band[TR].y = cell[BL].y + width;
        break;
    default:
        band[TR].x = band[BR].x = cell[TL].x + width;
        break;
    }
}
}

Geometry GeometryFactory::GeneratePassabilitySides(const Map* map, const CellSides* pmap) const
{
    Geometry g;
    if (!map || !map->tileset || !pmap)
        return g;
    const LayerFrame frame = FrameOf(*map);
    const float width = std::max(LINE_MIN, std::min(frame.dx, frame.dy) / 8.0f);
    const glm::vec2 shade[4] = {SHADE_CODE, SHADE_CODE, SHADE_CODE, SHADE_CODE};
    const glm::vec2 side[4] = {SIDE_CODE, SIDE_CODE, SIDE_CODE, SIDE_CODE};
    for (int i = 0; i < map->rows; ++i)
    {
        for (int j = 0; j < map->cols; ++j)
        {
            bool open[4];
            if (!pmap->cellSides(i, j, open))
                continue;
            glm::vec2 cell[4];
            CellPositions(frame, i, j, cell);
            if (!open[CellSides::SIDE_TOP] && !open[CellSides::SIDE_RIGHT] && !open[CellSides::SIDE_BOTTOM] &&
                !open[CellSides::SIDE_LEFT])
            {
                AppendQuad(g, cell, shade);
                continue;
            }
            for (int s = CellSides::SIDE_TOP; s <= CellSides::SIDE_LEFT; ++s)
            {
                if (open[s])
                    continue;
                glm::vec2 band[4];
                SideBand(cell, s, width, band);
                AppendQuad(g, band, side);
            }
        }
    }
    return g;
}

void GeometryFactory::AppendQuad(Geometry& g, const glm::vec2 pos[4], const glm::vec2 uv[4])
{
    const unsigned int base = static_cast<unsigned int>(g.vertices.size());
    for (int k = 0; k < 4; ++k)
        g.vertices.push_back(Vertex{pos[k], uv[k]});
    const unsigned int order[6] = {0, 1, 2, 2, 3, 0};
    for (unsigned int o : order)
        g.indices.push_back(base + o);
}

void GeometryFactory::AppendTriggerCells(Geometry& g, const Map* map,
                                         const std::vector<std::pair<int, int>>& cells) const
{
    if (!map || !map->tileset)
        return;
    const LayerFrame frame = FrameOf(*map);
    const glm::vec2 code[4] = {TRIGGER_CODE, TRIGGER_CODE, TRIGGER_CODE, TRIGGER_CODE};
    for (const std::pair<int, int>& cell : cells)
    {
        if (cell.first < 0 || cell.second < 0 || cell.first >= map->rows || cell.second >= map->cols)
            continue;
        glm::vec2 corners[4];
        CellPositions(frame, cell.first, cell.second, corners);
        AppendQuad(g, corners, code);
    }
}
}

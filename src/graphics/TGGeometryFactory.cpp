#include "graphics/TGGeometryFactory.h"

#include <cstdio>
#include <utility>

#include "Log/FileLog.h"
#include "graphics/TGMap.h"

#include "core/LevelMap/PassabilityMap.h"

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

// The tile at (c, r) of a Tiled tileset image starts after the margin and
// after c (r) tiles each followed by the spacing.
void TileUVs(const Tileset& ts, const ImageInfo& info, int c, int r, glm::vec2 uv[4])
{
    const float pixelX = 1.0f / static_cast<float>(info.width);
    const float pixelY = 1.0f / static_cast<float>(info.height);
    const int leftPx = ts.Margin() + c * (ts.tileWidth + ts.Spacing());
    const int topPx = ts.Margin() + r * (ts.tileHeight + ts.Spacing());
    const float uLeft = leftPx * pixelX;
    const float uRight = (leftPx + ts.tileWidth) * pixelX;
    const float vTop = topPx * pixelY;
    const float vBottom = (topPx + ts.tileHeight) * pixelY;
    uv[TL] = glm::vec2(uLeft, vTop);
    uv[TR] = glm::vec2(uRight, vTop);
    uv[BR] = glm::vec2(uRight, vBottom);
    uv[BL] = glm::vec2(uLeft, vBottom);
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
    const size_t cells = static_cast<size_t>(map.rows > 0 ? map.rows : 0) * static_cast<size_t>(map.cols > 0 ? map.cols : 0);
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
        std::printf("NULL map\n");
        return false;
    }
    if (!map->tileset)
    {
        std::printf("NULL tileset\n");
        return false;
    }
    if (!info)
    {
        std::printf("NULL info\n");
        return false;
    }
    if (info->width <= 0 || info->height <= 0)
    {
        // A tileset texture without pixels cannot be cut into tiles.
        FILE_LOG(logERROR) << "(GeometryFactory::GenerateMap) Tileset image of map (" << map->name
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
    Geometry g;
    if (!CheckInputs(map, info))
        return g;

    ForEachVisibleCell(*map, g, [&](int, int, const DrawableTile& t, const glm::vec2 pos[4]) {
        glm::vec2 uv[4];
        TileUVs(*map->tileset, *info, t.col, t.row, uv);
        ApplyTiledFlips(t, uv);
        AppendQuad(g, pos, uv);
    });
    return g;
}

Geometry GeometryFactory::GeneratePasabilityMap(const Map* map, const ImageInfo* info,
                                                const core::PassabilityMap* pmap) const
{
    Geometry g;
    if (!CheckInputs(map, info) || !pmap)
        return g;
    ForEachVisibleCell(*map, g, [&](int i, int j, const DrawableTile& t, const glm::vec2 pos[4]) {
        glm::vec2 tileUV[4];
        TileUVs(*map->tileset, *info, t.col, t.row, tileUV);
        const glm::vec2 code = pmap->isPassable(i, j) ? glm::vec2(0.0f, 1.0f) : glm::vec2(1.0f, 0.0f);
        const glm::vec2 uv[4] = {code, code, code, code};
        AppendQuad(g, pos, uv);
        if (tileUV[BL].x > 1.0f || tileUV[BL].y > 1.0f)
            std::printf("shucks");
    });
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
}

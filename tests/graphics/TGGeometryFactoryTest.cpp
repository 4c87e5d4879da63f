#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "map/PassabilityMap.h"
#include "graphics/TGGeometryFactory.h"
#include "graphics/TGMap.h"

using namespace tamsygraphics;

namespace
{
const float EPS = 1e-6f;

struct Layer
{
    Tileset tileset;
    Map map;
    ImageInfo info;

    Layer(int rows, int cols)
    {
        tileset.tileWidth = 16;
        tileset.tileHeight = 16;
        tileset.renderedTileWidth = 32;
        tileset.renderedTileHeight = 32;
        map.rows = rows;
        map.cols = cols;
        map.tileset = &tileset;
        map.tiles.assign(rows, std::vector<DrawableTile>(cols));
        info.width = 64;
        info.height = 32;
    }
};

// uv of quad corner k (TL, TR, BR, BL) of the first quad.
glm::vec2 UV(const Geometry& g, int k)
{
    return g.vertices[k].uv;
}

void ExpectVec(const glm::vec2& actual, float x, float y, const std::string& what)
{
    EXPECT_NEAR(actual.x, x, EPS) << what;
    EXPECT_NEAR(actual.y, y, EPS) << what;
}
}

TEST(GeometryFactory, SquareIsUnitQuadCentredOnOrigin)
{
    GeometryFactory factory;
    const Geometry g = factory.GenerateSquare(1.0f, 1.0f);
    ASSERT_EQ(g.vertices.size(), 4u);
    ExpectVec(g.vertices[0].pos, -0.5f, 0.5f, "top left");
    ExpectVec(g.vertices[1].pos, 0.5f, 0.5f, "top right");
    ExpectVec(g.vertices[2].pos, 0.5f, -0.5f, "bottom right");
    ExpectVec(g.vertices[3].pos, -0.5f, -0.5f, "bottom left");
    ExpectVec(g.vertices[0].uv, 0, 0, "uv top left");
    ExpectVec(g.vertices[1].uv, 1, 0, "uv top right");
    ExpectVec(g.vertices[2].uv, 1, 1, "uv bottom right");
    ExpectVec(g.vertices[3].uv, 0, 1, "uv bottom left");
    EXPECT_EQ(g.indices, (std::vector<unsigned int>{0, 1, 2, 2, 3, 0}));

    const Geometry wide = factory.GenerateSquare(4.0f, 2.0f);
    ExpectVec(wide.vertices[2].pos, 2.0f, -1.0f, "scaled corner");
    EXPECT_EQ(sizeof(Vertex), 16u);
}

TEST(GeometryFactory, EmptyAndNullInputsGiveEmptyGeometry)
{
    GeometryFactory factory;
    Layer hidden(3, 3);
    for (auto& row : hidden.map.tiles)
        for (auto& t : row)
            t.visible = false;
    Geometry g = factory.GenerateMap(&hidden.map, &hidden.info);
    EXPECT_TRUE(g.vertices.empty());
    EXPECT_TRUE(g.indices.empty());

    Layer none(0, 0);
    EXPECT_TRUE(factory.GenerateMap(&none.map, &none.info).vertices.empty());

    testing::internal::CaptureStdout();
    EXPECT_TRUE(factory.GenerateMap(nullptr, &hidden.info).vertices.empty());
    Layer noTileset(1, 1);
    noTileset.map.tileset = nullptr;
    EXPECT_TRUE(factory.GenerateMap(&noTileset.map, &noTileset.info).vertices.empty());
    Layer noInfo(1, 1);
    EXPECT_TRUE(factory.GenerateMap(&noInfo.map, nullptr).vertices.empty());
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("NULL map"), std::string::npos);
    EXPECT_NE(out.find("NULL tileset"), std::string::npos);
    EXPECT_NE(out.find("NULL info"), std::string::npos);

    // A tileset texture without pixels (file missing) must not produce
    // infinite texture coordinates.
    Layer noPixels(2, 2);
    noPixels.info.width = 0;
    noPixels.info.height = 0;
    EXPECT_TRUE(factory.GenerateMap(&noPixels.map, &noPixels.info).vertices.empty());

    // A grid filled short of rows x cols draws only the cells it has.
    Layer shortGrid(2, 2);
    shortGrid.map.tiles.resize(1);
    EXPECT_EQ(factory.GenerateMap(&shortGrid.map, &shortGrid.info).vertices.size(), 8u);
}

TEST(GeometryFactory, TwoByThreeMapVerticesIndicesAndExtent)
{
    GeometryFactory factory;
    Layer layer(2, 3);
    layer.map.tiles[1][2].visible = true;
    const Geometry g = factory.GenerateMap(&layer.map, &layer.info);
    ASSERT_EQ(g.vertices.size(), 24u);
    ASSERT_EQ(g.indices.size(), 36u);

    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const Vertex& v : g.vertices)
    {
        minX = std::min(minX, v.pos.x);
        maxX = std::max(maxX, v.pos.x);
        minY = std::min(minY, v.pos.y);
        maxY = std::max(maxY, v.pos.y);
    }
    EXPECT_FLOAT_EQ(minX, -1.5f * 32);
    EXPECT_FLOAT_EQ(maxX, 1.5f * 32);
    EXPECT_FLOAT_EQ(minY, -32.0f);
    EXPECT_FLOAT_EQ(maxY, 32.0f);

    // Cell (0, 0) is the top-left quad, cell (1, 2) the last one.
    ExpectVec(g.vertices[0].pos, -48, 32, "cell (0,0) top left");
    ExpectVec(g.vertices[2].pos, -16, 0, "cell (0,0) bottom right");
    ExpectVec(g.vertices[20].pos, 16, 0, "cell (1,2) top left");
    ExpectVec(g.vertices[22].pos, 48, -32, "cell (1,2) bottom right");

    for (unsigned int q = 0; q < 6; ++q)
    {
        const unsigned int b = q * 4;
        const std::vector<unsigned int> expected = {b, b + 1, b + 2, b + 2, b + 3, b};
        EXPECT_EQ(std::vector<unsigned int>(g.indices.begin() + q * 6, g.indices.begin() + q * 6 + 6), expected);
    }

    // Invisible cells leave gaps without shifting the others.
    layer.map.tiles[0][1].visible = false;
    const Geometry gap = factory.GenerateMap(&layer.map, &layer.info);
    ASSERT_EQ(gap.vertices.size(), 20u);
    ExpectVec(gap.vertices[4].pos, 16, 32, "cell (0,2) follows cell (0,0)");
}

TEST(GeometryFactory, TextureCoordinatesWithoutSpacing)
{
    GeometryFactory factory;
    Layer layer(1, 2);
    layer.map.tiles[0][1].col = 3;
    layer.map.tiles[0][1].row = 1;
    const Geometry g = factory.GenerateMap(&layer.map, &layer.info);
    ExpectVec(UV(g, 0), 0, 0, "tile (0,0) top left");
    ExpectVec(UV(g, 2), 16.0f / 64, 16.0f / 32, "tile (0,0) bottom right");
    ExpectVec(g.vertices[4].uv, 48.0f / 64, 16.0f / 32, "tile (3,1) top left");
    ExpectVec(g.vertices[6].uv, 1.0f, 1.0f, "tile (3,1) bottom right");
}

TEST(GeometryFactory, EqualMarginAndSpacingGapBeforeEveryTile)
{
    GeometryFactory factory;
    Layer layer(1, 1);
    layer.tileset.spaceX = 2; // margin
    layer.tileset.spaceY = 2; // spacing
    layer.info.width = 200;
    layer.info.height = 100;
    layer.map.tiles[0][0].col = 2;
    layer.map.tiles[0][0].row = 1;
    const Geometry g = factory.GenerateMap(&layer.map, &layer.info);
    // (c + 1) * gap + c * tileWidth: 3 * 2 + 2 * 16 = 38 pixels in.
    ExpectVec(UV(g, 0), 38.0f / 200, 20.0f / 100, "top left");
    ExpectVec(UV(g, 2), 54.0f / 200, 36.0f / 100, "bottom right: exactly one tile");
}

TEST(GeometryFactory, MarginIsTheBorderAndSpacingTheGapInBothDirections)
{
    GeometryFactory factory;
    Layer layer(1, 1);
    layer.tileset.spaceX = 1; // margin: border around the whole image
    layer.tileset.spaceY = 3; // spacing: gap between neighbouring tiles
    layer.info.width = 200;
    layer.info.height = 100;

    layer.map.tiles[0][0].col = 0;
    layer.map.tiles[0][0].row = 0;
    Geometry g = factory.GenerateMap(&layer.map, &layer.info);
    ExpectVec(UV(g, 0), 1.0f / 200, 1.0f / 100, "first tile starts after the margin");

    layer.map.tiles[0][0].col = 2;
    layer.map.tiles[0][0].row = 3;
    g = factory.GenerateMap(&layer.map, &layer.info);
    // x: 1 + 2 * (16 + 3) = 39; y: 1 + 3 * (16 + 3) = 58.
    ExpectVec(UV(g, 0), 39.0f / 200, 58.0f / 100, "tile (2,3) top left");
    ExpectVec(UV(g, 2), 55.0f / 200, 74.0f / 100, "tile (2,3) bottom right");
}

// Tiled's meaning of the flip bits, stated on the displayed image: the
// displayed point p shows the tile point found by undoing the vertical
// mirror, then the horizontal mirror, then the diagonal (x/y swap).
glm::vec2 TiledSource(glm::vec2 p, bool h, bool v, bool d)
{
    if (v)
        p.y = 1.0f - p.y;
    if (h)
        p.x = 1.0f - p.x;
    if (d)
        std::swap(p.x, p.y);
    return p;
}

TEST(GeometryFactory, AllEightFlipCombinationsMatchTiled)
{
    GeometryFactory factory;
    Layer layer(1, 1);
    layer.info.width = 16;
    layer.info.height = 16;
    // Quad corners in display space (x right, y down): TL, TR, BR, BL.
    const glm::vec2 corners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int bits = 0; bits < 8; ++bits)
    {
        const bool h = bits & 4;
        const bool v = bits & 2;
        const bool d = bits & 1;
        DrawableTile& t = layer.map.tiles[0][0];
        t.flipHorizontal = h;
        t.flipVertical = v;
        t.flipDiagonal = d;
        const Geometry g = factory.GenerateMap(&layer.map, &layer.info);
        ASSERT_EQ(g.vertices.size(), 4u);
        for (int k = 0; k < 4; ++k)
        {
            const glm::vec2 expected = TiledSource(corners[k], h, v, d);
            ExpectVec(UV(g, k), expected.x, expected.y,
                      "h=" + std::to_string(h) + " v=" + std::to_string(v) + " d=" + std::to_string(d) + " corner " +
                          std::to_string(k));
        }
    }
}

TEST(GeometryFactory, FlipsGiveTiledRotationsAndTransposes)
{
    GeometryFactory factory;
    Layer layer(1, 1);
    layer.info.width = 16;
    layer.info.height = 16;
    DrawableTile& t = layer.map.tiles[0][0];

    // Diagonal alone: transpose about the top-left/bottom-right diagonal, so
    // top-left and bottom-right stay, the other two corners trade places.
    t.flipDiagonal = true;
    Geometry g = factory.GenerateMap(&layer.map, &layer.info);
    ExpectVec(UV(g, 0), 0, 0, "D: TL stays");
    ExpectVec(UV(g, 1), 0, 1, "D: TR shows BL");
    ExpectVec(UV(g, 2), 1, 1, "D: BR stays");
    ExpectVec(UV(g, 3), 1, 0, "D: BL shows TR");

    // Diagonal + horizontal: rotation by 90 degrees clockwise.
    t.flipHorizontal = true;
    g = factory.GenerateMap(&layer.map, &layer.info);
    ExpectVec(UV(g, 0), 0, 1, "D+H: TL shows BL");
    ExpectVec(UV(g, 1), 0, 0, "D+H: TR shows TL");

    // All three: transpose about the other diagonal.
    t.flipVertical = true;
    g = factory.GenerateMap(&layer.map, &layer.info);
    ExpectVec(UV(g, 0), 1, 1, "D+H+V: TL shows BR");
    ExpectVec(UV(g, 1), 1, 0, "D+H+V: TR stays");
    ExpectVec(UV(g, 2), 0, 0, "D+H+V: BR shows TL");
    ExpectVec(UV(g, 3), 0, 1, "D+H+V: BL stays");

    // Diagonal + vertical: rotation by 90 degrees counter-clockwise.
    t.flipHorizontal = false;
    g = factory.GenerateMap(&layer.map, &layer.info);
    ExpectVec(UV(g, 0), 1, 0, "D+V: TL shows TR");
    ExpectVec(UV(g, 3), 0, 0, "D+V: BL shows TL");
}

TEST(GeometryFactory, PassabilityMeshCarriesOpenAndBlockedCodes)
{
    GeometryFactory factory;
    Layer layer(2, 2);
    layer.map.tiles[1][0].visible = false;
    core::PassabilityMap pmap(2, 2); // every cell closed
    pmap.setTile(0, 1, std::make_unique<PassabilityTile>(true));
    pmap.setTile(1, 1, std::make_unique<PassabilityTile>(true, true, false, true)); // one side closed

    const Geometry g = factory.GeneratePasabilityMap(&layer.map, &layer.info, &pmap);
    ASSERT_EQ(g.vertices.size(), 12u);
    ASSERT_EQ(g.indices.size(), 18u);
    for (int k = 0; k < 4; ++k)
    {
        ExpectVec(g.vertices[k].uv, 1, 0, "cell (0,0) blocked");
        ExpectVec(g.vertices[4 + k].uv, 0, 1, "cell (0,1) open");
        ExpectVec(g.vertices[8 + k].uv, 1, 0, "cell (1,1) partly closed counts as blocked");
    }
    ExpectVec(g.vertices[8].pos, 0, 0, "cell (1,1) keeps its place");

    EXPECT_TRUE(factory.GeneratePasabilityMap(&layer.map, &layer.info, nullptr).vertices.empty());

    // A tile beyond the tileset image still gets its code, and nothing is printed.
    layer.map.tiles[0][0].col = 9;
    testing::internal::CaptureStdout();
    const Geometry beyond = factory.GeneratePasabilityMap(&layer.map, &layer.info, &pmap);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_EQ(beyond.vertices.size(), 12u);
    ExpectVec(beyond.vertices[0].uv, 1, 0, "cell (0,0) beyond the image, blocked");
}

TEST(GeometryFactory, PassabilitySidesBandEachClosedSideAndShadeClosedCells)
{
    GeometryFactory factory;
    Layer layer(1, 1); // one cell of 32 world units: x and y -16..16
    const float band = 32.0f / 8.0f;
    const struct
    {
        bool top, right, bottom, left;
        // Corners TL and BR of each expected quad, in order of the sides.
        std::vector<glm::vec4> quads;
        glm::vec2 code;
    } cases[] = {
        {true, true, true, true, {}, GeometryFactory::SIDE_CODE},
        {false, true, true, true, {{-16, 16, 16, 16 - band}}, GeometryFactory::SIDE_CODE},
        {true, false, true, true, {{16 - band, 16, 16, -16}}, GeometryFactory::SIDE_CODE},
        {true, true, false, true, {{-16, -16 + band, 16, -16}}, GeometryFactory::SIDE_CODE},
        {true, true, true, false, {{-16, 16, -16 + band, -16}}, GeometryFactory::SIDE_CODE},
        {false, true, true, false, {{-16, 16, 16, 16 - band}, {-16, 16, -16 + band, -16}}, GeometryFactory::SIDE_CODE},
        {false, false, false, false, {{-16, 16, 16, -16}}, GeometryFactory::SHADE_CODE},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.top) + std::to_string(c.right) + std::to_string(c.bottom) +
                     std::to_string(c.left));
        core::PassabilityMap pmap(1, 1);
        pmap.setSides(0, 0, c.top, c.right, c.bottom, c.left);
        const Geometry g = factory.GeneratePassabilitySides(&layer.map, &pmap);
        ASSERT_EQ(g.vertices.size(), c.quads.size() * 4);
        ASSERT_EQ(g.indices.size(), c.quads.size() * 6);
        for (std::size_t q = 0; q < c.quads.size(); ++q)
        {
            ExpectVec(g.vertices[q * 4].pos, c.quads[q].x, c.quads[q].y, "top left");
            ExpectVec(g.vertices[q * 4 + 2].pos, c.quads[q].z, c.quads[q].w, "bottom right");
            for (int k = 0; k < 4; ++k)
                ExpectVec(g.vertices[q * 4 + k].uv, c.code.x, c.code.y, "code");
        }
    }

    // Thin tiles still get a visible band; no grid or layer, no mesh.
    layer.tileset.renderedTileWidth = 8;
    layer.tileset.renderedTileHeight = 8;
    core::PassabilityMap wall(1, 1);
    wall.setSides(0, 0, true, true, true, false);
    const Geometry thin = factory.GeneratePassabilitySides(&layer.map, &wall);
    ASSERT_EQ(thin.vertices.size(), 4u);
    EXPECT_NEAR(thin.vertices[1].pos.x - thin.vertices[0].pos.x, GeometryFactory::LINE_MIN, EPS);
    EXPECT_TRUE(factory.GeneratePassabilitySides(&layer.map, nullptr).vertices.empty());
    EXPECT_TRUE(factory.GeneratePassabilitySides(nullptr, &wall).vertices.empty());
}

TEST(GeometryFactory, TriggerCellsShadeTheirCellsOnly)
{
    GeometryFactory factory;
    Layer layer(2, 3); // cells of 32 units: x -48..48, y -32..32
    const struct
    {
        const char* what;
        std::vector<std::pair<int, int>> cells;
        // Top-left corner of each quad expected, in order.
        std::vector<glm::vec2> corners;
    } cases[] = {
        {"none", {}, {}},
        {"the top-left cell", {{0, 0}}, {{-48, 32}}},
        {"the bottom-right cell", {{1, 2}}, {{16, 0}}},
        {"two, in the order given", {{1, 0}, {0, 1}}, {{-48, 0}, {-16, 32}}},
        {"cells outside the layer are left out", {{-1, 0}, {2, 0}, {0, 3}, {0, -1}, {1, 1}}, {{-16, 0}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        Geometry g;
        factory.AppendTriggerCells(g, &layer.map, c.cells);
        ASSERT_EQ(g.vertices.size(), c.corners.size() * 4);
        ASSERT_EQ(g.indices.size(), c.corners.size() * 6);
        for (std::size_t q = 0; q < c.corners.size(); ++q)
        {
            ExpectVec(g.vertices[q * 4].pos, c.corners[q].x, c.corners[q].y, "top left");
            ExpectVec(g.vertices[q * 4 + 2].pos, c.corners[q].x + 32, c.corners[q].y - 32, "bottom right");
            for (int k = 0; k < 4; ++k)
                ExpectVec(g.vertices[q * 4 + k].uv, GeometryFactory::TRIGGER_CODE.x, GeometryFactory::TRIGGER_CODE.y,
                          "code");
        }
    }
    // Added after the sides already there; no layer, nothing.
    core::PassabilityMap wall(2, 3);
    Geometry both = factory.GeneratePassabilitySides(&layer.map, &wall);
    const std::size_t sides = both.vertices.size();
    factory.AppendTriggerCells(both, &layer.map, {{0, 0}});
    EXPECT_EQ(both.vertices.size(), sides + 4);
    EXPECT_EQ(*std::max_element(both.indices.end() - 6, both.indices.end()), sides + 3);
    EXPECT_EQ(*std::min_element(both.indices.end() - 6, both.indices.end()), sides);
    Geometry none;
    factory.AppendTriggerCells(none, nullptr, {{0, 0}});
    EXPECT_TRUE(none.vertices.empty());
}

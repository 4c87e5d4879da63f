#pragma once

#include <vector>

#include "graphics/TGCellSides.h"
#include "graphics/TGGeometry.h"
#include "graphics/TGImage.h"
#include "graphics/TGLayerMesh.h"

namespace tamsygraphics
{
class Map;

// Builds vertex and index lists on the CPU. Stateless.
class GeometryFactory
{
public:
    // Four vertices centred on the origin, uv (0, 0) at the top left.
    Geometry GenerateSquare(float width, float height) const;
    // One quad per visible cell, the layer centred on the origin, map row 0
    // at the top; each quad samples its tile image with the Tiled flips.
    Geometry GenerateMap(const Map* map, const ImageInfo* info) const;
    // The same with one image per tileset of the layer (Map::tilesets, or
    // just the grid's when the layer lists none), plus what the renderer
    // needs to draw only what a camera sees. Tiles keep their tileset's
    // size and offset, anchored at their cell's bottom-left corner as the
    // Tiled editor draws them; cells of a tileset without image are left
    // out.
    // Animated tiles show the frame of `timeMs` milliseconds after the
    // start.
    LayerMesh GenerateLayerMesh(const Map* map, const std::vector<const ImageInfo*>& images,
                                long long timeMs = 0) const;
    // The tile each of the mesh's animated tiles shows at `timeMs`.
    static std::vector<int> ShownFrames(const Map* map, const LayerMesh& mesh, long long timeMs);
    // The layer mesh with uv (0, 1) on passable and (1, 0) on blocked cells.
    Geometry GeneratePasabilityMap(const Map* map, const ImageInfo* info, const CellSides* pmap) const;
    // The passability grid as a maker reads it, in the layer's cells: every
    // closed side of a cell that is open somewhere is a band along that side
    // inside the cell, uv SIDE_CODE; a cell closed on all four sides is one
    // quad over the cell, uv SHADE_CODE; open sides add nothing. Bands are an
    // eighth of a cell thick, at least LINE_MIN world units. Empty without a
    // grid or a layer.
    Geometry GeneratePassabilitySides(const Map* map, const CellSides* pmap) const;
    // One quad over each (row, column) of `cells` inside the layer, uv
    // TRIGGER_CODE, added to `g` (a maker's view of trigger tiles).
    void AppendTriggerCells(Geometry& g, const Map* map, const std::vector<std::pair<int, int>>& cells) const;
    static const glm::vec2 SIDE_CODE;
    static const glm::vec2 SHADE_CODE;
    static const glm::vec2 TRIGGER_CODE;
    static constexpr float LINE_MIN = 2.0f;

private:
    static void AppendQuad(Geometry& g, const glm::vec2 pos[4], const glm::vec2 uv[4]);
};
}

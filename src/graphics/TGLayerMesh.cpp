#include "graphics/TGLayerMesh.h"

#include <algorithm>

namespace tamsygraphics
{
std::vector<std::pair<unsigned int, unsigned int>> LayerMesh::QuadRanges(int firstRow, int lastRow, int firstCol,
                                                                         int lastCol) const
{
    std::vector<std::pair<unsigned int, unsigned int>> ranges;
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, rows - 1);
    firstCol = std::max(firstCol, 0);
    lastCol = std::min(lastCol, cols - 1);
    if (firstRow > lastRow || firstCol > lastCol || blockStarts.empty())
        return ranges;
    const int firstBlock = firstCol / BLOCK;
    const int endBlock = lastCol / BLOCK + 1;
    for (int row = firstRow; row <= lastRow; ++row)
    {
        const std::size_t base = static_cast<std::size_t>(row) * static_cast<std::size_t>(blocksPerRow);
        const unsigned int begin = blockStarts[base + static_cast<std::size_t>(firstBlock)];
        const unsigned int end = blockStarts[base + static_cast<std::size_t>(endBlock)];
        if (begin == end)
            continue;
        if (!ranges.empty() && ranges.back().second == begin)
            ranges.back().second = end;
        else
            ranges.emplace_back(begin, end);
    }
    return ranges;
}

std::pair<unsigned int, unsigned int> LayerMesh::ObjectQuads() const
{
    const unsigned int cells = blockStarts.empty() ? 0 : blockStarts.back();
    return {cells, quads};
}

unsigned short LayerMesh::TilesetOfQuad(unsigned int quad) const
{
    auto after = std::upper_bound(runs.begin(), runs.end(), quad,
                                  [](unsigned int q, const std::pair<unsigned int, unsigned short>& run)
                                  { return q < run.first; });
    return after == runs.begin() ? 0 : std::prev(after)->second;
}

unsigned int LayerMesh::RunEnd(unsigned int quad) const
{
    auto after = std::upper_bound(runs.begin(), runs.end(), quad,
                                  [](unsigned int q, const std::pair<unsigned int, unsigned short>& run)
                                  { return q < run.first; });
    return after == runs.end() ? quads : after->first;
}
}

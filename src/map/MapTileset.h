#pragma once

#include <map>
#include <string>
#include <vector>

// A tile that shows other tiles of its tileset in turn, as the editor's
// <animation>: each frame a tile id and how long it shows, in milliseconds.
struct MapTileAnimation
{
    struct Frame
    {
        int tileId = 0;
        int duration = 0;
    };
    std::vector<Frame> frames;
};

// The tile images of a tile map as its file describes them: sizes, gaps,
// where the image lies and what its tiles do. Plain data: the graphics
// engine makes its own tileset from it when the map is drawn. The two gaps
// carry the Tiled editor's meaning: `spaceX` holds the margin (border
// around the whole image) and `spaceY` the spacing (gap between
// neighbouring tiles), both in pixels.
struct MapTileset
{
    std::string name;
    // The texture the tiles are drawn from.
    std::string imageName;
    int tileHeight = 0;
    int tileWidth = 0;
    // The size of one cell in world units (twice the file's pixels).
    int renderedTileWidth = 0;
    int renderedTileHeight = 0;
    int spaceX = 0;
    int spaceY = 0;
    int maxCol = 0;
    int maxRow = 0;

    // Where the image is opened from (the working directory's view of
    // `name`).
    std::string imagePath;
    // The image colour drawn as transparent (0xRRGGBB), or -1 for none.
    int transparentColour = -1;
    // Shift of every tile image from its cell, in file pixels (x right,
    // y down), as the editor's <tileoffset>.
    int offsetX = 0;
    int offsetY = 0;

    // Animated tiles by tile id (row * maxCol + col); every animation has
    // at least one frame.
    std::map<int, MapTileAnimation> animations;

    int Margin() const { return spaceX; }
    int Spacing() const { return spaceY; }
};

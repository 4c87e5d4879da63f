#pragma once

#include <map>
#include <string>
#include <vector>

namespace tamsygraphics
{
// The tile image a layer samples from. The two gaps carry the Tiled editor's
// meaning, as the map loader copies them from the tileset element:
// `spaceX` holds the margin (border around the whole image) and `spaceY`
// the spacing (gap between neighbouring tiles), both in pixels and both
// applying horizontally and vertically.
// A tile that shows other tiles of its tileset in turn, as the editor's
// <animation>: each frame a tile id and how long it shows, in milliseconds.
struct TileAnimation
{
    struct Frame
    {
        int tileId = 0;
        int duration = 0;
    };
    std::vector<Frame> frames;

    // The frame shown `ms` milliseconds after the start, the animation
    // repeating. As in the editor, a frame shows until its time is strictly
    // exceeded: at exactly 300 ms a first frame of 300 ms still shows.
    const Frame& FrameAt(long long ms) const
    {
        long long total = 0;
        for (const Frame& frame : frames)
            total += frame.duration;
        if (total <= 0 || ms <= 0)
            return frames.front();
        long long at = (ms - 1) % total + 1;
        for (const Frame& frame : frames)
        {
            if (at <= frame.duration)
                return frame;
            at -= frame.duration;
        }
        return frames.back();
    }
};

struct Tileset
{
    std::string name;
    std::string imageName;
    int tileHeight = 0;
    int tileWidth = 0;
    int renderedTileWidth = 0;
    int renderedTileHeight = 0;
    int spaceX = 0;
    int spaceY = 0;
    int maxCol = 0;
    int maxRow = 0;

    // Where the image is opened from (the working directory's view of
    // `name`), so that a renderer can load a tileset texture it lacks.
    std::string imagePath;
    // The image colour drawn as transparent (0xRRGGBB), or -1 for none.
    int transparentColour = -1;
    // Shift of every tile image from its cell, in file pixels (x right,
    // y down), as the editor's <tileoffset>.
    int offsetX = 0;
    int offsetY = 0;

    // Animated tiles by tile id (row * maxCol + col); every animation has
    // at least one frame.
    std::map<int, TileAnimation> animations;

    int Margin() const { return spaceX; }
    int Spacing() const { return spaceY; }
};

typedef std::map<std::string, Tileset*> TilesetMap;
}

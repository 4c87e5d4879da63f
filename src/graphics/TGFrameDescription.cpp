#include "graphics/TGFrameDescription.h"

#include <algorithm>

namespace tamsygraphics
{
bool FrameDescription::Rectangle::operator==(const Rectangle& other) const
{
    return colour == other.colour && position == other.position && width == other.width && height == other.height &&
           layer == other.layer;
}

bool FrameDescription::Label::operator==(const Label& other) const
{
    return text == other.text && colour == other.colour && position == other.position && atlas == other.atlas &&
           size == other.size && lineHeight == other.lineHeight && shadow == other.shadow && layer == other.layer;
}

bool FrameDescription::operator==(const FrameDescription& other) const
{
    const auto sameVertex = [](const Vertex& a, const Vertex& b) { return a.pos == b.pos && a.uv == b.uv; };
    return width == other.width && height == other.height && underSprites == other.underSprites &&
           overSprites == other.overSprites && sprites.size() == other.sprites.size() &&
           std::equal(sprites.begin(), sprites.end(), other.sprites.begin(), sameVertex) &&
           spriteRuns == other.spriteRuns && rectangles == other.rectangles && labels == other.labels &&
           passabilitySides == other.passabilitySides;
}
}

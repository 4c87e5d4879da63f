#include "map/TilePassability.h"

#include <cctype>

#include "map/LevelMapAttributes.h"

namespace
{
const int TOP = 8;
const int RIGHT = 4;
const int BOTTOM = 2;
const int LEFT = 1;

int sideOf(char letter)
{
    switch (std::toupper(static_cast<unsigned char>(letter)))
    {
    case 'U':
        return TOP;
    case 'R':
        return RIGHT;
    case 'D':
        return BOTTOM;
    case 'L':
        return LEFT;
    default:
        return 0;
    }
}

// Long values are written by the editor as the element's text.
std::string valueOf(const tinyxml2::XMLElement* property)
{
    if (const char* value = property->Attribute("value"))
        return value;
    const char* text = property->GetText();
    return text ? text : "";
}

const tinyxml2::XMLElement* passProperty(const tinyxml2::XMLElement* tile)
{
    const tinyxml2::XMLElement* properties = tile->FirstChildElement("properties");
    for (const tinyxml2::XMLElement* property = properties ? properties->FirstChildElement("property") : nullptr;
         property; property = property->NextSiblingElement("property"))
        if (LevelMapAttributes::text(property, "name") == "pass")
            return property;
    return nullptr;
}
}

bool TilePassability::parseSides(const std::string& text, int& open)
{
    open = 0;
    for (char letter : text)
    {
        const int side = sideOf(letter);
        if (side == 0)
            return false;
        open |= side;
    }
    return true;
}

int TilePassability::flipped(int open, bool horizontal, bool vertical, bool diagonal)
{
    auto swap = [&open](int a, int b)
    {
        const bool hasA = (open & a) != 0;
        const bool hasB = (open & b) != 0;
        open = (open & ~(a | b)) | (hasA ? b : 0) | (hasB ? a : 0);
    };
    // The diagonal flip mirrors over the line from top-left to bottom-right.
    if (diagonal)
    {
        swap(TOP, LEFT);
        swap(RIGHT, BOTTOM);
    }
    if (horizontal)
        swap(LEFT, RIGHT);
    if (vertical)
        swap(TOP, BOTTOM);
    return open;
}

bool TilePassability::read(const tinyxml2::XMLElement* tilesetElement, std::string& problem)
{
    for (const tinyxml2::XMLElement* tile = tilesetElement->FirstChildElement("tile"); tile;
         tile = tile->NextSiblingElement("tile"))
    {
        const tinyxml2::XMLElement* property = passProperty(tile);
        if (!property)
            continue;
        int id = 0;
        if (!LevelMapAttributes::readCount(tile, "id", 0, id, problem))
            return false;
        const std::string where = "tile " + std::to_string(id) + ": property pass";
        const std::string type = LevelMapAttributes::text(property, "type");
        if (!type.empty() && type != "string")
        {
            problem = where + " is of type " + type + ", not a string of the open sides U, R, D, L";
            return false;
        }
        const std::string value = valueOf(property);
        int open = 0;
        if (!parseSides(value, open))
        {
            problem = where + "=\"" + value + "\" holds a letter other than U, R, D, L";
            return false;
        }
        _open[static_cast<std::uint32_t>(id)] = open;
    }
    return true;
}

int TilePassability::openSides(std::uint32_t tileId) const
{
    const auto found = _open.find(tileId);
    return found == _open.end() ? ALL_OPEN : found->second;
}

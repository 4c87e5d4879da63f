#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <tinyxml2.h>

// Which sides of its tiles a tileset leaves open, as the maker wrote them in
// the editor: the tile property `pass`, a string of the open sides' letters
// U, R, D and L (any order, either case; empty means closed all round).
// Sides are kept as bits: top 8, right 4, bottom 2, left 1.
class TilePassability
{
public:
    static constexpr int ALL_OPEN = 0xF;

    // Reads the `pass` property of every <tile> of a <tileset>. False, with
    // `problem` naming the tile id and the value, on a value that is not
    // made of those letters or a property of another type.
    bool read(const tinyxml2::XMLElement* tilesetElement, std::string& problem);
    // Whether any tile declares its sides; a tileset that declares none
    // keeps the engine's built-in passability ids.
    bool declares() const { return !_open.empty(); }
    // The open sides of a tile by its id within the tileset; a tile without
    // the property is open all round.
    int openSides(std::uint32_t tileId) const;

    // The sides of "URDL"-style text; false on any other character.
    static bool parseSides(const std::string& text, int& open);
    // The sides of a tile as it lies on the map: the editor turns a tile by
    // flipping it diagonally first, then horizontally, then vertically, and
    // its open sides turn with its picture.
    static int flipped(int open, bool horizontal, bool vertical, bool diagonal);

private:
    std::map<std::uint32_t, int> _open;
};

#pragma once

#include <string>
#include <vector>

#include <tinyxml2.h>

namespace core
{
// Reading the fields of a save file, which may come from anywhere: a player
// who edited it, a download, a damaged disk. Numbers are read strictly (the
// whole text, no overflow), and text is made safe to show before it reaches
// a notice or a menu.
namespace SaveFields
{
// The attribute as a whole number from min to max; false with the reason,
// naming the element, attribute and line, when it is missing, not a whole
// number or out of range.
bool readWhole(const tinyxml2::XMLElement* element, const char* name, long long min, long long max, long long& value,
               std::string& error);

// The attribute held to [min, max]: missing reads as the fallback, text that
// is not a whole number as the fallback and a number outside the range as
// its nearer end, each of the last two noted in `warnings`.
long long readClamped(const tinyxml2::XMLElement* element, const char* name, long long fallback, long long min,
                      long long max, std::vector<std::string>& warnings);

// The number as written in the save, shortened for a notice.
std::string quoted(const char* text);

// Text from a save made fit for one line of a notice or menu: control
// characters become '?', and beyond `limit` bytes it is cut and ends "...".
std::string shortened(const std::string& text, size_t limit = 40);
}
}

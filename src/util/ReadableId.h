#pragma once

#include <string>

// Ids as a player may read them, for data that names no wording of its own.
namespace util
{
// The text with its first letter a capital (ASCII only; anything else,
// a UTF-8 lead byte included, is left as it is).
std::string capitalisedFirst(const std::string& text);
// "heavyBlow" -> "Heavy blow", "pass_turn" -> "Pass turn"; a run of
// capitals ("maxHP") is kept as written.
std::string readableId(const std::string& id);
}

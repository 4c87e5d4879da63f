#pragma once

#include <string>

namespace core
{
// Where one game keeps its saves: below the player's data folder, per game
// id, never inside the game. Saves made before each game had a folder of its
// own lie in the shared folder; the game that adopts them gets a copy of
// each once, and the originals stay where they were, so nothing a player
// saved is ever lost.
class SaveFolder
{
public:
    // <data>/<id>/saves, with the shared folder's saves copied in first when
    // `adoptsLegacy`; empty when there is no data folder or no id.
    static std::string forGame(const std::string& dataDirectory, const std::string& id, bool adoptsLegacy);
    // The shared folder of before: <data>/saves.
    static std::string legacyFolder(const std::string& dataDirectory);
    // Copies every file of `from` that `to` lacks; false (with the reason
    // logged) when one could not be copied.
    static bool copyMissing(const std::string& from, const std::string& to);
};
}

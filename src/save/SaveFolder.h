#pragma once

#include <string>

namespace core
{
// Where one game keeps its saves: below the player's data folder, per game
// id, never inside the game. Before each game had a folder of its own, every
// save went to one shared folder; the game whose manifest claims those saves
// (the demo) keeps using that folder, so they are found where they are and
// nothing a player saved is moved, copied over or lost.
class SaveFolder
{
public:
    // <data>/saves for the game that keeps the shared folder, else
    // <data>/<id>/saves; empty when there is no data folder or no id.
    static std::string forGame(const std::string& dataDirectory, const std::string& id, bool keepsSharedFolder);
};
}

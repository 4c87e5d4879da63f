#include <gtest/gtest.h>

#include <string>

#include "save/SaveFolder.h"

// Saves are kept per game; the saves players made before, in the one shared
// folder, stay where they are for the game that claims them.
using core::SaveFolder;

TEST(SaveFolder, EachGameHasItsOwnFolderAndTheClaimingGameKeepsTheSharedOne)
{
    struct Case
    {
        const char* what;
        std::string data;
        std::string id;
        bool keepsShared;
        std::string folder;
    };
    const Case cases[] = {
        {"a game of its own", "/data/zolt", "my-game", false, "/data/zolt/my-game/saves"},
        {"another game", "/data/zolt", "other", false, "/data/zolt/other/saves"},
        {"the game that claims the old saves", "/data/zolt", "zolt-demo", true, "/data/zolt/saves"},
        {"no data folder", "", "my-game", false, ""},
        {"no id: no folder shared by accident", "/data/zolt", "", false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SaveFolder::forGame(c.data, c.id, c.keepsShared), c.folder) << c.what;
    EXPECT_NE(SaveFolder::forGame("/d", "a", false), SaveFolder::forGame("/d", "b", false));
}

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "map/TriggerMap.h"
#include "script/LuaInterface.h"
#include "event/EventManager.h"
#include "support/LuaHelpers.h"

namespace
{
// The trigger scripts, read with this as the script folder.
const char* const DATA_FOLDER = "tests/map/trigger/data";

// Counts destroyed events, which tells how often their tile was released.
class CountedEvent : public event::TriggerTileEvent
{
public:
    CountedEvent(const std::string& script, int* destroyed) : event::TriggerTileEvent(script, {}), _destroyed(destroyed)
    {
    }
    ~CountedEvent() override { ++*_destroyed; }

private:
    int* _destroyed;
};

std::unique_ptr<TriggerTile> tileRunning(const std::string& script)
{
    auto tile = std::make_unique<TriggerTile>();
    tile->addEvent(std::make_unique<event::TriggerTileEvent>(script, event::ParameterList{}));
    return tile;
}

std::unique_ptr<TriggerTile> countedTile(int* destroyed)
{
    auto tile = std::make_unique<TriggerTile>();
    tile->addEvent(std::make_unique<CountedEvent>("counted.lua", destroyed));
    return tile;
}

// What the trigger scripts wrote down so far.
std::string luaJournal()
{
    return testsupport::luaString("journal");
}

// Notes what the scripts had written when a quest event arrived.
class QuestWitness : public event::Listener<event::BeginQuestEvent>, public event::Listener<event::EndQuestEvent>
{
public:
    void eventCallback(event::BeginQuestEvent*) override { seen.push_back("begin:" + luaJournal()); }
    void eventCallback(event::EndQuestEvent*) override { seen.push_back("end:" + luaJournal()); }
    std::vector<std::string> seen;
};
}

TEST(TriggerMap, StartsWithoutTriggers)
{
    TriggerMap map(3, 4);
    EXPECT_EQ(map.getNumberOfRows(), 3);
    EXPECT_EQ(map.getNumberOfColumns(), 4);
    for (int row = 0; row < 3; ++row)
    {
        for (int column = 0; column < 4; ++column)
        {
            ASSERT_NE(map.getTile(row, column), nullptr);
            EXPECT_FALSE(map.isTrigger(row, column));
            EXPECT_FALSE(map.isValidTrigger(row, column, true));
        }
    }
    EXPECT_NE(map.getTile(0, 0), map.getTile(0, 1)) << "each cell gets its own tile";
    EXPECT_FALSE(map.isTrigger(-1, 0));
    EXPECT_FALSE(map.isTrigger(3, 0));
    EXPECT_FALSE(map.isTrigger(0, -1));
    EXPECT_FALSE(map.isTrigger(0, 4));
    EXPECT_EQ(map.getTile(3, 0), nullptr);
    map.triggerEvents(-1, 7); // outside: nothing to fire, nothing to crash

    TriggerMap empty(0, 0);
    EXPECT_FALSE(empty.isTrigger(0, 0));
    TriggerMap negative(-2, 5);
    EXPECT_EQ(negative.getNumberOfRows(), 0);
    EXPECT_FALSE(negative.isTrigger(0, 0));
}

TEST(TriggerTile, RolesFollowTheScriptNames)
{
    TriggerTile plain;
    EXPECT_FALSE(plain.isTrigger());
    EXPECT_FALSE(plain.isPortal());
    EXPECT_FALSE(plain.isNPCTrigger());

    TriggerTile questOnly;
    questOnly.addEvent(std::make_unique<event::EndQuestEvent>(nullptr));
    EXPECT_TRUE(questOnly.isTrigger());
    EXPECT_FALSE(questOnly.isPortal());

    TriggerMap map(2, 3);
    map.setTile(0, 0, tileRunning("wanderRegion.lua"));
    map.setTile(0, 1, tileRunning("portal.lua"));
    map.setTile(0, 2, tileRunning("portalWithMusic.lua"));
    map.setTile(1, 0, tileRunning("cutscene.lua"));
    map.setTile(1, 1, tileRunning("Portal.lua"));

    EXPECT_TRUE(map.getTile(0, 0)->isNPCTrigger());
    EXPECT_FALSE(map.getTile(0, 0)->isPortal());
    EXPECT_TRUE(map.getTile(0, 1)->isPortal());
    EXPECT_TRUE(map.getTile(0, 2)->isPortal());
    EXPECT_FALSE(map.getTile(1, 1)->isPortal()) << "names match exactly";

    // Other entities fire only wander regions; the avatar fires everything.
    EXPECT_TRUE(map.isValidTrigger(0, 0, false));
    EXPECT_FALSE(map.isValidTrigger(0, 1, false));
    EXPECT_FALSE(map.isValidTrigger(0, 2, false));
    EXPECT_FALSE(map.isValidTrigger(1, 0, false));
    EXPECT_FALSE(map.isValidTrigger(1, 2, false));
    EXPECT_TRUE(map.isValidTrigger(0, 0, true));
    EXPECT_TRUE(map.isValidTrigger(0, 1, true));
    EXPECT_TRUE(map.isValidTrigger(1, 0, true));
    EXPECT_FALSE(map.isValidTrigger(1, 2, true));
    EXPECT_FALSE(map.isValidTrigger(2, 0, true));
}

TEST(TriggerTile, RunsScriptsInOrderBeforePushingQuestEvents)
{
    // The event manager keeps it for good, so it lives as long as the program.
    static QuestWitness* const witness = new QuestWitness();
    event::EventManager::registerEventListener(static_cast<event::Listener<event::BeginQuestEvent>*>(witness));
    event::EventManager::registerEventListener(static_cast<event::Listener<event::EndQuestEvent>*>(witness));

    auto tile = std::make_unique<TriggerTile>();
    // Quest events added first still come after the scripts.
    tile->addEvent(std::make_unique<event::EndQuestEvent>(nullptr));
    tile->addEvent(std::make_unique<event::BeginQuestEvent>(nullptr));
    tile->addEvent(std::make_unique<event::TriggerTileEvent>("first.lua", event::ParameterList{{"label", "a"}}));
    tile->addEvent(std::make_unique<event::TriggerTileEvent>("second.lua", event::ParameterList{{"label", "b"}}));
    tile->addEvent(std::unique_ptr<event::TriggerTileEvent>()); // ignored
    EXPECT_EQ(tile->getEvents().size(), 2u);

    TriggerMap map(1, 2);
    map.setTile(0, 1, std::move(tile));
    testsupport::ScriptFolder scripts(DATA_FOLDER);
    core::LuaInterface::runString("journal = ''");
    ASSERT_TRUE(map.isValidTrigger(0, 1, true));
    map.triggerEvents(0, 1);

    EXPECT_EQ(luaJournal(), "first(a);second(b);");
    EXPECT_EQ(witness->seen, (std::vector<std::string>{"begin:first(a);second(b);", "end:first(a);second(b);"}));
}

TEST(TriggerMap, ReleasesASharedTileOnce)
{
    int destroyed = 0;
    {
        TriggerMap map(4, 4);
        std::unique_ptr<TriggerTile> counted = countedTile(&destroyed);
        const TriggerTile* shared = counted.get();
        EXPECT_EQ(map.setTiles(1, 1, 2, 3, std::move(counted)), 6);
        for (int row = 1; row <= 2; ++row)
            for (int column = 1; column <= 3; ++column)
                EXPECT_EQ(map.getTile(row, column), shared);
        EXPECT_NE(map.getTile(0, 1), shared);

        // Replacing some of its cells keeps it alive for the others.
        EXPECT_TRUE(map.setTile(1, 1, tileRunning("other.lua")));
        EXPECT_TRUE(map.setTile(2, 3, tileRunning("other.lua")));
        EXPECT_EQ(map.getTile(1, 2), shared);
        EXPECT_EQ(destroyed, 0);
        EXPECT_TRUE(map.isTrigger(2, 2));
    }
    EXPECT_EQ(destroyed, 1);

    destroyed = 0;
    {
        TriggerMap map(2, 2);
        map.setTiles(0, 0, 2, 2, countedTile(&destroyed));
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 2; ++column)
                map.setTile(row, column, std::make_unique<TriggerTile>());
        EXPECT_EQ(destroyed, 1) << "released when its last cell was replaced";
    }
    EXPECT_EQ(destroyed, 1);
}

TEST(TriggerMap, IgnoresCellsOutsideTheGrid)
{
    int destroyed = 0;
    {
        TriggerMap map(3, 3);
        std::unique_ptr<TriggerTile> counted = countedTile(&destroyed);
        const TriggerTile* overhanging = counted.get();
        // Reaches two rows below and two columns right of the grid.
        EXPECT_EQ(map.setTiles(1, 1, 4, 4, std::move(counted)), 4);
        EXPECT_EQ(map.getTile(2, 2), overhanging);
        EXPECT_FALSE(map.isTrigger(3, 3));

        counted = countedTile(&destroyed);
        const TriggerTile* above = counted.get();
        EXPECT_EQ(map.setTiles(-1, 0, 2, 1, std::move(counted)), 1);
        EXPECT_EQ(map.getTile(0, 0), above);

        // Wholly outside: no cell takes it, so it is released at once.
        EXPECT_EQ(map.setTiles(5, 5, 2, 2, countedTile(&destroyed)), 0);
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(map.setTiles(0, 0, 0, 3, countedTile(&destroyed)), 0);
        EXPECT_EQ(destroyed, 2);
        EXPECT_EQ(map.setTiles(-2000000000, -2000000000, 2147483647, 2147483647, countedTile(&destroyed)), 9);
        EXPECT_EQ(destroyed, 4) << "the overhanging and the top tile lost all their cells";

        // A single out-of-grid cell is refused and the tile released.
        EXPECT_FALSE(map.setTile(3, 0, countedTile(&destroyed)));
        EXPECT_EQ(destroyed, 5);
        EXPECT_FALSE(map.setTile(0, -1, countedTile(&destroyed)));
        EXPECT_EQ(destroyed, 6);
        EXPECT_FALSE(map.setTile(0, 0, nullptr));
        EXPECT_TRUE(map.isTrigger(0, 0)) << "a refused tile leaves the cell as it was";
    }
    EXPECT_EQ(destroyed, 7);
}

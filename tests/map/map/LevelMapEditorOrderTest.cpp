// Which maps keep the draw passes chosen by layer names, and where the
// others put their sprites among their layers.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "LevelMapTestSupport.h"

namespace
{
// "name:u" for a layer under the sprites, "name:o" over them, "name:n" for
// one drawn in the pass its name chooses.
std::vector<std::string> placesOf(const LevelMap& level)
{
    std::vector<std::string> places;
    int previous = -1;
    for (const MapLayer* map : level.getDrawableMaps())
    {
        places.push_back(map->name + (map->editorOrder ? (map->overSprites ? ":o" : ":u") : ":n"));
        // Layers keep their place in the editor's list.
        EXPECT_GT(map->priorityLevel, previous) << map->name;
        previous = map->priorityLevel;
    }
    return places;
}
}

TEST(LevelMapEditorOrder, SpritesGoWhereTheMapPutsThem)
{
    struct Case
    {
        const char* map;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        // The first object layer; a group keeps its place.
        {"editor/layer_order.tmx", {"Water:u", "Bridge:u", "Awning:o", "Aardvark:o"}},
        // A tile layer marked sprites=true holds them right above it.
        {"editor/sprites_marked.tmx", {"Sea:u", "Reef:u", "Mist:o"}},
        // No object layer: the characters walk over every layer.
        {"features/groups.tmx", {"A:u", "B:u", "C:u", "D:u", "E:u"}},
        // Names with Floor keep the passes by name, whatever the objects.
        {"level_xml.tmx", {"Floor:n", "PASSABILITY:n"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.map);
        std::unique_ptr<LevelMap> level = load(c.map);
        ASSERT_TRUE(level);
        EXPECT_EQ(placesOf(*level), c.expected);
    }
}

TEST(LevelMapEditorOrder, EveryGameMapKeepsItsPassesByName)
{
    int maps = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("assets/maps", error))
    {
        if (entry.path().extension() != ".tmx")
            continue;
        std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMap(entry.path().string()));
        ASSERT_TRUE(level) << entry.path();
        ++maps;
        for (const MapLayer* layer : level->getDrawableMaps())
            EXPECT_FALSE(layer->editorOrder) << entry.path() << " " << layer->name;
    }
    if (maps == 0)
        GTEST_SKIP() << "no game maps under assets/maps";
}

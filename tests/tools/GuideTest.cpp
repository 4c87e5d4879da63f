#include <gtest/gtest.h>

#include <string>

#include "ToolTestSupport.h"
#include "session/LuaBindings.h"
#include "session/LuaVocabulary.h"

namespace
{
const std::string GUIDE = std::string(ZOLT_SOURCE_DIR) + "/docs/making-a-game.md";
}

// Adding, renaming or removing a binding makes this fail until the guide is
// generated again: build/zolt-luadoc docs/making-a-game.md
TEST(Guide, ListsExactlyTheLuaVocabularyOfTheBindingTables)
{
    const std::string page = tooltest::readText(GUIDE);
    const std::string refreshed = core::LuaVocabulary::refreshPage(page);
    ASSERT_FALSE(refreshed.empty()) << GUIDE << " lacks the marks of its generated part";
    EXPECT_EQ(refreshed, page) << "the guide's Lua vocabulary is stale: run build/zolt-luadoc docs/making-a-game.md";
}

TEST(Guide, TheVocabularyNamesEveryBindingWithItsCallingForm)
{
    const std::string vocabulary = core::LuaVocabulary::markdown();
    for (const luaL_Reg* entry = core::sessionMethods; entry->name; ++entry)
        EXPECT_NE(vocabulary.find("`s:" + std::string(entry->name) + "("), std::string::npos) << entry->name;
    for (const luaL_Reg* entry = core::characterMethods; entry->name; ++entry)
        EXPECT_NE(vocabulary.find("`c:" + std::string(entry->name) + "("), std::string::npos) << entry->name;
    for (const luaL_Reg* entry = core::soundHandlerStaticMethods; entry->name; ++entry)
        EXPECT_NE(vocabulary.find("`SoundHandler." + std::string(entry->name) + "("), std::string::npos) << entry->name;
}

TEST(Guide, APageWithoutTheMarksIsNotRewritten)
{
    EXPECT_EQ(core::LuaVocabulary::refreshPage("# A page\nno marks here\n"), "");
    const std::string marked = std::string("before\n") + core::LuaVocabulary::BEGIN_MARK + "\nold list\n" +
                               core::LuaVocabulary::END_MARK + "\nafter\n";
    const std::string refreshed = core::LuaVocabulary::refreshPage(marked);
    EXPECT_EQ(refreshed.find("old list"), std::string::npos);
    EXPECT_EQ(refreshed.substr(0, 7), "before\n");
    EXPECT_EQ(refreshed.substr(refreshed.size() - 6), "after\n");
}

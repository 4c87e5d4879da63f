#include "gui/OptionLabels.h"

#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/GUIListViewEntry.h"
#include "gui/GUIMenu.h"
#include "util/ReadableId.h"

using guitest::HeadlessGui;

TEST(OptionLabels, IdsReadAsWordsAndKnownOptionsHaveTheirWording)
{
    struct Case
    {
        const char* id;
        const char* menu;
        const char* label;
    };
    const Case cases[] = {
        {"pass_turn", "", "Pass turn"},
        {"exit_combat", "choose a character or pass the turn", "Flee"},
        {"exit_combat", "victory", "Leave the field"},
        {"finish", "move character", "Done"},
        {"none", "choose ability", "No ability"},
        {"try_again", "defeat", "Try again"},
        {"load last save", "defeat", "Load last save"},
        {"heavyBlow", "choose ability", "Heavy blow"},
        {"throw_knife", "", "Throw knife"},
        {"restoreHP", "", "Restore HP"},
        {"Zap", "", "Zap"},
        {"", "", ""},
        {"\xc3\xa9"
         "clair",
         "",
         "\xc3\xa9"
         "clair"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gui::OptionLabels::label(c.id, c.menu), c.label) << c.id << " in " << c.menu;
    EXPECT_EQ(gui::OptionLabels::title("enemy turn"), "Enemy turn");
    EXPECT_EQ(gui::OptionLabels::title("COMBAT"), "COMBAT");
}

using KeyedEntries = HeadlessGui;

TEST_F(KeyedEntries, EntriesShowLabelsAndKeepTheirKeysUntilGivenPlainTexts)
{
    gui::GUIMenu* menu = gui::GUIElement::make<gui::GUIMenu>("Test");
    menu->updateKeyed({"pass_turn", "exit_combat", "extra"}, {"Pass turn", "Flee"});
    EXPECT_EQ(menu->getEntryTexts(), (std::vector<std::string>{"Pass turn", "Flee", "extra"}))
        << "a missing label shows the key";
    EXPECT_EQ(menu->getEntryKeys(), (std::vector<std::string>{"pass_turn", "exit_combat", "extra"}));
    // Reused entries must not keep a key that belonged to another option.
    menu->update({"one", "two"});
    EXPECT_EQ(menu->getEntryKeys(), (std::vector<std::string>{"one", "two"}));
    menu->destroy();
}

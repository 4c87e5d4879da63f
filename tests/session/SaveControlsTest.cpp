#include <gtest/gtest.h>

#include <memory>

#include "SaveTestSupport.h"
#include "SessionTestSupport.h"
#include "input/InputContext.h"
#include "data/Character.h"
#include "save/SaveGameManager.h"
#include "save/SaveInputContext.h"
#include "world/Scene.h"
#include "gui/SaveMenu.h"

using core::SaveGameManager;
using core::SaveInputContext;

// The ways a player reaches the saves: F5 and F9, and the Save and Load menus.
namespace
{
class SaveControls : public savetest::SavedSession
{
protected:
    int avatarColumn() { return static_cast<int>(session->getAvatar()->getPosition().y); }
};
}

TEST_F(SaveControls, F5SavesAndF9LoadsOncePerPressAndOtherKeysPassThrough)
{
    SaveInputContext keys(saves.get());
    struct Case
    {
        int key;
        int state;
        bool consumed;
    };
    const Case passing[] = {{'S', application::KEYHIT, false},
                            {application::KEY_ESC, application::KEYHIT, false},
                            {application::KEY_F5 + 1, application::KEYHIT, false}};
    for (const Case& c : passing)
        EXPECT_EQ(keys.dispatch(c.key, c.state), c.consumed) << c.key;

    EXPECT_TRUE(keys.dispatch(application::KEY_F9, application::KEYHIT));
    EXPECT_EQ(saves->getLastMessage().find("Cannot load quick: there is no save"), 0u) << saves->getLastMessage();

    EXPECT_TRUE(keys.dispatch(application::KEY_F5, application::KEYHIT));
    EXPECT_EQ(saves->getLastMessage(), "Saved (quick)");
    const int savedColumn = avatarColumn();
    session->getAvatar()->setPosition(3, 4);
    EXPECT_TRUE(keys.dispatch(application::KEY_F5, application::KEYHELD)) << "a held key is still F5's";
    EXPECT_TRUE(keys.dispatch(application::KEY_F9, application::KEYLETGO));
    EXPECT_EQ(saves->getLastMessage(), "Saved (quick)") << "neither holding nor letting go acts again";

    EXPECT_TRUE(keys.dispatch(application::KEY_F9, application::KEYHIT));
    EXPECT_EQ(saves->getLastMessage(), "Loaded (quick)");
    session->update();
    EXPECT_EQ(avatarColumn(), savedColumn);
}

TEST_F(SaveControls, TheSaveMenuWritesTheChosenSlotAndTheLoadMenuLoadsItAndCloses)
{
    gui::SaveMenu saveMenu("Save", gui::SaveMenu::SAVE, saves.get());
    gui::SaveMenu loadMenu("Load", gui::SaveMenu::LOAD, saves.get());
    saveMenu.show();
    const std::vector<std::string> empty = sessiontest::optionsOf(&saveMenu);
    ASSERT_EQ(empty.size(), 1u + SaveGameManager::NUM_SLOTS);
    EXPECT_EQ(empty[0], "Quick: empty");
    EXPECT_EQ(empty[2], "Slot 2: empty");
    EXPECT_EQ(saveMenu.getSlots()[2], "slot2");

    saveMenu.choose("slot2");
    EXPECT_EQ(saveMenu.getTitle(), "Save - saved");
    EXPECT_EQ(sessiontest::optionsOf(&saveMenu)[2].substr(0, 22), "Slot 2: testA 0:00:00 ");
    EXPECT_TRUE(sessiontest::shown(&saveMenu)) << "saving leaves the menu open";

    loadMenu.show();
    loadMenu.choose("slot4");
    EXPECT_EQ(loadMenu.getTitle(), "Load - refused");
    EXPECT_TRUE(sessiontest::shown(&loadMenu));
    loadMenu.choose("slot2");
    EXPECT_FALSE(sessiontest::shown(&loadMenu)) << "a loaded game is played at once";
    EXPECT_EQ(saves->getLastMessage(), "Loaded (slot2)");
}

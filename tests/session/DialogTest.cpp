#include <gtest/gtest.h>

#include "SessionTestSupport.h"
#include "combat/CombatManager.h"
#include "dialog/DialogManager.h"
#include "dialog/DialogNode.h"
#include "world/Scene.h"
#include "gui/DialogBand.h"
#include "gui/DialogMenu.h"
#include "data/Character.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGSprite.h"
#include "support/LogCapture.h"

using namespace sessiontest;
using namespace testsupport;

namespace
{
const std::string DIALOG = "tests/session/data/dialog.xml";

using Texts = std::vector<std::string>;
}

using DialogTree = SessionFixture;

TEST_F(DialogTree, ConditionsFilterOptionsAndScriptsOnlyShapeLaterNodes)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::DialogManager* dialogs = session->getDialogManager();
    dialogs->startNewDialog(DIALOG, "start", "guard");
    ASSERT_TRUE(shown(sessiontest::dialogMenuOf(dialogs)));
    EXPECT_EQ(sessiontest::dialogMenuOf(dialogs)->getPage(), "Halt!");
    EXPECT_EQ(optionsOf(sessiontest::dialogMenuOf(dialogs)), (Texts{"Hello.", "Bye."}))
        << "the node's own script runs after its conditions";
    EXPECT_EQ(session->getFlag("dialogTest_secret"), 1);
    EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 1);
    EXPECT_EQ(dialogs->getNPC(), session->getEntity("guard"));
    EXPECT_EQ(dialogs->getNode()->getName(), "Guard");

    dialogs->optionSelected(0); // "Hello." leads to the second node
    EXPECT_EQ(sessiontest::dialogMenuOf(dialogs)->getPage(), "What now?");
    EXPECT_EQ(optionsOf(sessiontest::dialogMenuOf(dialogs)), (Texts{"The password."}));
    dialogs->optionSelected(0); // an empty next ends the talk
    EXPECT_FALSE(shown(sessiontest::dialogMenuOf(dialogs)));
    EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 0);
}

TEST_F(DialogTree, AConversationWithNoViewRunsTheSameUnseen)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::DialogView::setMaker(nullptr);
    core::DialogManager unseen(session);
    gui::DialogBand::useForEveryConversation();
    ASSERT_NE(unseen.getView(), nullptr);
    unseen.initializePlayer(session->getAvatar());
    unseen.startNewDialog(DIALOG, "start", "guard");
    EXPECT_TRUE(unseen.isOpen());
    EXPECT_EQ(unseen.getNode()->getName(), "Guard");
    EXPECT_EQ(session->getFlag("dialogTest_secret"), 1) << "the node's script ran";
    unseen.optionSelected(0);
    unseen.optionSelected(0);
    EXPECT_FALSE(unseen.isOpen());
    EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 0);
}

TEST_F(DialogTree, ExitClosesTheMenuAndIndicesCountOnlyOfferedOptions)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::DialogManager* dialogs = session->getDialogManager();
    dialogs->startNewDialog(DIALOG, "start", "guard");
    dialogs->optionSelected(1); // "Bye.", the second option offered
    EXPECT_FALSE(shown(sessiontest::dialogMenuOf(dialogs)));
    EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 0);

    // Picking past the end is an exit too, never a crash.
    dialogs->startNewDialog(DIALOG, "start", "guard");
    EXPECT_EQ(optionsOf(sessiontest::dialogMenuOf(dialogs)).size(), 3u) << "the secret is known now";
    dialogs->optionSelected(7);
    EXPECT_FALSE(shown(sessiontest::dialogMenuOf(dialogs)));
}

TEST_F(DialogTree, AnEmptyCallingEntityKeepsThePreviousNPC)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::DialogManager* dialogs = session->getDialogManager();
    dialogs->startNewDialog(DIALOG, "start", "bandit");
    dialogs->startNewDialog(DIALOG, "second", "");
    EXPECT_EQ(dialogs->getNPC(), session->getEntity("bandit"));
    EXPECT_EQ(sessiontest::dialogMenuOf(dialogs)->getPage(), "What now?");
    EXPECT_EQ(luaString("NPC:getId()"), "bandit");
    EXPECT_EQ(luaString("player:getId()"), "fenwy");
}

TEST_F(DialogTree, ANodeWithoutOptionsShowsItsTextAlone)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::DialogManager* dialogs = session->getDialogManager();
    dialogs->startNewDialog(DIALOG, "quiet", "guard");
    EXPECT_TRUE(shown(sessiontest::dialogMenuOf(dialogs)));
    EXPECT_EQ(sessiontest::dialogMenuOf(dialogs)->getPage(), "");
    EXPECT_TRUE(optionsOf(sessiontest::dialogMenuOf(dialogs)).empty());
    dialogs->endDialog();
    EXPECT_FALSE(shown(sessiontest::dialogMenuOf(dialogs)));
    EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 0) << "a script's close frees the next talk";
}

TEST_F(DialogTree, SetUpErrorsAreLoggedAndShowNothing)
{
    LogTail vosk("vosk");
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    core::DialogManager* dialogs = session->getDialogManager();
    dialogs->startNewDialog(DIALOG, "start", "guard");
    EXPECT_TRUE(vosk.contains("Error: Did not initialize player for dialogManager"));
    EXPECT_FALSE(shown(sessiontest::dialogMenuOf(dialogs)));
    EXPECT_FALSE(session->hasFlag("flag_isDialogOpen"));

    session->setNextScene("testA", 3, 3);
    session->update();
    dialogs->startNewDialog(DIALOG, "start", "nobody");
    EXPECT_TRUE(vosk.contains("Error: Did not initialize NPC for dialogManager"));
    EXPECT_FALSE(shown(sessiontest::dialogMenuOf(dialogs)));
    EXPECT_FALSE(session->hasFlag("flag_isDialogOpen"));
}

TEST_F(DialogTree, MissingFilesNodesAndOptionPartsAreLoggedByFileName)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::DialogManager* dialogs = session->getDialogManager();
    const struct
    {
        std::string file;
        std::string node;
    } bad[] = {{"tests/session/data/noSuchDialog.xml", "start"},
               {DIALOG, "noSuchNode"},
               {"tests/session/data/broken_dialog.xml", "start"}};
    for (const auto& c : bad)
    {
        ErrorCapture errors;
        dialogs->startNewDialog(c.file, c.node, "guard");
        EXPECT_NE(errors.text().find(c.file), std::string::npos) << errors.text();
        EXPECT_FALSE(shown(sessiontest::dialogMenuOf(dialogs))) << c.file << " " << c.node;
        EXPECT_FALSE(session->hasFlag("flag_isDialogOpen"));
    }
}

using DialogNodeReading = SessionFixture;

TEST_F(DialogNodeReading, GivesOptionTextsAndNextIds)
{
    ASSERT_NE(buildSession(), nullptr);
    core::DialogNode node("./" + DIALOG, "start");
    ASSERT_TRUE(node.isValid());
    EXPECT_EQ(node.getText(), "Halt!");
    EXPECT_EQ(node.getNumOptions(), 2);
    EXPECT_EQ(node.getOptionText(1), "Bye.");
    EXPECT_EQ(node.getNextNode(0), "second");
    EXPECT_EQ(node.getNextNode(1), "exit");
    EXPECT_EQ(node.getNextNode(2), "");
    EXPECT_EQ(node.getNextNode(-1), "");
}

// The face beside a speaker's lines: a portrait that is no texture of the
// game is reported, naming the character and the portrait, and the sprite's
// first frame stands in.
TEST_F(DialogTree, APortraitThatIsNoTextureIsReportedAndTheSpriteStandsIn)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::Character* guard = dynamic_cast<core::Character*>(session->getEntity("guard"));
    ASSERT_NE(guard, nullptr);
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.Parse("<character portrait='noSuchFace'/>"), tinyxml2::XML_SUCCESS);
    guard->absorbXML(doc.RootElement());
    ErrorCapture errors;
    core::DialogManager* dialogs = session->getDialogManager();
    dialogs->startNewDialog(DIALOG, "start", "guard");
    ASSERT_TRUE(shown(sessiontest::dialogMenuOf(dialogs)));
    EXPECT_TRUE(errors.contains("character guard has portrait \"noSuchFace\", which is no texture")) << errors.text();
    gui::DialogMenu* band = sessiontest::dialogMenuOf(dialogs);
    // The test guard walks with a 16-pixel frame of the "Fenwy" sheet.
    ASSERT_NE(guard->getSprite(), nullptr);
    ASSERT_TRUE(band->hasFace());
    EXPECT_EQ(band->getFace()->getRectangle()->getImageTexture(), "Fenwy");
    EXPECT_EQ(band->getFace()->getRectangle()->getImagePixels(), glm::ivec4(0, 0, 16, 16));
    dialogs->endDialog();
}

// A fighter's step onto a square whose script talks (a guard's challenge)
// fires during a fight; the conversation must not open over the fight, where
// its band would take the combat menu's clicks and its options could start
// the fight again. Once the fight is over the same talk opens as ever.
TEST_F(DialogTree, NoConversationOpensOverAFightAndOneOpensAfterIt)
{
    core::Session* session = sessionInTestA(2, 2);
    ASSERT_NE(session, nullptr);
    core::CombatManager& combat = session->getCombatManager();
    session->attemptEnterCombat("bandit;");
    ASSERT_TRUE(combat.isInCombat());
    core::DialogManager* dialogs = session->getDialogManager();
    ErrorCapture errors(ErrorCapture::ErrorsAndWarnings);
    dialogs->startNewDialog(DIALOG, "start", "guard");
    EXPECT_FALSE(shown(sessiontest::dialogMenuOf(dialogs)));
    EXPECT_NE(session->getFlag("flag_isDialogOpen"), 1);
    EXPECT_EQ(dialogs->getNode(), nullptr) << "nothing of the refused talk is kept";
    EXPECT_TRUE(errors.contains(DIALOG + " (start) is not opened during a fight")) << errors.text();
    EXPECT_EQ(combat.getStage(), core::CombatManager::base) << "the fight goes on as it stood";

    combat.leaveCombat();
    ASSERT_FALSE(combat.isInCombat());
    dialogs->startNewDialog(DIALOG, "start", "guard");
    EXPECT_TRUE(shown(sessiontest::dialogMenuOf(dialogs)));
    EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 1);
    EXPECT_EQ(sessiontest::dialogMenuOf(dialogs)->getPage(), "Halt!");
    dialogs->endDialog();
}

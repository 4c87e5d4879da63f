#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "graphics/GfxTestSupport.h"
#include "graphics/TGText.h"
#include "gui/GUIListView.h"
#include "gui/GUIListViewEntry.h"
#include "gui/GUIMenu.h"
#include "gui/GUITextBox.h"
#include "gui/TextWrap.h"

using guitest::HeadlessGui;

namespace
{
std::vector<bool> shownEntries(gui::GUIListView& list)
{
    std::vector<bool> shown;
    for (gui::GUIListViewEntry* entry : list.getEntries())
        shown.push_back(!entry->isHidden());
    return shown;
}

gui::GUIListView* listOf(int count, float height = 1.0f)
{
    gui::GUIListView* list = gui::GUIElement::make<gui::GUIListView>();
    list->setPosition(0.0f, 0.2f);
    list->setWidth(1.0f);
    list->setHeight(height);
    for (int i = 0; i < count; ++i)
        list->addEntry("entry " + std::to_string(i));
    return list;
}

// The centre of the list's scroll button, as a click would hit it.
glm::vec2 centreOf(const gui::GUIElement* widget)
{
    return widget->getPosition();
}
}

class ListViewTest : public HeadlessGui
{
};

TEST_F(ListViewTest, AShortListSharesItsHeightBetweenItsEntries)
{
    gui::GUIListView* list = listOf(3);
    const float third = 1.0f / 3.0f;
    for (int i = 0; i < 3; ++i)
    {
        gui::GUIListViewEntry* entry = list->getEntry(i);
        EXPECT_NEAR(entry->getHeight(), third, guitest::PIXEL_Y);
        EXPECT_NEAR(entry->getPosition().y, 0.2f + third - i * third, 1e-5f) << i;
        EXPECT_NEAR(entry->getWidth(), 1.0f, guitest::PIXEL_X);
    }
    EXPECT_TRUE(list->getUpScrollButton()->isHidden());
    EXPECT_TRUE(list->getDownScrollButton()->isHidden());
}

TEST_F(ListViewTest, ALongListScrollsOneEntryAClickWithinItsEnds)
{
    gui::GUIListView* list = listOf(6);
    EXPECT_EQ(shownEntries(*list), (std::vector<bool>{true, true, true, true, false, false}));
    EXPECT_FALSE(list->getUpScrollButton()->isHidden());
    EXPECT_NEAR(list->getEntry(0)->getWidth(), 0.8f, guitest::PIXEL_X) << "room for the buttons";

    const glm::vec2 down = centreOf(list->getDownScrollButton());
    const glm::vec2 up = centreOf(list->getUpScrollButton());
    click(down.x, down.y);
    click(down.x, down.y);
    EXPECT_EQ(shownEntries(*list), (std::vector<bool>{false, false, true, true, true, true}));
    EXPECT_NEAR(list->getEntry(2)->getPosition().y, 0.2f + 0.5f - 0.125f, 1e-5f) << "now in the top slot";
    click(down.x, down.y);
    EXPECT_EQ(list->getFirstEntryToDisplay(), 2) << "the last entry is already at the bottom";
    click(up.x, up.y);
    EXPECT_EQ(shownEntries(*list), (std::vector<bool>{false, true, true, true, true, false}));
    click(up.x, up.y);
    click(up.x, up.y);
    EXPECT_EQ(list->getFirstEntryToDisplay(), 0);
}

TEST_F(ListViewTest, UpdateReusesEntriesDropsTheSurplusAndReturnsToTheTop)
{
    gui::GUIListView* list = listOf(6);
    const glm::vec2 down = centreOf(list->getDownScrollButton());
    click(down.x, down.y);
    gui::GUIListViewEntry* first = list->getEntry(0);
    list->update({"a", "b"});
    ASSERT_EQ(list->size(), 2);
    EXPECT_EQ(list->getEntry(0), first) << "entries keep their identity";
    EXPECT_EQ(first->getText(), "a");
    EXPECT_EQ(list->getFirstEntryToDisplay(), 0);
    EXPECT_EQ(shownEntries(*list), (std::vector<bool>{true, true}));
    list->update({"a", "b", "c"});
    EXPECT_EQ(list->getEntry(2)->getText(), "c");
}

TEST_F(ListViewTest, HidingAScrollingListHidesEntriesAndButtonsAndShowingRestoresThem)
{
    gui::GUIListView* list = listOf(6);
    list->hide();
    EXPECT_EQ(shownEntries(*list), std::vector<bool>(6, false));
    EXPECT_TRUE(list->getUpScrollButton()->isHidden());
    EXPECT_TRUE(list->getDownScrollButton()->isHidden());
    list->show();
    EXPECT_EQ(shownEntries(*list), (std::vector<bool>{true, true, true, true, false, false}));
    EXPECT_FALSE(list->getDownScrollButton()->isHidden());
}

TEST_F(ListViewTest, AListThatStopsScrollingShowsItsTop)
{
    gui::GUIListView* list = listOf(6);
    const glm::vec2 down = centreOf(list->getDownScrollButton());
    click(down.x, down.y);
    click(down.x, down.y);
    list->deleteEntry(5);
    list->deleteEntry(4);
    list->deleteEntry(3);
    EXPECT_EQ(shownEntries(*list), (std::vector<bool>{true, true, true}));
}

TEST_F(ListViewTest, EntriesColourThemselvesForHoverPressAndRest)
{
    gui::GUIListView* list = listOf(2);
    gui::GUIListViewEntry* entry = list->getEntry(0);
    const glm::vec2 at = entry->getPosition();
    const glm::vec4 rest(0.1f, 0.1f, 0.4f, 0.75f);
    EXPECT_EQ(entry->getBackgroundColor(), rest);
    hover(at.x, at.y);
    EXPECT_EQ(entry->getBackgroundColor(), glm::vec4(0.15f, 0.15f, 0.55f, 0.75f));
    press(at.x, at.y);
    EXPECT_EQ(entry->getBackgroundColor(), glm::vec4(0.1f, 0.1f, 0.4f, 1.0f));
    release(at.x, at.y);
    EXPECT_EQ(entry->getBackgroundColor(), rest);
    hover(at.x, at.y);
    hover(0.95f, 0.95f);
    EXPECT_EQ(entry->getBackgroundColor(), rest) << "the pointer left";
}

TEST_F(ListViewTest, IndexesOutOfRangeAreLoggedAndChangeNothing)
{
    gfxtest::LogCapture log;
    gui::GUIListView* list = listOf(2);
    EXPECT_EQ(list->getEntry(2), nullptr);
    EXPECT_EQ(list->getEntry(-1), nullptr);
    list->deleteEntry(7);
    gui::GUIListViewEntry* spare = gui::GUIElement::make<gui::GUIListViewEntry>("spare");
    list->insertEntry(5, spare);
    EXPECT_EQ(list->size(), 2);
    list->insertEntry(2, spare);
    EXPECT_EQ(list->getEntry(2), spare) << "the size itself appends";
    EXPECT_TRUE(log.HasAt("ERROR", "(gui::GUIListView::getEntry) Index 2 is outside the list of 2 entries."));
    EXPECT_TRUE(log.HasAt("ERROR", "(gui::GUIListView::deleteEntry)"));
    EXPECT_TRUE(log.HasAt("ERROR", "(gui::GUIListView::insertEntry)"));

    gui::GUIListView* empty = listOf(0);
    EXPECT_EQ(empty->getEntryIndexAtCoordinates(0, 0), -1);
    EXPECT_TRUE(log.HasAt("ERROR", "(gui::GUIListView::getEntryAtCoordinates) Called this method but there are "
                                   "not entries in the GUIListView."));
}

TEST_F(ListViewTest, TextBoxesAndMenuTitlesSitAtTheirUpperLeft)
{
    gui::GUITextBox* box = gui::GUIElement::make<gui::GUITextBox>("Menu");
    box->setPadding(0.05f);
    box->setWidth(0.5f);
    box->setHeight(0.5f);
    box->setPosition(0.2f, 0.1f);
    const glm::vec2 text = box->getGraphicsText()->getWindowPosition();
    EXPECT_NEAR(text.x, 0.2f - 0.25f + 0.05f, 1e-5f);
    EXPECT_NEAR(text.y, 0.1f + 0.25f - 0.05f - 0.05f, 1e-5f);

    gui::GUIMenu* menu = gui::GUIElement::make<gui::GUIMenu>("Title");
    menu->setWidth(1.0f);
    menu->setHeight(0.5f);
    menu->setPosition(0.0f, 0.0f);
    menu->update({"one", "two"}, "Other");
    EXPECT_EQ(menu->getTitle(), "Other");
    EXPECT_EQ(menu->getEntryTexts(), (std::vector<std::string>{"one", "two"}));
    EXPECT_NEAR(menu->getGraphicsTitle()->getWindowPosition().y, 0.25f, 1e-5f) << "on the top edge";
}

TEST_F(ListViewTest, ABoxThatGrowsToFitKeepsItsTopAndComesBackToItsSize)
{
    gui::GUITextBox* box = gui::GUIElement::make<gui::GUITextBox>("");
    box->setWordWrap(true);
    box->setPadding(0.05f);
    box->setPosition(0.0f, 0.875f);
    box->setWidth(2.0f);
    box->setHeight(0.25f);
    box->setGrowToFit(true);
    box->setText("one line");
    EXPECT_NEAR(box->getHeight(), 0.25f, guitest::PIXEL_Y);
    std::string longText;
    for (int i = 0; i < 40; ++i)
        longText += "many words ";
    box->setText(longText);
    EXPECT_GT(box->getHeight(), 0.3f) << "several lines need more room";
    EXPECT_NEAR(box->getPosition().y + box->getHeight() / 2.0f, 1.0f, guitest::PIXEL_Y) << "the top stays put";
    box->setText("short again");
    EXPECT_NEAR(box->getHeight(), 0.25f, guitest::PIXEL_Y);
    EXPECT_NEAR(box->getPosition().y, 0.875f, guitest::PIXEL_Y);
}

TEST(TextWrap, BreaksAtBlanksToFitAndInsideWordsOnlyWhenAWordIsTooWide)
{
    const auto width = [](const std::string& line) { return static_cast<int>(line.size()); };
    EXPECT_EQ(gui::wrapText("the tide brought it in", 10, width), "the tide\nbrought it\nin");
    EXPECT_EQ(gui::wrapText("abcdefghijkl", 5, width), "abcde\nfghij\nkl");
    EXPECT_EQ(gui::wrapText("kept\nbreak", 20, width), "kept\nbreak");
    EXPECT_EQ(gui::wrapText("no limit", 0, width), "no limit");
    EXPECT_EQ(gui::wrapText("", 5, width), "");
}

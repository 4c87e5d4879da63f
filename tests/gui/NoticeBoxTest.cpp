#include "gui/NoticeBox.h"

#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "graphics/TGText.h"
#include "gui/GUIMenu.h"
#include "world/ProcessManager2.h"

using guitest::HeadlessGui;

namespace
{
class Notices : public HeadlessGui
{
protected:
    static void pass(double seconds) { core::ProcessManager2::getProcessManager2()->update(seconds); }
};
}

TEST_F(Notices, NoticesWaitTheirTurnInsteadOfReplacingOneAnother)
{
    gui::NoticeBox* notice = gui::GUIElement::make<gui::NoticeBox>();
    EXPECT_TRUE(notice->isHidden());
    notice->post("Saved (quick)");
    notice->post("Loaded");
    notice->post("Screenshot saved");
    notice->post("Loaded");
    EXPECT_EQ(notice->getText(), "Saved (quick)") << "the first stays until its time is up";
    ASSERT_EQ(notice->waiting().size(), 2u) << "a message already waiting is not queued twice";
    notice->post("Saved (quick)");
    EXPECT_EQ(notice->waiting().size(), 2u) << "the message on show, posted again, only restarts its time";

    pass(gui::NoticeBox::SHOW_SECONDS - 0.5);
    EXPECT_EQ(notice->getText(), "Saved (quick)");
    pass(1.0);
    EXPECT_EQ(notice->getText(), "Loaded") << "the next one follows when the time is up";
    EXPECT_FALSE(notice->isHidden());
    const glm::vec2 at = notice->getPosition();
    click(at.x, at.y);
    EXPECT_EQ(notice->getText(), "Screenshot saved") << "a click moves on to the next";
    click(at.x, at.y);
    EXPECT_TRUE(notice->isHidden()) << "and hides the last";

    notice->post("a");
    for (const char* message : {"b", "c", "d", "e"})
        notice->post(message);
    ASSERT_EQ(notice->waiting().size(), gui::NoticeBox::MAX_WAITING);
    EXPECT_EQ(notice->waiting().back(), "e") << "the newest news is kept";
    EXPECT_EQ(notice->waiting().front(), "c");
    notice->destroy();
}

TEST_F(Notices, ANoticeLiesUnderAFullScreenMenusTitle)
{
    gui::GUIMenu* load = gui::GUIElement::make<gui::GUIMenu>("Load");
    load->fullScreen();
    load->setPaddingTop(gui::GUIMenu::TITLE_BAND);
    load->show();
    gui::NoticeBox* notice = gui::GUIElement::make<gui::NoticeBox>();
    notice->post("Saved (quick)");
    const float noticeTop = notice->getPosition().y + notice->getHeight() / 2.0f;
    // The title's baseline with room below it for descenders (5 pixels).
    const float titleBottom = load->getGraphicsTitle()->getWindowPosition().y - 5.0f / 240.0f;
    EXPECT_LT(noticeTop, titleBottom) << "the notice starts below the title";
    EXPECT_GT(notice->getLayer(), load->getLayer()) << "and is drawn over the menu it lies on";
    notice->destroy();
    load->destroy();
}

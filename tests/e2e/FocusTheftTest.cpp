#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include "GameConsole.h"
#include "GameProcess.h"

// Tests that open windows run beside the game on the same X display (ctest
// -j2), and a window that opens takes the keyboard focus. Keys must still
// reach the game: this is what made a game miss its Escape and never quit.
TEST(FocusTheft, EscapeReachesTheGameAfterAnotherWindowTookTheFocus)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    GameProcess game;
    ASSERT_TRUE(game.launch());

    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Window thief = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 640, 480, 0, 0, 0);
    XSelectInput(display, thief, StructureNotifyMask);
    XMapRaised(display, thief);
    XEvent event;
    do
        XWindowEvent(display, thief, StructureNotifyMask, &event);
    while (event.type != MapNotify);
    XSetInputFocus(display, thief, RevertToParent, CurrentTime);
    XSync(display, False);
    Window focused = 0;
    int revert = 0;
    XGetInputFocus(display, &focused, &revert);
    EXPECT_EQ(focused, thief) << "the game no longer has the focus";

    EXPECT_EQ(game.quitWithEscape(GameConsole::WAIT_MS / 10), 1);
    XDestroyWindow(display, thief);
    XCloseDisplay(display);
}

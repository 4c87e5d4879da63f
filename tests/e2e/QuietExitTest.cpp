#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "GameConsole.h"
#include "GameProcess.h"

// A normal quit must end quietly, so that a real error on standard error
// stands out. OpenAL reports every device still open when the process exits.
TEST(QuietExit, EscapeLeavesNoAudioDeviceOpen)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    // OpenAL's null output opens on any machine, sound card or not, so the
    // game really holds a device here. The game inherits the setting.
    const char* previous = std::getenv("ALSOFT_DRIVERS");
    const std::string saved = previous ? previous : "";
    setenv("ALSOFT_DRIVERS", "null", 1);
    GameProcess game;
    const bool launched = game.launch("OpenGL", 640, 480, GameConsole::WAIT_MS * 2);
    if (previous)
        setenv("ALSOFT_DRIVERS", saved.c_str(), 1);
    else
        unsetenv("ALSOFT_DRIVERS");
    ASSERT_TRUE(launched);
    // The start-up script asks for the town music: by then the device is in use.
    ASSERT_TRUE(game.waitForOutput("Received request to play themeTown", GameConsole::WAIT_MS));

    EXPECT_EQ(game.quitWithEscape(), 1);
    for (const std::string& line : game.outputLines())
        ASSERT_EQ(line.find("soundEngine initialization"), std::string::npos) << "no device was opened: " << line;
    for (const std::string& line : game.errorLines())
        EXPECT_EQ(line.find("not closed"), std::string::npos) << line;
}

// F3, a maker's view of the walking grid: closed sides and trigger tiles
// drawn over the demo's first map, gone again at the second press.

#include <gtest/gtest.h>

#include <string>

#include "GameConsole.h"
#include "GameProcess.h"
#include "GameScreen.h"

namespace
{
// Pixels the view tints against the plain map: towards red where a cell is
// closed on every side, towards green on trigger tiles (the closed sides of
// partly open cells are solid yellow bands, which shift both).
struct Tinted
{
    long redder = 0;
    long greener = 0;
};

Tinted tinted(const GameProcess::Image& plain, const GameProcess::Image& image)
{
    Tinted found;
    if (plain.rgb.size() != image.rgb.size())
        return found;
    for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3)
    {
        const int dr = image.rgb[i] - plain.rgb[i];
        const int dg = image.rgb[i + 1] - plain.rgb[i + 1];
        const int db = image.rgb[i + 2] - plain.rgb[i + 2];
        found.redder += dr > 30 && dg < 0 && db < 0;
        found.greener += dg > 30 && dr < 0 && db < 0;
    }
    return found;
}

bool pressF3(GameProcess& game, GameConsole& console)
{
    return game.keyDown("F3") && console.frames(2) && game.keyUp("F3") && console.frames(2);
}
}

TEST(WalkingGridKey, F3ShowsClosedSidesAndTriggersThenHidesThem)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    GameProcess game;
    GameConsole console{game};
    ASSERT_TRUE(startGame(game));
    ASSERT_TRUE(console.open());
    ASSERT_TRUE(console.frames(2));
    GameProcess::Image plain;
    ASSERT_TRUE(game.capture(plain));

    // The demo's first view holds walls (the house, the fence, the well)
    // and one trigger tile (the house's door, 32 x 32 pixels).
    ASSERT_TRUE(pressF3(game, console));
    GameProcess::Image shown;
    Tinted during;
    EXPECT_TRUE(gamescreen::waitForScreen(
        game,
        [&](const GameProcess::Image& image)
        {
            during = tinted(plain, image);
            return during.redder > 5000 && during.greener > 500;
        },
        shown, 10000))
        << during.redder << " pixels redder, " << during.greener << " greener";
    gamescreen::keepScreenshot(game, "walking-grid");

    // The second press takes the view away: no tint is left.
    ASSERT_TRUE(pressF3(game, console));
    GameProcess::Image again;
    Tinted after;
    EXPECT_TRUE(gamescreen::waitForScreen(
        game,
        [&](const GameProcess::Image& image)
        {
            // A villager walking by or a party member's bar tints a few
            // pixels; the view itself tinted thousands.
            after = tinted(plain, image);
            return after.redder * 20 < during.redder && after.greener < 50;
        },
        again, 10000))
        << after.redder << " pixels redder, " << after.greener << " greener than before F3";
}

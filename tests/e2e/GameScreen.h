#pragma once

#include <functional>
#include <string>

#include "GameProcess.h"

// Reading what the game shows: mean colours of window regions, counts of
// white (text) pixels, and waiting until the picture shows something.
namespace gamescreen
{
struct Mean
{
    double r = 0;
    double g = 0;
    double b = 0;
};

// Mean colour of the pixels x0 <= x < x1, y0 <= y < y1 (window pixels,
// origin top left).
Mean regionMean(const GameProcess::Image& image, int x0, int y0, int x1, int y1);
// Mean absolute difference per channel between two pictures over a region.
double regionDifference(const GameProcess::Image& a, const GameProcess::Image& b, int x0, int y0, int x1, int y1);
// Pixels of that region bright in all three channels, as the menus' text is.
int whitePixels(const GameProcess::Image& image, int x0, int y0, int x1, int y1);
// Whether a region is covered by a menu's dark blue list entries.
bool coveredByList(const GameProcess::Image& image, int x0, int y0, int x1, int y1);
// Whether a region is covered by a widget's dark grey background.
bool coveredByBox(const GameProcess::Image& image, int x0, int y0, int x1, int y1);

// Takes screenshots until `shows` holds for one (true), or the time is up
// (false); the last picture is left in `image`.
bool waitForScreen(GameProcess& game, const std::function<bool(const GameProcess::Image&)>& shows,
                   GameProcess::Image& image, int timeoutMs = 20000);

// Saves the window under this name (".png" added) in the folder named by
// ZOLT_SCREENSHOT_DIR, when that is set: scripts/screenshots.sh collects the
// pictures of the documentation this way.
void keepScreenshot(GameProcess& game, const std::string& name);

// Whether the ending screen covers the window: opaque dark blue over the
// top, a grey button left of the middle, white words near the top.
bool endingShown(const GameProcess::Image& image);
}

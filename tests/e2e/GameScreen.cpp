#include "GameScreen.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace gamescreen
{
Mean regionMean(const GameProcess::Image& image, int x0, int y0, int x1, int y1)
{
    Mean mean;
    long count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
        {
            const GameProcess::Color c = image.at(x, y);
            mean.r += c.r;
            mean.g += c.g;
            mean.b += c.b;
            ++count;
        }
    if (count > 0)
    {
        mean.r /= count;
        mean.g /= count;
        mean.b /= count;
    }
    return mean;
}

double regionDifference(const GameProcess::Image& a, const GameProcess::Image& b, int x0, int y0, int x1, int y1)
{
    double total = 0;
    long count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
        {
            const GameProcess::Color p = a.at(x, y);
            const GameProcess::Color q = b.at(x, y);
            total += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
            count += 3;
        }
    return count ? total / count : 0.0;
}

int whitePixels(const GameProcess::Image& image, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
        {
            const GameProcess::Color c = image.at(x, y);
            count += (c.r > 210 && c.g > 210 && c.b > 210) ? 1 : 0;
        }
    return count;
}

bool coveredByList(const GameProcess::Image& image, int x0, int y0, int x1, int y1)
{
    // Entries are (0.1, 0.1, 0.4) at three quarters over the map: dark, with
    // blue well above green and red whatever lies underneath.
    const Mean m = regionMean(image, x0, y0, x1, y1);
    return m.g < 100 && m.r < 100 && m.b > m.g + 20 && m.b > m.r + 20;
}

bool coveredByBox(const GameProcess::Image& image, int x0, int y0, int x1, int y1)
{
    // Grey (0.25, 0.25, 0.25) at three quarters: dark and nearly neutral.
    const Mean m = regionMean(image, x0, y0, x1, y1);
    const double high = std::max(m.r, std::max(m.g, m.b));
    const double low = std::min(m.r, std::min(m.g, m.b));
    return high < 120 && high - low < 40;
}

bool waitForScreen(GameProcess& game, const std::function<bool(const GameProcess::Image&)>& shows,
                   GameProcess::Image& image, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do
    {
        if (game.capture(image) && shows(image))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

void keepScreenshot(GameProcess& game, const std::string& name)
{
    const char* folder = std::getenv("ZOLT_SCREENSHOT_DIR");
    if (folder && *folder)
        game.screenshot(std::string(folder) + "/" + name + ".png");
}
}

namespace gamescreen
{
bool endingShown(const GameProcess::Image& image)
{
    // Where the ending screen's "Play again" button sits, in window pixels.
    const int playAgainX = 224;
    const int buttonsY = 336;
    const Mean top = regionMean(image, 0, 0, 640, 120);
    return top.r < 30 && top.g < 30 && top.b < 50 && top.b > top.r &&
           coveredByBox(image, playAgainX - 60, buttonsY - 10, playAgainX + 60, buttonsY + 10) &&
           whitePixels(image, 0, 60, 640, 160) > 20;
}
}

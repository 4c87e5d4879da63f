#pragma once

namespace application
{
// Whether a point of the screen is covered by something shown over the game
// (a menu, a box), so that a click there is not the game's. The menus answer
// it; contexts below them ask without knowing any widget.
class PointerCover
{
public:
    // (x, y) in normalised screen coordinates.
    typedef bool (*Test)(float x, float y);

    PointerCover() = delete;

    static void setTest(Test test);
    // False while nothing has set a test: nothing is shown over the game.
    static bool covers(float x, float y);

private:
    static Test _test;
};
}

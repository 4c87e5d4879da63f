#pragma once

// Where the game's picture goes in a window of another size: scaled by the
// largest whole number that fits (never below 1), so every pixel of the
// picture becomes a square block of the same size, and centred with black
// bars around it.
struct Letterbox
{
    int x = 0; // the picture's lower-left corner in the window, pixels
    int y = 0;
    int scale = 1;
    int width = 0; // the scaled picture's size
    int height = 0;

    static Letterbox fit(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

    // A window position (pixels, origin top left) as a position on the
    // picture (pixels, origin top left); outside the picture it lies off its
    // edges.
    void toPicture(double windowX, double windowY, int windowHeight, double& pictureX, double& pictureY) const;
};

#pragma once

#include <algorithm>

// Where the game draws a tile in its 640 x 480 window while the camera
// follows the avatar but keeps to the map: centred on her, unless that
// would show past an edge, where it stops; a map no larger than the window
// on an axis is centred on that axis. Tiles are 32 pixels on screen. In a
// fight the result box covers the top 60 pixels and the menu the bottom 120,
// and the view may run that far past the map's top and bottom edges.
struct MapView
{
    int rows;
    int columns;
    int avatarRow;
    int avatarCol;
    int coveredTop = 0;
    int coveredBottom = 0;

    static const int TILE = 32;
    static const int WIDTH = 640;
    static const int HEIGHT = 480;

    static MapView fight(int rows, int columns, int avatarRow, int avatarCol)
    {
        return MapView{rows, columns, avatarRow, avatarCol, 60, 120};
    }

    // Window pixel of the centre of a column and of a row (origin top left).
    int x(int column) const { return WIDTH / 2 + column * TILE + TILE / 2 - cameraLeftOfMapCentre(); }
    int y(int row) const { return HEIGHT / 2 + row * TILE + TILE / 2 - cameraTopOfMapCentre(); }

private:
    // Camera centre measured from the map's top-left corner, in pixels.
    int cameraLeftOfMapCentre() const { return clampAxis(columns * TILE, WIDTH, avatarCol * TILE + TILE / 2, 0, 0); }
    int cameraTopOfMapCentre() const
    {
        return clampAxis(rows * TILE, HEIGHT, avatarRow * TILE + TILE / 2, coveredTop, coveredBottom);
    }
    // The view may reach `before` past the map's start and `after` past its end.
    static int clampAxis(int mapSize, int viewSize, int target, int before, int after)
    {
        if (mapSize + before + after <= viewSize)
            return (mapSize + after - before) / 2;
        return std::min(std::max(target, viewSize / 2 - before), mapSize + after - viewSize / 2);
    }
};

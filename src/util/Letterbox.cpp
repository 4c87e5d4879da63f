#include "util/Letterbox.h"

#include <algorithm>

Letterbox Letterbox::fit(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight)
{
    Letterbox box;
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return box;
    box.scale = std::max(1, std::min(windowWidth / pictureWidth, windowHeight / pictureHeight));
    box.width = pictureWidth * box.scale;
    box.height = pictureHeight * box.scale;
    // A window smaller than the picture shows its lower-left part, as a
    // window of the picture's size always did.
    box.x = std::max(0, (windowWidth - box.width) / 2);
    box.y = std::max(0, (windowHeight - box.height) / 2);
    return box;
}

void Letterbox::toPicture(double windowX, double windowY, int windowHeight, double& pictureX, double& pictureY) const
{
    // The box's y counts from the bottom, as the drawing does.
    const double top = static_cast<double>(windowHeight - y - height);
    pictureX = (windowX - x) / scale;
    pictureY = (windowY - top) / scale;
}

#pragma once

#include <string>

#include <glm/glm.hpp>

namespace tamsygraphics
{
// How the GUI is drawn: panels cut from a picture (see NineSlice) and the
// colour texts start with. Without a panel texture, panels keep their flat
// colours.
struct GUITheme
{
    std::string panelTexture;
    int border = 8;
    glm::vec3 textColour = glm::vec3(1.0f, 1.0f, 1.0f);

    bool hasPanel() const { return !panelTexture.empty(); }
};
}

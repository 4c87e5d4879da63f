#pragma once

// Widgets without a window: a graphics GUI manager with no renderer gives
// every widget its rectangles and texts (nothing is drawn), and the GUI
// manager starts each test empty, with its identifier counters at 0.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "graphics/TGGUIManager.h"
#include "gui/GUIManager.h"
#include "util/util.h"

namespace guitest
{
class HeadlessGui : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gui::GUIManager::reset();
        gui::GUIManager::init(graphics());
    }
    void TearDown() override { gui::GUIManager::reset(); }

    static tamsygraphics::GUIManager* graphics()
    {
        static tamsygraphics::GUIManager* manager = new tamsygraphics::GUIManager(nullptr);
        return manager;
    }

    // Mouse events as the window delivers them, in screen units.
    static void press(float x, float y) { gui::GUIManager::getInstance()->dispatch(0, application::MOUSE_DOWN, x, y); }
    static void release(float x, float y) { gui::GUIManager::getInstance()->dispatch(0, application::MOUSE_UP, x, y); }
    static void click(float x, float y)
    {
        press(x, y);
        release(x, y);
    }
    static void hover(float x, float y) { gui::GUIManager::getInstance()->dispatch(x, y); }
};

// A whole pixel in screen units, for comparing laid-out sizes.
const float PIXEL_Y = 2.0f / 480.0f;
const float PIXEL_X = 2.0f / 640.0f;
}

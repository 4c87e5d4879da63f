#pragma once

#include <string>

#include "gui/GUITextBox.h"

namespace gui
{
// A line of news across the top of the window ("Saved", or why a save could
// not be loaded). It goes away by itself after a few seconds, or at a click.
class NoticeBox : public GUITextBox
{
public:
    NoticeBox();
    ~NoticeBox() override;

    // Shows the message, replacing any that is showing.
    void post(const std::string& message);
    void onMouseUp(int button, double x, double y) override;

    static constexpr double SHOW_SECONDS = 4.0;

private:
    class Timer;
    Timer* _timer;
};
}

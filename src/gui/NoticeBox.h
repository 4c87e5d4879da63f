#pragma once

#include <deque>
#include <string>

#include "gui/GUITextBox.h"

namespace gui
{
// A line of news across the top of the window ("Saved", or why a save could
// not be loaded), just under where a full-screen menu writes its title so
// that it never covers one. Each notice stays a few seconds or until
// clicked; notices posted meanwhile wait their turn.
class NoticeBox : public GUITextBox
{
public:
    NoticeBox();
    ~NoticeBox() override;

    // Shows the message, or queues it behind the one showing. The same
    // message twice in a row is shown once, for the full time again.
    void post(const std::string& message);
    void onMouseUp(int button, double x, double y) override;
    // The messages waiting, oldest first.
    const std::deque<std::string>& waiting() const { return _waiting; }

    static constexpr double SHOW_SECONDS = 4.0;
    // More than this many waiting drops the oldest: a burst of the same
    // kind of news should not keep the player reading for a minute.
    static constexpr size_t MAX_WAITING = 3;
    // Where the box's top edge goes, in screen units.
    static float topEdge();

private:
    class Timer;
    // Shows the next waiting message, or hides the box when none waits.
    void next();
    void display(const std::string& message);

    Timer* _timer;
    std::deque<std::string> _waiting;
};
}

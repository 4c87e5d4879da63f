#include "gui/NoticeBox.h"

#include <memory>
#include <utility>

#include "world/Process.h"
#include "world/ProcessManager2.h"

namespace gui
{
// Hides the notice when its time is up. The process manager owns it; a new
// message restarts the count instead of starting another timer.
class NoticeBox::Timer : public core::Process
{
public:
    explicit Timer(NoticeBox* notice) : _notice(notice), _left(0.0) {}

    void restart() { _left = SHOW_SECONDS; }
    void forget() { _notice = nullptr; }

    void update(double seconds) override
    {
        if (_left <= 0.0)
            return;
        _left -= seconds;
        if (_left <= 0.0 && _notice)
            _notice->hide();
    }

private:
    NoticeBox* _notice;
    double _left;
};

NoticeBox::NoticeBox() : GUITextBox(""), _timer(nullptr)
{
    setPosition(0.0f, 0.85f);
    setWidth(1.9f);
    setHeight(0.25f);
    setPadding(0.03f);
    setWordWrap(true);
    // The process manager owns the timer; the box only tells it to forget
    // the box when the box goes.
    auto timer = std::make_unique<Timer>(this);
    _timer = timer.get();
    core::ProcessManager2::getProcessManager2()->addProcess(std::move(timer));
    hide();
}

NoticeBox::~NoticeBox()
{
    _timer->forget();
    _timer->kill();
}

void NoticeBox::post(const std::string& message)
{
    setText(message);
    show();
    _timer->restart();
}

void NoticeBox::onMouseUp(int button, double x, double y)
{
    GUITextBox::onMouseUp(button, x, y);
    hide();
}
}

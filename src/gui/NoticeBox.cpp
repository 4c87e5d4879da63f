#include "gui/NoticeBox.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "gui/GUIMenu.h"

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
            _notice->next();
    }

private:
    NoticeBox* _notice;
    double _left;
};

namespace
{
const float NOTICE_HEIGHT = 0.25f;
// Between the title band and the notice, so the two never touch.
const float GAP_UNDER_TITLE = 0.02f;
}

float NoticeBox::topEdge()
{
    return 1.0f - GUIMenu::TITLE_BAND - GAP_UNDER_TITLE;
}

NoticeBox::NoticeBox() : GUITextBox(""), _timer(nullptr)
{
    setPosition(0.0f, topEdge() - NOTICE_HEIGHT / 2.0f);
    setWidth(1.9f);
    setHeight(NOTICE_HEIGHT);
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
    if (isHidden() || message == getText())
    {
        display(message);
        return;
    }
    if (std::find(_waiting.begin(), _waiting.end(), message) != _waiting.end())
        return;
    _waiting.push_back(message);
    if (_waiting.size() > MAX_WAITING)
        _waiting.pop_front();
}

void NoticeBox::display(const std::string& message)
{
    setText(message);
    // Shown again, it is raised over whatever menu opened since.
    show();
    _timer->restart();
}

void NoticeBox::next()
{
    if (_waiting.empty())
    {
        hide();
        return;
    }
    const std::string message = _waiting.front();
    _waiting.pop_front();
    display(message);
}

void NoticeBox::onMouseUp(int button, double x, double y)
{
    GUITextBox::onMouseUp(button, x, y);
    next();
}
}

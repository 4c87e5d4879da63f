#pragma once

#include <functional>
#include <string>
#include <vector>

#include "input/InputContext.h"

namespace tamsygraphics
{
class Renderer;
}

namespace application
{
// F12 keeps a picture of the window, wherever the player is, and says where
// it went (or why it could not) in the notice line and on standard output.
class ScreenshotInputContext : public InputContext
{
public:
    // `folder` is where pictures go (see Screenshots::folderFor).
    ScreenshotInputContext(tamsygraphics::Renderer* renderer, std::string folder);
    // A picture asked for but not yet taken would call back into freed
    // memory: the request goes with the context.
    ~ScreenshotInputContext() override;
    ScreenshotInputContext(const ScreenshotInputContext&) = delete;
    ScreenshotInputContext& operator=(const ScreenshotInputContext&) = delete;

    using InputContext::dispatch;
    // Once per press; a held key takes one picture.
    bool dispatch(int key, int keyState) override;

    void setNotifier(std::function<void(const std::string&)> notifier) { _notifier = std::move(notifier); }

    // Writes a read-back frame and reports the outcome; returns the message.
    std::string keep(int width, int height, const std::vector<unsigned char>& rgba);

private:
    void tell(const std::string& message, bool failed);

    tamsygraphics::Renderer* _renderer;
    std::string _folder;
    std::function<void(const std::string&)> _notifier;
};
}

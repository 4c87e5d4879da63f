#include "application/ScreenshotInputContext.h"

#include <iostream>

#include "Log/Log.h"
#include "application/Screenshots.h"
#include "graphics/TGRenderer.h"

namespace application
{
ScreenshotInputContext::ScreenshotInputContext(tamsygraphics::Renderer* renderer, std::string folder)
    : _renderer(renderer), _folder(std::move(folder))
{
}

ScreenshotInputContext::~ScreenshotInputContext()
{
    if (_renderer)
        _renderer->CaptureNextFrame(nullptr);
}

bool ScreenshotInputContext::dispatch(int key, int keyState)
{
    if (key != KEY_F12)
        return false;
    if (keyState == KEYHIT && _renderer)
    {
        // The picture is read at the end of the next frame's drawing, so it
        // holds exactly what the window is about to show.
        _renderer->CaptureNextFrame([this](int width, int height, std::vector<unsigned char>& rgba)
                                    { keep(width, height, rgba); });
    }
    return true;
}

std::string ScreenshotInputContext::keep(int width, int height, const std::vector<unsigned char>& rgba)
{
    std::string problem;
    const std::string path = Screenshots::save(_folder, Screenshots::timeStamp(), width, height, rgba, problem);
    const std::string message = path.empty() ? "Screenshot not saved: " + problem : "Screenshot saved to " + path;
    tell(message, path.empty());
    return message;
}

void ScreenshotInputContext::tell(const std::string& message, bool failed)
{
    // An error line reaches standard output and standard error alike.
    if (failed)
        Log::error() << message << std::endl;
    else
        Log::plain() << message << std::endl;
    if (_notifier)
        _notifier(message);
}
}

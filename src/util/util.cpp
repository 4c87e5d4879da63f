#include "util/util.h"

#include "Log/Log.h"
#include "util/NamedXMLDocument.h"
#include "util/GameFiles.h"

float toScreenX(int x)
{
    return static_cast<float>(2.0 * x / WINDOW_WIDTH - 1.0);
}

float toScreenY(int y)
{
    return -static_cast<float>(2.0 * y / WINDOW_HEIGHT - 1.0);
}

float toScreenWidth(int width)
{
    return static_cast<float>(2.0 * width / WINDOW_WIDTH);
}

float toScreenHeight(int height)
{
    return static_cast<float>(2.0 * height / WINDOW_HEIGHT);
}

namespace
{
// Screen units pass through float, so a whole pixel can come back a hair
// short of its integer (toScreenX(3) gives 2.99998 pixels). Values within a
// thousandth of a pixel of the next integer away from zero count as that
// integer; everything else is truncated toward zero.
int truncatePixels(double pixels)
{
    const double tolerance = 1e-3;
    return static_cast<int>(pixels + (pixels < 0.0 ? -tolerance : tolerance));
}
}

int toPixelX(float x)
{
    return truncatePixels((static_cast<double>(x) + 1.0) * WINDOW_WIDTH / 2.0);
}

int toPixelY(float y)
{
    return truncatePixels((1.0 - static_cast<double>(y)) * WINDOW_HEIGHT / 2.0);
}

int toPixelWidth(float width)
{
    return truncatePixels(static_cast<double>(width) * WINDOW_WIDTH / 2.0);
}

int toPixelHeight(float height)
{
    return truncatePixels(static_cast<double>(height) * WINDOW_HEIGHT / 2.0);
}

std::string nullToEmpty(const char* text)
{
    return text ? std::string(text) : std::string();
}

std::string toString(int value)
{
    return NumberToString<int>(value);
}

XMLRoot getRoot(const std::string& fileName)
{
    XMLRoot result;
    result.document = std::make_unique<NamedXMLDocument>(fileName);
    std::string path = WORKING_DIRECTORY + "/" + fileName;
    if (GameFiles::loadXML(*result.document, path) != tinyxml2::XML_SUCCESS || !result.document->RootElement())
    {
        Log::error() << "getRoot - Failed to load or parse file " << fileName << std::endl;
        result.document.reset();
        return result;
    }
    result.root = result.document->RootElement();
    return result;
}

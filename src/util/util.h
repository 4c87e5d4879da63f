#pragma once

#include <memory>
#include <sstream>
#include <string>

#include <tinyxml2.h>

const double WINDOW_WIDTH = 640.0;
const double WINDOW_HEIGHT = 480.0;
const double WINDOW_ASPECT_RATIO = WINDOW_WIDTH / WINDOW_HEIGHT;
const std::string WORKING_DIRECTORY = ".";
const int GLSL_VERSION = 150;

// Window pixels (origin top left) to normalised screen units (-1..1, y up).
float toScreenX(int x);
float toScreenY(int y);
float toScreenWidth(int width);
float toScreenHeight(int height);

// Normalised screen units back to window pixels, truncated toward zero
// (after forgiving float rounding, so whole pixels survive a round trip).
int toPixelX(float x);
int toPixelY(float y);
int toPixelWidth(float width);
int toPixelHeight(float height);

std::string nullToEmpty(const char* text);

template <typename T>
std::string NumberToString(T value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string toString(int value);

// A loaded XML document together with its root element. The root belongs to
// the document, so both travel together and the root stays valid for as long
// as the caller keeps this object.
struct XMLRoot
{
    std::unique_ptr<tinyxml2::XMLDocument> document;
    tinyxml2::XMLElement* root = nullptr;

    explicit operator bool() const { return root != nullptr; }
    tinyxml2::XMLElement* operator->() const { return root; }
    tinyxml2::XMLElement* get() const { return root; }
};

// Loads WORKING_DIRECTORY + "/" + fileName. On a missing or malformed file it
// logs "getRoot - Failed to load or parse file <fileName>" and the result
// holds no root.
XMLRoot getRoot(const std::string& fileName);

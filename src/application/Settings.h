#pragma once

#include <string>

#include "input/KeyBindings.h"

namespace application
{
// The player's own choices, kept across runs and across games in
// $XDG_CONFIG_HOME/zolt/settings.xml: volumes, the window's size and full
// screen, and the keys. A file that cannot be read well is reported (the
// file and the fault, on standard error and in the log) and whatever it
// got wrong keeps its default; it never stops the game.
class Settings
{
public:
    static const int MIN_SCALE = 1;
    static const int MAX_SCALE = 4;

    int musicVolume = 80;   // percent
    int effectsVolume = 80; // percent
    int windowScale = 1;    // whole multiples of the 640 x 480 picture
    bool fullScreen = false;
    KeyBindings keys;

    // $XDG_CONFIG_HOME/zolt/settings.xml, or ~/.config/zolt/settings.xml;
    // empty when neither XDG_CONFIG_HOME nor HOME says where.
    static std::string defaultPath();

    // Reads the file over the defaults. A missing file is no fault (the
    // first run has none). False when anything in it was wrong; every
    // fault has been reported.
    bool load(const std::string& path);
    // Writes the file whole or not at all: a new file renamed over the old
    // one, so a crash mid-write leaves the old settings. False, reported,
    // when it cannot be written.
    bool save(const std::string& path) const;

    // The file's text for these settings.
    std::string toXml() const;
    // Reads settings from a file's text; every fault goes to `faults`, one
    // per line, and leaves that setting at its default.
    void fromXml(const std::string& text, std::string& faults);

private:
    static void report(const std::string& path, const std::string& fault);
};
}

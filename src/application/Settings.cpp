#include "application/Settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <tinyxml2.h>

#include "Log/Log.h"

namespace application
{
namespace
{
void addFault(std::string& faults, const std::string& fault)
{
    faults += fault + "\n";
}

// A whole number within [low, high]; anything else is a fault and leaves
// `value` as it was.
void readNumber(const tinyxml2::XMLElement* element, const char* attribute, int low, int high, int& value,
                std::string& faults)
{
    const char* text = element->Attribute(attribute);
    if (!text)
        return;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || number < low || number > high)
    {
        addFault(faults, std::string("<") + element->Name() + "> " + attribute + "=\"" + text +
                             "\" is not a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                             "; " + std::to_string(value) + " used");
        return;
    }
    value = static_cast<int>(number);
}

void readFlag(const tinyxml2::XMLElement* element, const char* attribute, bool& value, std::string& faults)
{
    const char* text = element->Attribute(attribute);
    if (!text)
        return;
    if (std::strcmp(text, "true") == 0 || std::strcmp(text, "false") == 0)
        value = std::strcmp(text, "true") == 0;
    else
        addFault(faults, std::string("<") + element->Name() + "> " + attribute + "=\"" + text +
                             "\" is neither true nor false; " + (value ? "true" : "false") + " used");
}

void readKeys(const tinyxml2::XMLElement* keys, KeyBindings& bindings, std::string& faults)
{
    for (const tinyxml2::XMLElement* key = keys->FirstChildElement(); key; key = key->NextSiblingElement())
    {
        const char* action = key->Attribute("action");
        const char* name = key->Attribute("key");
        const int line = key->GetLineNum();
        const std::string where = "line " + std::to_string(line) + ": ";
        if (std::strcmp(key->Name(), "key") != 0 || !action || !name)
            addFault(faults, where + "expected <key action=\"...\" key=\"...\"/>");
        else if (bindings.keyFor(action) < 0)
            addFault(faults, where + "no action is called \"" + action + "\"");
        else if (KeyBindings::keyCode(name) < 0)
            addFault(faults, where + "no key is called \"" + name + "\"; " + action + " keeps " +
                                 KeyBindings::keyName(bindings.keyFor(action)));
        else
            bindings.bind(action, KeyBindings::keyCode(name));
    }
}
}

std::string Settings::defaultPath()
{
    // The XDG rules ignore a relative XDG_CONFIG_HOME.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return std::string(config) + "/zolt/settings.xml";
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return "";
    return std::string(home) + "/.config/zolt/settings.xml";
}

// The error log reaches standard error as well as the log.
void Settings::report(const std::string& path, const std::string& fault)
{
    Log::error() << "zolt: " << path << ": " << fault << std::endl;
}

bool Settings::load(const std::string& path)
{
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error))
        return true;
    std::ifstream file(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof())
    {
        report(path, "cannot be read (" + std::string(std::strerror(errno)) + "); default settings used");
        return false;
    }
    std::string faults;
    fromXml(text, faults);
    std::istringstream lines(faults);
    for (std::string line; std::getline(lines, line);)
        report(path, line);
    return faults.empty();
}

void Settings::fromXml(const std::string& text, std::string& faults)
{
    tinyxml2::XMLDocument document;
    if (document.Parse(text.c_str(), text.size()) != tinyxml2::XML_SUCCESS)
    {
        addFault(faults, std::string("not well-formed XML (") + document.ErrorStr() + "); default settings used");
        return;
    }
    const tinyxml2::XMLElement* root = document.RootElement();
    if (!root || std::strcmp(root->Name(), "settings") != 0)
    {
        addFault(faults, "the root element is not <settings>; default settings used");
        return;
    }
    if (const tinyxml2::XMLElement* sound = root->FirstChildElement("sound"))
    {
        readNumber(sound, "music", 0, 100, musicVolume, faults);
        readNumber(sound, "effects", 0, 100, effectsVolume, faults);
    }
    if (const tinyxml2::XMLElement* window = root->FirstChildElement("window"))
    {
        readNumber(window, "scale", MIN_SCALE, MAX_SCALE, windowScale, faults);
        readFlag(window, "fullscreen", fullScreen, faults);
    }
    if (const tinyxml2::XMLElement* keyList = root->FirstChildElement("keys"))
        readKeys(keyList, keys, faults);
}

std::string Settings::toXml() const
{
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<settings>\n"
        << "  <sound music=\"" << musicVolume << "\" effects=\"" << effectsVolume << "\"/>\n"
        << "  <window scale=\"" << windowScale << "\" fullscreen=\"" << (fullScreen ? "true" : "false") << "\"/>\n"
        << "  <keys>\n";
    for (const KeyBindings::Action& action : KeyBindings::actions())
        out << "    <key action=\"" << action.id << "\" key=\"" << KeyBindings::keyName(keys.keyFor(action.id))
            << "\"/>\n";
    out << "  </keys>\n</settings>\n";
    return out.str();
}

bool Settings::save(const std::string& path) const
{
    if (path.empty())
    {
        report("settings.xml", "has no folder to go to (neither XDG_CONFIG_HOME nor HOME is set); not saved");
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error)
    {
        report(path, "cannot make its folder (" + error.message() + "); not saved");
        return false;
    }
    const std::string temporary = path + ".new";
    const std::string text = toXml();
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written =
        fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (fd >= 0)
        ::close(fd);
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0)
    {
        report(path, "cannot be written (" + std::string(std::strerror(written ? errno : writeError)) +
                         "); the old settings stay");
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
}

#pragma once

#include <memory>
#include <string>

#include <tinyxml2.h>

namespace core
{
// A fixed underlying type: values read from elsewhere may be neither kind,
// and such an instance must still be representable (it runs nothing).
enum ScriptType : int
{
    FILENAME = 0,
    TEXT = 1
};

// One script reference read from XML: a file under the script directory
// or inline Lua source.
class ScriptInstance
{
public:
    ScriptInstance(ScriptType type, const std::string& script);

    // A "src" attribute names a file; without one the element's text is the
    // source. The caller owns the result; null when element is null.
    static std::unique_ptr<ScriptInstance> buildFromXMLElement(tinyxml2::XMLElement* element);

    void run();

    ScriptType getType() const;
    const std::string& getScriptName() const;
    const std::string& getScriptText() const;

private:
    ScriptType _type;
    std::string _scriptName;
    std::string _scriptText;
};
}

#include "script/ScriptInstance.h"

#include "script/LuaInterface.h"
#include "util/util.h"

namespace core
{
ScriptInstance::ScriptInstance(ScriptType type, const std::string& script) : _type(type)
{
    if (type == FILENAME)
    {
        _scriptName = script;
        _scriptText = "filename script";
    }
    else if (type == TEXT)
    {
        _scriptName = "anonymous script";
        _scriptText = script;
    }
}

std::unique_ptr<ScriptInstance> ScriptInstance::buildFromXMLElement(tinyxml2::XMLElement* element)
{
    if (!element)
        return nullptr;
    const std::string src = nullToEmpty(element->Attribute("src"));
    if (src.empty())
        return std::make_unique<ScriptInstance>(TEXT, nullToEmpty(element->GetText()));
    return std::make_unique<ScriptInstance>(FILENAME, src);
}

void ScriptInstance::run()
{
    if (_type == TEXT)
        LuaInterface::runString(_scriptText);
    else if (_type == FILENAME)
        LuaInterface::runScript(_scriptName);
}

ScriptType ScriptInstance::getType() const
{
    return _type;
}

const std::string& ScriptInstance::getScriptName() const
{
    return _scriptName;
}

const std::string& ScriptInstance::getScriptText() const
{
    return _scriptText;
}
}

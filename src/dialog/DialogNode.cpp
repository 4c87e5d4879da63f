#include "dialog/DialogNode.h"

#include <memory>

#include "Log/Log.h"
#include "dialog/DialogOption.h"
#include "script/LuaInterface.h"
#include "script/ScriptInstance.h"
#include "util/LoadedFiles.h"
#include "util/util.h"
#include "util/GameFiles.h"

namespace core
{
namespace
{
const char* childText(tinyxml2::XMLElement* parent, const char* name)
{
    tinyxml2::XMLElement* child = parent->FirstChildElement(name);
    return child ? child->GetText() : nullptr;
}
}

DialogNode::DialogNode(const std::string& path, const std::string& nodeId, bool runNodeScripts)
    : _filePath(path), _isValid(false), _runNodeScripts(runNodeScripts)
{
    _isValid = read(nodeId);
}

DialogNode::~DialogNode() = default;

void DialogNode::logError(const std::string& problem) const
{
    Log::error() << "DialogNode::DialogNode - " << problem << " in dialog file " << _filePath << std::endl;
}

bool DialogNode::read(const std::string& nodeId)
{
    tinyxml2::XMLDocument document;
    // While a changed dialog file is broken, its last good version is read.
    if (LoadedFiles::loadXML(document, _filePath, FileKind::Dialog) != tinyxml2::XML_SUCCESS)
    {
        logError("Failed to load or parse the file");
        return false;
    }
    tinyxml2::XMLElement* root = document.FirstChildElement("root");
    if (!root)
    {
        logError("No root element");
        return false;
    }
    const char* name = childText(root, "name");
    if (!name)
    {
        logError("No name element");
        return false;
    }
    _name = name;
    tinyxml2::XMLElement* nodeElement = findNode(root, nodeId);
    if (!nodeElement)
        return false;
    _text = nullToEmpty(childText(nodeElement, "text"));
    for (tinyxml2::XMLElement* option = nodeElement->FirstChildElement("option"); option;
         option = option->NextSiblingElement("option"))
    {
        if (!readOption(option))
            return false;
    }
    // Scripts run after the node's own conditions, so they only shape later nodes.
    if (_runNodeScripts)
        runScripts(nodeElement);
    return true;
}

tinyxml2::XMLElement* DialogNode::findNode(tinyxml2::XMLElement* root, const std::string& nodeId) const
{
    for (tinyxml2::XMLElement* node = root->FirstChildElement("node"); node; node = node->NextSiblingElement("node"))
    {
        const char* id = node->Attribute("id");
        if (!id)
        {
            logError("A node without an id");
            return nullptr;
        }
        if (nodeId == id)
            return node;
    }
    logError("No node " + nodeId);
    return nullptr;
}

bool DialogNode::readOption(tinyxml2::XMLElement* optionElement)
{
    const char* flag = childText(optionElement, "flag");
    const char* text = childText(optionElement, "text");
    tinyxml2::XMLElement* nextElement = optionElement->FirstChildElement("next");
    if (!flag || !text || !nextElement)
    {
        logError("An option without its flag, text or next");
        return false;
    }
    // An empty next is allowed: it ends the conversation like "exit".
    const std::string next = nullToEmpty(nextElement->GetText());
    const std::string requirement = flag;
    if (requirement != "none" && !LuaInterface::runBooleanString(requirement))
        return true;
    _options.push_back(std::make_unique<DialogOption>(requirement, text, next));
    return true;
}

void DialogNode::runScripts(tinyxml2::XMLElement* nodeElement)
{
    for (tinyxml2::XMLElement* script = nodeElement->FirstChildElement("script"); script;
         script = script->NextSiblingElement("script"))
    {
        std::unique_ptr<ScriptInstance> instance(ScriptInstance::buildFromXMLElement(script));
        if (instance)
            instance->run();
    }
}

bool DialogNode::isValid() const
{
    return _isValid;
}

const std::string& DialogNode::getText() const
{
    return _text;
}

const std::string& DialogNode::getName() const
{
    return _name;
}

int DialogNode::getNumOptions() const
{
    return static_cast<int>(_options.size());
}

std::string DialogNode::getOptionText(int i) const
{
    if (i < 0 || i >= getNumOptions())
        return std::string();
    return _options[i]->text;
}

std::vector<std::string> DialogNode::getOptionTexts() const
{
    std::vector<std::string> texts;
    for (const std::unique_ptr<DialogOption>& option : _options)
        texts.push_back(option->text);
    return texts;
}

std::string DialogNode::getNextNode(int i) const
{
    if (i < 0 || i >= getNumOptions())
        return std::string();
    return _options[i]->nextId;
}
}

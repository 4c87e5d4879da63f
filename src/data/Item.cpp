#include "data/Item.h"

#include <tinyxml2.h>

#include "Log/Log.h"

namespace core
{
Item::Item(const std::string& id, const std::string& name, const std::string& scriptFilename)
    : _id(id), _name(name), _scriptFilename(scriptFilename)
{
}

std::unique_ptr<Item> Item::buildFromXMLElement(tinyxml2::XMLElement* element)
{
    if (!element)
    {
        Log::error() << "Item::buildFromXMLElement - Unable to build item from NULL XML Element" << std::endl;
        return nullptr;
    }
    // All three attributes are required; a record without one is refused
    // rather than turned into an item nobody can find or use.
    const char* id = element->Attribute("id");
    const char* name = element->Attribute("name");
    const char* script = element->Attribute("script");
    if (!id || !name || !script)
    {
        Log::error() << "Item::buildFromXMLElement - Item on line " << element->GetLineNum() << " is missing its "
                     << (!id     ? "id"
                         : !name ? "name"
                                 : "script")
                     << " attribute" << std::endl;
        return nullptr;
    }
    return std::make_unique<Item>(id, name, script);
}

std::string Item::getId() const
{
    return _id;
}

std::string Item::getName() const
{
    return _name;
}

std::string Item::scriptFilename() const
{
    return _scriptFilename;
}
}

#pragma once

#include <memory>
#include <string>

namespace tinyxml2
{
class XMLElement;
}

namespace core
{
// Something an inventory can hold. Items are read once by the game resource
// database, which owns them; inventories refer to them by id.
class Item
{
public:
    Item(const std::string& id, const std::string& name, const std::string& scriptFilename);

    static std::unique_ptr<Item> buildFromXMLElement(tinyxml2::XMLElement* element);

    std::string getId() const;
    std::string getName() const;
    std::string scriptFilename() const;

private:
    std::string _id;
    std::string _name;
    std::string _scriptFilename;
};
}

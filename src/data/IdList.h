#pragma once

#include <list>
#include <string>

namespace core
{
// An inventory of item ids. Order is kept and duplicates are allowed, so a
// party can hold two of the same thing and lose them one at a time.
class IdList
{
public:
    void add(const std::string& id);
    bool contains(const std::string& id) const;
    bool remove(const std::string& id);
    void clear();

    std::list<std::string>& getIds();
    const std::list<std::string>& getIds() const;

private:
    std::list<std::string> _ids;
};
}

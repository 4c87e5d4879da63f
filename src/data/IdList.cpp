#include "data/IdList.h"

#include <algorithm>

namespace core
{
void IdList::add(const std::string& id)
{
    _ids.push_back(id);
}

bool IdList::contains(const std::string& id) const
{
    return std::find(_ids.begin(), _ids.end(), id) != _ids.end();
}

bool IdList::remove(const std::string& id)
{
    auto found = std::find(_ids.begin(), _ids.end(), id);
    if (found == _ids.end())
        return false;
    // Only one copy goes: losing an item must not take every duplicate with it.
    _ids.erase(found);
    return true;
}

void IdList::clear()
{
    _ids.clear();
}

std::list<std::string>& IdList::getIds()
{
    return _ids;
}

const std::list<std::string>& IdList::getIds() const
{
    return _ids;
}
}

#pragma once

#include <string>

namespace core
{
class Entity;

// What the console asks of the game it runs in: the entities its lines
// name as subject and object. The session answers.
class ConsoleHost
{
public:
    virtual ~ConsoleHost() = default;

    virtual Entity* getEntity(const std::string& id) const = 0;
};
}

#pragma once

#include <string>

namespace core
{
class Entity;

// What a conversation asks of the game it runs in: whether a fight is on
// (none starts during one), who the calling entity is, and the flag that
// tells scripts a conversation is open. The session answers.
class DialogHost
{
public:
    virtual ~DialogHost() = default;

    virtual bool isFightOn() const = 0;
    virtual Entity* getEntity(const std::string& id) const = 0;
    virtual bool setFlag(const std::string& name, int value) = 0;
    virtual int getFlag(const std::string& name) = 0;
    virtual bool hasFlag(const std::string& name) const = 0;
};
}

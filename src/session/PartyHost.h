#pragma once

namespace core
{
class Scene;

// What the party asks of the game it walks in: the scene a new member is
// taken from, and whether a fight is on (no item is used during one). The
// session answers.
class PartyHost
{
public:
    virtual ~PartyHost() = default;

    virtual Scene* getCurrentScene() const = 0;
    virtual bool isFightOn() const = 0;
};
}

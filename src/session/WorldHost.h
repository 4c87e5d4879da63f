#pragma once

namespace core
{
class Character;
class CombatView;
class Party;

// What the walking world asks of the game around it: the avatar to put in
// each scene entered and the party whose names stay published, whether a
// fight is on and what its view covers (the camera fits round it), and a
// word when the avatar has entered a scene. The session answers.
class WorldHost
{
public:
    virtual ~WorldHost() = default;

    virtual Character* getAvatar() const = 0;
    virtual Party* getCurrentParty() const = 0;
    virtual bool isFightOn() const = 0;
    // Never null.
    virtual const CombatView* getCombatView() const = 0;
    virtual void avatarEnteredScene(Character* avatar) = 0;
};
}

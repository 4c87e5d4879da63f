#pragma once

namespace tamsygraphics
{
class Camera;
}

namespace core
{
class Character;
class Party;
class LatestSave;
class Scene;

// What a fight asks of the game it is fought in: the scene and its map, the
// avatar and her party, the saves a lost fight may go back to, and the
// camera that clicks are read through. The session answers.
class CombatHost
{
public:
    virtual ~CombatHost() = default;

    virtual Scene* getCurrentScene() const = 0;
    virtual Character* getAvatar() const = 0;
    virtual Party* getCurrentParty() const = 0;
    // Null when the game keeps no saves (tests).
    virtual LatestSave* getSaveGames() const = 0;
    virtual tamsygraphics::Camera* getCamera() const = 0;
};
}

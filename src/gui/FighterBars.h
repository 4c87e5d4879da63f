#pragma once

#include <functional>
#include <map>

#include "world/Process.h"

namespace tamsygraphics
{
class Camera;
}

namespace core
{
class CombatManager;
class Character;
}

namespace gui
{
class StatBar;

// A hit-point bar above every fighter's head, and a thinner fatigue bar
// above that, while a fight lasts, kept on the fighter as it walks and the
// camera moves (hence a process: it runs every frame). The bars belong to the GUI manager and leave with the
// fighters and the fight.
class FighterBars : public core::Process
{
public:
    explicit FighterBars(const core::CombatManager* combat);
    ~FighterBars() override;

    void update(double seconds) override;
    // Puts and fills the bars as the fighters stand now under `camera`.
    void place(const tamsygraphics::Camera* camera);
    // Called when the combat display goes: no more bars to touch.
    void forget();
    // Told, each time the bars are placed, where the avatar stands on the
    // window (its x in the GUI's units, -1 left to 1 right).
    void onAvatarPlaced(std::function<void(float)> placed) { _avatarPlaced = std::move(placed); }
    // The hit-point bar over `fighter`, null when it has none (tests).
    StatBar* barOf(const core::Character* fighter) const;
    // The fatigue bar over that, null when it has none.
    StatBar* fatigueBarOf(const core::Character* fighter) const;

private:
    void placeOne(core::Character* fighter, const tamsygraphics::Camera& camera);
    void clear();

    const core::CombatManager* _combat;
    struct Bars
    {
        StatBar* hp = nullptr;
        StatBar* fatigue = nullptr;
    };
    static void destroy(Bars& bars);

    std::map<const core::Character*, Bars> _bars;
    std::function<void(float)> _avatarPlaced;
};
}

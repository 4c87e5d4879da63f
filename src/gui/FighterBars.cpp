#include "gui/FighterBars.h"

#include <list>
#include <set>

#include "combat/CombatHost.h"
#include "combat/CombatManager.h"
#include "data/Character.h"
#include "graphics/TGCamera.h"
#include "graphics/TGSprite.h"
#include "gui/StatBar.h"

namespace gui
{
using core::Character;
using core::CombatManager;

namespace
{
const float BAR_WIDTH = 28.0f / 320.0f;
const float BAR_HEIGHT = 4.0f / 240.0f;
// Between the top of the sprite and the bar, in world units (pixels).
const float BAR_LIFT = 4.0f;
const glm::vec3 HP_COLOUR(0.85f, 0.15f, 0.15f);
const float FATIGUE_HEIGHT = 3.0f / 240.0f;
// Between the hit-point bar and the fatigue bar above it.
const float FATIGUE_GAP = 1.0f / 240.0f;
const glm::vec3 FATIGUE_COLOUR(0.2f, 0.55f, 0.9f);

StatBar* makeBar(const glm::vec3& colour, float height)
{
    auto* bar = GUIElement::make<StatBar>(colour);
    bar->setWidth(BAR_WIDTH);
    bar->setHeight(height);
    return bar;
}
}

FighterBars::FighterBars(const CombatManager* combat) : _combat(combat)
{
}

FighterBars::~FighterBars()
{
    clear();
}

void FighterBars::forget()
{
    _combat = nullptr;
    _avatarPlaced = nullptr;
    clear();
}

StatBar* FighterBars::barOf(const Character* fighter) const
{
    auto found = _bars.find(fighter);
    return found == _bars.end() ? nullptr : found->second.hp;
}

StatBar* FighterBars::fatigueBarOf(const Character* fighter) const
{
    auto found = _bars.find(fighter);
    return found == _bars.end() ? nullptr : found->second.fatigue;
}

void FighterBars::destroy(Bars& bars)
{
    bars.hp->destroy();
    bars.fatigue->destroy();
}

void FighterBars::update(double)
{
    const core::CombatHost* session = _combat ? _combat->getSession() : nullptr;
    place(session ? session->getCamera() : nullptr);
}

void FighterBars::clear()
{
    for (auto& entry : _bars)
        destroy(entry.second);
    _bars.clear();
}

void FighterBars::place(const tamsygraphics::Camera* camera)
{
    // Out of a fight no bar is kept: the next fight has fighters of its own.
    if (!_combat || !_combat->isInCombat() || !camera)
    {
        clear();
        return;
    }
    std::list<Character*> fighters = _combat->getParty();
    if (const std::list<Character*>* enemies = _combat->getEnemies())
        fighters.insert(fighters.end(), enemies->begin(), enemies->end());
    std::set<const Character*> standing;
    for (Character* fighter : fighters)
    {
        if (!fighter)
            continue;
        standing.insert(fighter);
        placeOne(fighter, *camera);
    }
    const core::CombatHost* host = _combat->getSession();
    const Character* avatar = host ? host->getAvatar() : nullptr;
    if (_avatarPlaced && avatar && avatar->getSprite())
    {
        const glm::vec2 at = avatar->getSprite()->GetCoords();
        _avatarPlaced(camera->WorldToScreenSpace(glm::vec3(at.x, at.y, 0.0f)).x);
    }
    // The fallen and the defeated lose their bars.
    for (auto it = _bars.begin(); it != _bars.end();)
    {
        if (standing.count(it->first))
        {
            ++it;
            continue;
        }
        destroy(it->second);
        it = _bars.erase(it);
    }
}

void FighterBars::placeOne(Character* fighter, const tamsygraphics::Camera& camera)
{
    const tamsygraphics::Sprite* sprite = fighter->getSprite();
    Bars& bars = _bars[fighter];
    if (!bars.hp)
    {
        bars.hp = makeBar(HP_COLOUR, BAR_HEIGHT);
        bars.fatigue = makeBar(FATIGUE_COLOUR, FATIGUE_HEIGHT);
    }
    if (!sprite)
    {
        bars.hp->hide();
        bars.fatigue->hide();
        return;
    }
    const glm::vec2 centre = sprite->GetCoords();
    const float top = centre.y + sprite->GetScale()[1][1] / 2.0f + BAR_LIFT;
    const glm::vec2 at = camera.WorldToScreenSpace(glm::vec3(centre.x, top, 0.0f));
    bars.hp->setPosition(at.x, at.y);
    bars.hp->setValue(fighter->getHP(false), fighter->getHP(true));
    bars.fatigue->setPosition(at.x, at.y + BAR_HEIGHT / 2.0f + FATIGUE_GAP + FATIGUE_HEIGHT / 2.0f);
    bars.fatigue->setValue(fighter->getFatigue(false), fighter->getFatigue(true));
    for (StatBar* bar : {bars.hp, bars.fatigue})
        if (bar->isHidden())
            bar->show();
}
}

#include "combat/FighterBars.h"

#include <list>
#include <set>

#include "combat/CombatManager.h"
#include "data/Character.h"
#include "graphics/TGCamera.h"
#include "graphics/TGSprite.h"
#include "gui/StatBar.h"
#include "session/Session.h"

namespace core
{
namespace
{
const float BAR_WIDTH = 28.0f / 320.0f;
const float BAR_HEIGHT = 4.0f / 240.0f;
// Between the top of the sprite and the bar, in world units (pixels).
const float BAR_LIFT = 4.0f;
const glm::vec3 HP_COLOUR(0.85f, 0.15f, 0.15f);
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
    clear();
}

gui::StatBar* FighterBars::barOf(const Character* fighter) const
{
    auto found = _bars.find(fighter);
    return found == _bars.end() ? nullptr : found->second;
}

void FighterBars::update(double)
{
    const Session* session = _combat ? _combat->getSession() : nullptr;
    place(session ? session->getCamera() : nullptr);
}

void FighterBars::clear()
{
    for (auto& entry : _bars)
        entry.second->destroy();
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
    // The fallen and the defeated lose their bars.
    for (auto it = _bars.begin(); it != _bars.end();)
    {
        if (standing.count(it->first))
        {
            ++it;
            continue;
        }
        it->second->destroy();
        it = _bars.erase(it);
    }
}

void FighterBars::placeOne(Character* fighter, const tamsygraphics::Camera& camera)
{
    const tamsygraphics::Sprite* sprite = fighter->getSprite();
    gui::StatBar*& bar = _bars[fighter];
    if (!bar)
    {
        bar = new gui::StatBar(HP_COLOUR);
        bar->setWidth(BAR_WIDTH);
        bar->setHeight(BAR_HEIGHT);
    }
    if (!sprite)
    {
        bar->hide();
        return;
    }
    const glm::vec2 centre = sprite->GetCoords();
    const float top = centre.y + sprite->GetScale()[1][1] / 2.0f + BAR_LIFT;
    const glm::vec2 at = camera.WorldToScreenSpace(glm::vec3(centre.x, top, 0.0f));
    bar->setPosition(at.x, at.y);
    bar->setValue(fighter->getHP(false), fighter->getHP(true));
    if (bar->isHidden())
        bar->show();
}
}

#include "gui/CombatDisplay.h"

#include <memory>

#include "gui/FighterBars.h"
#include "gui/CombatMenu.h"
#include "gui/GUITextBox.h"
#include "world/ProcessManager2.h"

namespace gui
{
namespace
{
// The result box is written in from its edges like every other box.
const float RESULT_PADDING = 0.05f;
// Heights in the GUI's units, where the window is 2 high.
const float RESULT_HEIGHT = 0.25f;
const float MENU_HEIGHT = 0.5f;
// The turn list stands along the right edge (the left one while the avatar
// is on the right half), between the result box at the top and the menu
// along the bottom.
const float TURN_LIST_X = 0.75f;
const float TURN_LIST_Y = 0.25f;
const float TURN_LIST_WIDTH = 0.5f;
const float TURN_LIST_HEIGHT = 0.5f;
}

CombatDisplay::CombatDisplay(core::CombatManager* combatManager)
    : _combatMenu(GUIElement::make<CombatMenu>("COMBAT", combatManager)), _textDisplay(GUIElement::make<GUITextBox>("")),
      _turnList(GUIElement::make<GUITextBox>("")),
      _fighterBars(nullptr)
{
    auto bars = std::make_unique<FighterBars>(combatManager);
    _fighterBars = bars.get();
    // The camera keeps to the map's edges, so the avatar may stand anywhere
    // on the window: the turn list stays on the other half.
    bars->onAvatarPlaced([this](float x) { keepTurnListClearOf(x); });
    core::ProcessManager2::getProcessManager2()->addProcess(std::move(bars));
    _combatMenu->setHeight(MENU_HEIGHT);
    _combatMenu->hide();
    _textDisplay->setWordWrap(true);
    _textDisplay->setPadding(RESULT_PADDING);
    _textDisplay->setPosition(0.0f, 1.0f - RESULT_HEIGHT / 2.0f);
    _textDisplay->setWidth(2.0f);
    _textDisplay->setHeight(RESULT_HEIGHT);
    // A blow and its consequences can run to several lines.
    _textDisplay->setGrowToFit(true);
    _textDisplay->hide();
    placeTurnList();
}

CombatDisplay::~CombatDisplay()
{
    _fighterBars->forget();
    _fighterBars->kill();
    _combatMenu->destroy();
    _textDisplay->destroy();
    _turnList->destroy();
}

void CombatDisplay::useForEveryFight()
{
    core::CombatView::setMaker([](core::CombatManager* combat) { return std::make_unique<CombatDisplay>(combat); });
}

float CombatDisplay::coveredTopShare() const
{
    return RESULT_HEIGHT / 2.0f;
}

float CombatDisplay::coveredBottomShare() const
{
    return MENU_HEIGHT / 2.0f;
}

void CombatDisplay::showMenu()
{
    _combatMenu->show();
}

void CombatDisplay::hide()
{
    _combatMenu->hide();
    _textDisplay->hide();
    placeTurnList();
}

void CombatDisplay::keepTurnListClearOf(float avatarX)
{
    const bool onTheLeft = avatarX > 0.0f;
    if (onTheLeft == _turnListOnTheLeft)
        return;
    _turnListOnTheLeft = onTheLeft;
    _turnList->setPosition(onTheLeft ? -TURN_LIST_X : TURN_LIST_X, _turnList->getPosition().y);
}

void CombatDisplay::placeTurnList()
{
    // Back to its first size: the last fight's list may have grown it.
    _turnList->setPadding(RESULT_PADDING);
    _turnList->setPosition(_turnListOnTheLeft ? -TURN_LIST_X : TURN_LIST_X, TURN_LIST_Y);
    _turnList->setWidth(TURN_LIST_WIDTH);
    _turnList->setHeight(TURN_LIST_HEIGHT);
    _turnList->setGrowToFit(true);
    _turnList->hide();
}

void CombatDisplay::setMenu(const std::string& title, const std::vector<std::string>& options)
{
    _combatMenu->update(options, title);
}

void CombatDisplay::showResults(const std::string& text)
{
    // Lines are gathered with their newlines; a last empty line would only
    // grow the box.
    std::string shown = text;
    while (!shown.empty() && shown.back() == '\n')
        shown.pop_back();
    _textDisplay->show();
    _textDisplay->setText(shown);
}

void CombatDisplay::addResultLine(const std::string& line)
{
    const std::string& before = _textDisplay->getText();
    showResults(before.empty() || _textDisplay->isHidden() ? line : before + "\n" + line);
}

void CombatDisplay::showTurnList(const std::vector<std::string>& lines)
{
    std::string text = "Turn order";
    for (const std::string& line : lines)
        text += "\n" + line;
    _turnList->setText(text);
    _turnList->show();
}
}

#include "combat/CombatDisplay.h"

#include "combat/FighterBars.h"
#include "gui/CombatMenu.h"
#include "gui/GUITextBox.h"
#include "world/ProcessManager2.h"

namespace core
{
namespace
{
// The result box is written in from its edges like every other box.
const float RESULT_PADDING = 0.05f;
}

CombatDisplay::CombatDisplay(CombatManager* combatManager)
    : _combatMenu(new gui::CombatMenu("COMBAT", combatManager)), _textDisplay(new gui::GUITextBox("")),
      _fighterBars(new FighterBars(combatManager))
{
    ProcessManager2::getProcessManager2()->addProcess(_fighterBars);
    _combatMenu->setHeight(0.5f);
    _combatMenu->hide();
    _textDisplay->setWordWrap(true);
    _textDisplay->setPadding(RESULT_PADDING);
    _textDisplay->setPosition(0.0f, 0.875f);
    _textDisplay->setWidth(2.0f);
    _textDisplay->setHeight(0.25f);
    // A blow and its consequences can run to several lines.
    _textDisplay->setGrowToFit(true);
    _textDisplay->hide();
}

CombatDisplay::~CombatDisplay()
{
    _fighterBars->forget();
    _fighterBars->kill();
    _combatMenu->destroy();
    _textDisplay->destroy();
}

void CombatDisplay::showMenu()
{
    _combatMenu->show();
}

void CombatDisplay::hide()
{
    _combatMenu->hide();
    _textDisplay->hide();
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
}

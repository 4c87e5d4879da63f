#include "gui/CombatMenu.h"

#include "combat/CombatManager.h"
#include "gui/GUIListViewEntry.h"
#include "gui/OptionLabels.h"

namespace gui
{
namespace
{
const float PADDING = 0.05f;
}

CombatMenu::CombatMenu(const std::string& title, core::CombatManager* combatManager)
    : GUIMenu(title), _combatManager(combatManager)
{
    attachToBottom();
    setPadding(PADDING);
    setEntryPadding(PADDING);
    invalidate();
}

void CombatMenu::update(const std::vector<std::string>& options, const std::string& title)
{
    std::vector<std::string> labels;
    for (const std::string& option : options)
        labels.push_back(OptionLabels::label(option, title));
    setTitle(OptionLabels::title(title));
    updateKeyed(options, labels);
}

void CombatMenu::onMouseUp(int button, double x, double y)
{
    GUIMenu::onMouseUp(button, x, y);
    if (_entries.empty())
        return;
    GUIListViewEntry* entry = getEntryAtCoordinates(static_cast<float>(x), static_cast<float>(y));
    if (entry && _combatManager)
        _combatManager->combatMenuClick(entry->getKey());
}
}

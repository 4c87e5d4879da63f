#include "gui/QuestMenu.h"

#include "session/QuestManager.h"

namespace gui
{
QuestMenu::QuestMenu(const std::string& title, core::QuestManager* questManager)
    : PanelMenu(title), _questManager(questManager)
{
}

std::vector<std::string> QuestMenu::logLines(const core::QuestManager& questManager)
{
    std::vector<std::string> lines;
    for (const core::QuestManager::Entry& entry : questManager.getEntries())
        lines.push_back(entry.state == core::QuestManager::FINISHED ? "Done: " + entry.title : entry.title);
    return lines;
}

void QuestMenu::refresh()
{
    const std::vector<std::string> lines = _questManager ? logLines(*_questManager) : std::vector<std::string>();
    update(lines, lines.empty() ? "Quests (none yet)" : "Quests");
}
}

#pragma once

#include <string>
#include <vector>

#include "gui/PanelMenu.h"

namespace core
{
class QuestManager;
}

namespace gui
{
// The quest log: every quest begun, in the order it began, marked when done.
class QuestMenu : public PanelMenu
{
public:
    QuestMenu(const std::string& title, core::QuestManager* questManager);

    void refresh() override;

    // The log's lines as the menu shows them.
    static std::vector<std::string> logLines(const core::QuestManager& questManager);

private:
    core::QuestManager* _questManager;
};
}

#pragma once

#include <string>
#include <vector>

#include "gui/PanelMenu.h"

namespace core
{
class SaveGameManager;
}

namespace gui
{
// The slots of saved games, each with its scene, play time and the time it
// was saved. In the "Save" menu a click writes the game into the slot; in
// the "Load" menu a click puts the game back as the slot holds it and closes
// the menu.
class SaveMenu : public PanelMenu
{
public:
    enum Mode
    {
        SAVE,
        LOAD
    };

    SaveMenu(const std::string& title, Mode mode, core::SaveGameManager* saves);

    void onMouseUp(int button, double x, double y) override;
    void show() override;
    void refresh() override;

    // The slot behind each line, in display order.
    const std::vector<std::string>& getSlots() const { return _slots; }
    // Acts on one slot as a click on its line does.
    void choose(const std::string& slot);

private:
    Mode _mode;
    core::SaveGameManager* _saves;
    std::vector<std::string> _slots;
    std::string _status;
};
}

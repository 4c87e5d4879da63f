#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/GUIMenu.h"

namespace gui
{
class GUITextBox;

// A menu in the middle of the window whose entries each do one thing: the
// title screen, the pause menu, the settings. An entry that cannot be taken
// now is greyed and does nothing. A note may stand under the entries.
// Escape and X (back) do what their handlers say; without a handler the
// menu cannot be left that way.
class ChoiceMenu : public GUIMenu
{
public:
    explicit ChoiceMenu(const std::string& title);
    ~ChoiceMenu() override;

    void addChoice(const std::string& text, std::function<void()> action);
    void setChoiceText(int index, const std::string& text);
    void setEnabled(int index, bool enabled);
    bool isEnabled(int index) const;
    // Runs the entry's action, as a click on it does; false for an index out
    // of range or a greyed entry.
    bool choose(int index);
    // The index of the entry with this text; -1 when none has it.
    int indexOf(const std::string& text) const;

    void setNote(const std::string& note);
    GUITextBox* getNote() const { return _note; }
    void setOnEscape(std::function<void()> onEscape) { _onEscape = std::move(onEscape); }
    void setOnBack(std::function<void()> onBack) { _onBack = std::move(onBack); }

    void onMouseUp(int button, double x, double y) override;
    bool backOut(bool byEscape) override;
    void show() override;
    void hide() override;
    void invalidate() override;

private:
    void fitToEntries();
    void greyEntry(int index);

    std::vector<std::function<void()>> _actions;
    std::vector<bool> _enabled;
    GUITextBox* _note;
    std::function<void()> _onEscape;
    std::function<void()> _onBack;
};
}

#pragma once

#include <string>
#include <vector>

#include "dialog/DialogView.h"

namespace gui
{
class DialogMenu;

// Conversations shown in the dialog menu along the bottom of the window.
class DialogBand : public core::DialogView
{
public:
    // The menu hands the options clicked to `dialogs`.
    explicit DialogBand(core::DialogManager* dialogs);
    ~DialogBand() override;
    DialogBand(const DialogBand&) = delete;
    DialogBand& operator=(const DialogBand&) = delete;

    // Every conversation from now on is shown in one of these.
    static void useForEveryConversation();

    void open(const std::string& title) override;
    void showFace(const std::string& texture, const glm::ivec4& pixels) override;
    void hideFace() override;
    void say(const std::string& text, const std::vector<std::string>& options) override;
    void close() override;
    void clearText() override;

    DialogMenu* menu() const { return _menu; }

private:
    // Created here, owned by the GUI manager; destroyed through it.
    DialogMenu* _menu;
};
}

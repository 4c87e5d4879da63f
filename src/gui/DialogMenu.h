#pragma once

#include <string>
#include <vector>

#include "gui/GUIMenu.h"

namespace core
{
class DialogManager;
}

namespace tamsygraphics
{
class Text;
}

namespace gui
{
// The dialog band along the bottom of the window. It pages through the
// speaker's text 105 characters a click, then offers the options; a click
// on an option tells the dialog manager which one was chosen.
class DialogMenu : public GUIMenu
{
public:
    DialogMenu(core::DialogManager* dialogManager, const std::string& title, const std::string& text);
    DialogMenu(core::DialogManager* dialogManager, const std::string& title, const std::string& text,
               const std::vector<std::string>& options);
    ~DialogMenu() override;

    void init(core::DialogManager* dialogManager, const std::string& text, const std::vector<std::string>& options);
    void reset(const std::string& text, const std::vector<std::string>& options);
    void reset(const std::string& text);
    void displayNext();

    void onMouseUp(int button, double x, double y) override;
    void invalidate() override;
    void hide() override;
    virtual void putTextInUpperLeft();

    // The speaker's face at the band's left while the text is read: a part
    // of a texture in its pixels (x, y, width, height; a zero size is the
    // whole picture). clearFace() gives the text the whole band again.
    void setFace(const std::string& texture, const glm::ivec4& pixels);
    void clearFace();
    GUIElement* getFace() const { return _face; }
    bool hasFace() const { return _hasFace; }

    bool isShowingText() const { return _showingText; }
    // Enter turns the page as a click does.
    bool takenWhole() const override { return _showingText; }
    // The page of text on show (empty once the options are up).
    const std::string& getPage() const { return _page; }
    tamsygraphics::Text* getGraphicsText() const { return _text; }

protected:
    void raise() override;

private:
    void showPageText(bool shown);
    void placeFace();

    core::DialogManager* _dialogManager;
    std::string _dialogText;
    tamsygraphics::Text* _text;
    bool _showingText;
    int _characterLimit;
    int _nextTextSectionNumber;
    std::string _page;
    // Created here, owned by the GUI manager; destroyed through it.
    GUIElement* _face = nullptr;
    bool _hasFace = false;
};
}

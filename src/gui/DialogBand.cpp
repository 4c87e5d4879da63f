#include "gui/DialogBand.h"

#include <memory>

#include "gui/DialogMenu.h"

namespace gui
{
DialogBand::DialogBand(core::DialogManager* dialogs) : _menu(GUIElement::make<DialogMenu>(dialogs, "", ""))
{
    _menu->hide();
}

DialogBand::~DialogBand()
{
    _menu->destroy();
}

void DialogBand::useForEveryConversation()
{
    core::DialogView::setMaker([](core::DialogManager* dialogs) { return std::make_unique<DialogBand>(dialogs); });
}

void DialogBand::open(const std::string& title)
{
    _menu->show();
    _menu->setTitle(title);
}

void DialogBand::showFace(const std::string& texture, const glm::ivec4& pixels)
{
    _menu->setFace(texture, pixels);
}

void DialogBand::hideFace()
{
    _menu->clearFace();
}

void DialogBand::say(const std::string& text, const std::vector<std::string>& options)
{
    _menu->reset(text, options);
}

void DialogBand::close()
{
    _menu->hide();
}

void DialogBand::clearText()
{
    _menu->reset("");
}
}

#include "dialog/DialogView.h"

namespace core
{
namespace
{
// A conversation with nobody to show it to: its nodes, scripts and flags
// run on unseen.
class UnseenDialogView : public DialogView
{
public:
    void open(const std::string&) override {}
    void showFace(const std::string&, const glm::ivec4&) override {}
    void hideFace() override {}
    void say(const std::string&, const std::vector<std::string>&) override {}
    void close() override {}
    void clearText() override {}
};

DialogView::Maker& maker()
{
    static DialogView::Maker made;
    return made;
}
}

void DialogView::setMaker(Maker made)
{
    maker() = std::move(made);
}

std::unique_ptr<DialogView> DialogView::make(DialogManager* dialogs)
{
    std::unique_ptr<DialogView> view = maker() ? maker()(dialogs) : nullptr;
    if (!view)
        view = std::make_unique<UnseenDialogView>();
    return view;
}
}

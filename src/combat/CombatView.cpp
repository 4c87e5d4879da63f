#include "combat/CombatView.h"

namespace core
{
namespace
{
// A fight with nobody to show it to: the rules play on unseen.
class UnseenCombatView : public CombatView
{
public:
    void showMenu() override {}
    void hide() override {}
    void setMenu(const std::string&, const std::vector<std::string>&) override {}
    void showResults(const std::string&) override {}
    void addResultLine(const std::string&) override {}
    void showTurnList(const std::vector<std::string>&) override {}
    float coveredTopShare() const override { return 0.0f; }
    float coveredBottomShare() const override { return 0.0f; }
};

CombatView::Maker& maker()
{
    static CombatView::Maker made;
    return made;
}
}

void CombatView::setMaker(Maker made)
{
    maker() = std::move(made);
}

std::unique_ptr<CombatView> CombatView::make(CombatManager* combat)
{
    std::unique_ptr<CombatView> view = maker() ? maker()(combat) : nullptr;
    if (!view)
        view = std::make_unique<UnseenCombatView>();
    return view;
}
}

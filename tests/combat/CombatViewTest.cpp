#include "combat/CombatView.h"

#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "combat/CombatManager.h"

namespace
{
// Records what a fight asked to show.
class RecordingView : public core::CombatView
{
public:
    explicit RecordingView(std::vector<std::string>* said) : _said(said) {}
    void showMenu() override { _said->push_back("menu"); }
    void hide() override { _said->push_back("hide"); }
    void setMenu(const std::string& title, const std::vector<std::string>&) override { _said->push_back(title); }
    void showResults(const std::string& text) override { _said->push_back(text); }
    void addResultLine(const std::string& line) override { _said->push_back(line); }
    void showTurnList(const std::vector<std::string>&) override { _said->push_back("turns"); }
    float coveredTopShare() const override { return 0.1f; }
    float coveredBottomShare() const override { return 0.2f; }

private:
    std::vector<std::string>* _said;
};
}

TEST(CombatView, AFightShowsThroughTheViewItIsGivenOrThroughNoneAtAll)
{
    // Nobody has said how fights are shown: the fight plays unseen.
    core::CombatView::setMaker(nullptr);
    {
        core::CombatManager unseen(nullptr);
        ASSERT_NE(unseen.getView(), nullptr);
        EXPECT_EQ(unseen.getView()->coveredBottomShare(), 0.0f) << "nothing covers the map";
        std::list<core::Character*> nobody;
        unseen.enterCombat(&nobody, "");
        EXPECT_TRUE(unseen.isInCombat());
    }

    // A maker that gives nothing is the same as none.
    core::CombatView::setMaker([](core::CombatManager*) { return std::unique_ptr<core::CombatView>(); });
    EXPECT_NE(core::CombatView::make(nullptr), nullptr);

    std::vector<std::string> said;
    core::CombatView::setMaker(
        [&said](core::CombatManager*) { return std::make_unique<RecordingView>(&said); });
    {
        core::CombatManager shown(nullptr);
        EXPECT_FLOAT_EQ(shown.getView()->coveredTopShare(), 0.1f);
        std::list<core::Character*> nobody;
        shown.enterCombat(&nobody, "");
        ASSERT_FALSE(said.empty());
        EXPECT_EQ(said.front(), "menu") << "entering a fight shows its menu first";
    }
    core::CombatView::setMaker(nullptr);
}

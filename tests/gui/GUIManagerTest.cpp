#include <functional>

#include "GuiTestSupport.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGText.h"
#include "gui/GUIElement.h"
#include "gui/GUITextBox.h"

using guitest::HeadlessGui;

namespace
{
// A widget that counts what it receives and can run an action from a handler.
class Probe : public gui::GUIElement
{
public:
    Probe(float x, float y, float size, int* deletions = nullptr) : _deletions(deletions)
    {
        setPosition(x, y);
        setWidth(size);
        setHeight(size);
    }
    ~Probe() override
    {
        if (_deletions)
            ++*_deletions;
    }
    void onMouseDown(int button, double x, double y) override
    {
        GUIElement::onMouseDown(button, x, y);
        ++downs;
        if (onDown)
            onDown();
    }
    void onMouseUp(int button, double x, double y) override
    {
        GUIElement::onMouseUp(button, x, y);
        ++ups;
        if (onUp)
            onUp();
    }
    int downs = 0;
    int ups = 0;
    std::function<void()> onDown;
    std::function<void()> onUp;

private:
    int* _deletions;
};

bool isLive(const gui::GUIElement* element)
{
    for (const gui::GUIElement* live : gui::GUIManager::getElements())
        if (live == element)
            return true;
    return false;
}
}

class GUIManagerTest : public HeadlessGui
{
};

TEST_F(GUIManagerTest, AWidgetDestroyedInItsHandlerGoesAfterTheDeliveryAndOthersStillReceiveIt)
{
    int deletions = 0;
    Probe* first = gui::GUIElement::make<Probe>(0, 0, 0.5f, &deletions);
    Probe* second = gui::GUIElement::make<Probe>(0, 0, 0.5f);
    first->onUp = [first, &deletions]
    {
        first->destroy();
        EXPECT_EQ(deletions, 0) << "not while the event is being delivered";
    };
    guitest::HeadlessGui::click(0, 0);
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(second->ups, 1) << "the widget after it in the list still gets the release";
    EXPECT_FALSE(isLive(first));
    EXPECT_TRUE(isLive(second));
}

TEST_F(GUIManagerTest, AWidgetMadeInAHandlerMissesTheEventThatMadeIt)
{
    Probe* opener = gui::GUIElement::make<Probe>(0, 0, 0.5f);
    Probe* made = nullptr;
    opener->onDown = [&made]
    {
        if (!made)
            made = gui::GUIElement::make<Probe>(0, 0, 0.5f);
    };
    press(0, 0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->downs, 0);
    EXPECT_TRUE(isLive(made)) << "it joins once the delivery is over";
    press(0, 0);
    EXPECT_EQ(made->downs, 1);
}

TEST_F(GUIManagerTest, DoubleDestroysAndWidgetsMadeAndDestroyedInOneDeliveryAreHandledOnce)
{
    int deletions = 0;
    Probe* probe = gui::GUIElement::make<Probe>(0, 0, 0.5f, &deletions);
    Probe* brief = nullptr;
    probe->onDown = [&]
    {
        probe->destroy();
        probe->destroy();
        brief = gui::GUIElement::make<Probe>(0, 0, 0.5f, &deletions);
        brief->destroy();
    };
    press(0, 0);
    EXPECT_EQ(deletions, 2) << "each deleted exactly once";
    EXPECT_TRUE(gui::GUIManager::getElements().empty());
}

TEST_F(GUIManagerTest, OverlappingWidgetsBothReceiveAPressInTheirCommonArea)
{
    Probe* left = gui::GUIElement::make<Probe>(-0.1f, 0, 0.4f);
    Probe* right = gui::GUIElement::make<Probe>(0.1f, 0, 0.4f);
    press(0, 0);
    EXPECT_EQ(left->downs, 1);
    EXPECT_EQ(right->downs, 1);
    press(0.25f, 0);
    EXPECT_EQ(left->downs, 1) << "outside the left one";
    EXPECT_EQ(right->downs, 2);
}

TEST_F(GUIManagerTest, LeavingAPressedWidgetCancelsThePressWithoutARelease)
{
    Probe* probe = gui::GUIElement::make<Probe>(0, 0, 0.4f);
    hover(0, 0);
    press(0, 0);
    EXPECT_TRUE(probe->isMouseDown());
    EXPECT_TRUE(probe->isHovered());
    hover(0.9f, 0.9f);
    EXPECT_FALSE(probe->isMouseDown()) << "the hover exit clears the press";
    EXPECT_FALSE(probe->isHovered());
    release(0.9f, 0.9f);
    release(0, 0);
    EXPECT_EQ(probe->ups, 0) << "a release only reaches a widget that still holds the press";
}

TEST_F(GUIManagerTest, RectanglesAndTextsAreNumberedSeparatelyFromZero)
{
    gui::GUIElement* plain = gui::GUIElement::make<gui::GUIElement>();
    gui::GUITextBox* box = gui::GUIElement::make<gui::GUITextBox>("hi");
    EXPECT_EQ(plain->getRectangle()->getId(), "rectangle0");
    EXPECT_EQ(box->getRectangle()->getId(), "rectangle1");
    EXPECT_EQ(box->getGraphicsText()->getId(), "text0");
}

TEST_F(GUIManagerTest, DefaultsAndTheBottomBandAndFullScreenGeometry)
{
    gui::GUIElement* widget = gui::GUIElement::make<gui::GUIElement>();
    EXPECT_EQ(widget->getBackgroundColor(), glm::vec4(0.25f, 0.25f, 0.25f, 0.75f));
    EXPECT_FALSE(widget->isMouseDown());
    EXPECT_FALSE(widget->isHovered());
    EXPECT_EQ(widget->getPaddingTop() + widget->getPaddingLeft(), 0.0f);

    widget->attachToBottom();
    EXPECT_EQ(widget->getRectangle()->getWidthInPixels(), 640);
    EXPECT_EQ(widget->getRectangle()->getHeightInPixels(), 120);
    EXPECT_EQ(widget->getPosition(), glm::vec2(0.0f, -0.75f));
    EXPECT_TRUE(widget->insideBounds(-1.0f, -1.0f)) << "edges included";
    EXPECT_FALSE(widget->insideBounds(0.0f, -0.49f));

    widget->fullScreen();
    EXPECT_EQ(widget->getRectangle()->getHeightInPixels(), 480);
    EXPECT_TRUE(widget->insideBounds(0.99f, 0.99f));
    widget->hide();
    EXPECT_FALSE(widget->insideBounds(0, 0)) << "a hidden widget is never hit";
}

TEST_F(GUIManagerTest, OnlyShownWidgetsCountAsUnderThePointer)
{
    gui::GUIElement* band = gui::GUIElement::make<gui::GUIElement>();
    band->attachToBottom();
    EXPECT_TRUE(gui::GUIManager::isOverShownWidget(0.0f, -0.8f));
    EXPECT_FALSE(gui::GUIManager::isOverShownWidget(0.0f, 0.2f));
    band->hide();
    EXPECT_FALSE(gui::GUIManager::isOverShownWidget(0.0f, -0.8f));
}

TEST_F(GUIManagerTest, ShowingAWidgetRaisesItAboveEverythingShownBefore)
{
    gui::GUITextBox* older = gui::GUIElement::make<gui::GUITextBox>("older");
    gui::GUITextBox* newer = gui::GUIElement::make<gui::GUITextBox>("newer");
    EXPECT_LT(older->getLayer(), newer->getLayer());
    older->show();
    EXPECT_GT(older->getLayer(), newer->getLayer()) << "reopened, it comes to the top";
    EXPECT_EQ(older->getGraphicsText()->getLayer(), older->getRectangle()->getLayer())
        << "its text moves with its background";
}

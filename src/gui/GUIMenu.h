#pragma once

#include <string>
#include <vector>

#include "gui/GUIListView.h"

namespace tamsygraphics
{
class Text;
}

namespace gui
{
// A list view with a title written along its top edge.
class GUIMenu : public GUIListView
{
public:
    explicit GUIMenu(const std::string& title);
    ~GUIMenu() override;

    using GUIListView::update;
    virtual void update(const std::vector<std::string>& entries, const std::string& title);
    virtual std::string getTitle() const;
    virtual void setTitle(const std::string& title);
    virtual void putTitleAboveRectangle();

    void hide() override;
    void show() override;
    void invalidate() override;

    // Top padding that leaves room for a title written inside a menu as
    // tall as the window.
    static constexpr float TITLE_BAND = 0.1f;

    tamsygraphics::Text* getGraphicsTitle() const { return _title; }
    // The texts of the entries, in order.
    std::vector<std::string> getEntryTexts() const;
    // What the entries stand for (their ids), in order.
    std::vector<std::string> getEntryKeys() const;

protected:
    void raise() override;

    tamsygraphics::Text* _title;
    std::string _titleText;
};
}

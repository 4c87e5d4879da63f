#pragma once

#include <string>
#include <vector>

#include "gui/GUIElement.h"

namespace gui
{
class GUIListViewEntry;
class GUITextBox;

// A vertical list of clickable entries. When there are more entries than fit,
// up ("^") and down (">") buttons on the right scroll it one entry a click.
// The list owns its entries and buttons and retires them with itself.
class GUIListView : public GUIElement
{
public:
    GUIListView();
    ~GUIListView() override;

    void hide() override;
    void show() override;
    void onMouseDown(int button, double x, double y) override;
    void onMouseUp(int button, double x, double y) override;
    void invalidate() override;

    virtual void addEntry(GUIListViewEntry* entry);
    virtual void addEntry(const std::string& text);
    // Inserts before index (the size appends); an index out of range is
    // logged and changes nothing.
    virtual void insertEntry(int index, GUIListViewEntry* entry);
    // Null, with a log line, for an index out of range.
    virtual GUIListViewEntry* getEntry(int index);
    virtual std::vector<GUIListViewEntry*>& getEntries();
    virtual void deleteEntry(int index);
    virtual void deleteEntries();
    // Gives the entries these texts, reusing entry objects where it can.
    virtual void update(const std::vector<std::string>& texts);
    // Entries showing `labels` that stand for `keys`; a label missing at
    // the end shows the key itself.
    void updateKeyed(const std::vector<std::string>& keys, const std::vector<std::string>& labels);
    virtual int getEntryIndexAtCoordinates(float x, float y);
    virtual GUIListViewEntry* getEntryAtCoordinates(float x, float y);
    virtual void setEntryPadding(float padding);
    virtual void hideEntries();
    virtual void showEntries();
    int size() const;

    // Keyboard handling (MenuKeys): whether its entries take the focus (a
    // sheet of figures does not), whether it keeps W/A/S/D, Z and X for the
    // game (a fight's band, whose map takes those keys), and leaving it by
    // Escape (byEscape) or X: true when it was left.
    virtual bool takesFocus() const { return true; }
    virtual bool keepsLetters() const { return false; }
    // A list with no entries on show that is taken as a whole (a dialog's
    // page of text, turned by a click anywhere on it).
    virtual bool takenWhole() const { return false; }
    virtual bool backOut(bool byEscape);

    // Scrolls by whole entries, as the scroll buttons do, never past either
    // end; false when it could not move.
    bool scrollBy(int entries);

    void setNumEntriesToDisplay(int count);
    // Keeps every entry one slot high even when few entries are shown, so a
    // short list fills from the top instead of stretching its entries.
    void setFixedSlots(bool fixed);
    int getNumEntriesToDisplay() const { return _numEntriesToDisplay; }
    int getFirstEntryToDisplay() const { return _firstEntryToDisplay; }
    GUITextBox* getUpScrollButton() const { return _upScrollButton; }
    GUITextBox* getDownScrollButton() const { return _downScrollButton; }

protected:
    bool validIndex(int index, const char* operation) const;
    // Places and shows the scroll buttons (or hides them) for this layout.
    void layOutScrollButtons(bool scrolling, float buttonWidth, float contentHeight);
    // Puts one entry in its slot, shown unless the list hides its entries.
    void placeEntry(GUIListViewEntry* entry, float x, float y, float width, float height);

    std::vector<GUIListViewEntry*> _entries;
    GUITextBox* _upScrollButton;
    GUITextBox* _downScrollButton;
    int _numEntriesToDisplay;
    int _firstEntryToDisplay;
    bool _hideEntries;
    float _entryPadding;
    bool _fixedSlots;
};
}

#include "gui/PartyMenu.h"

#include "data/Character.h"
#include "data/Party.h"
#include "gui/CharacterMenu.h"
#include "gui/GUIListViewEntry.h"
#include "gui/GUITextBox.h"

namespace gui
{
namespace
{
const float PADDING = 0.05f;
const float LIST_SHARE = 0.3f;
const float LIST_CENTRE_OFFSET = 0.7f;
const int MEMBER_SLOTS = 4;
}

PartyMenu::PartyMenu(const std::string& title, core::Party* party)
    : GUIMenu(title), _party(party), _previewBox(nullptr), _closeButton(nullptr)
{
    _upScrollButton->hide();
    _downScrollButton->hide();
    _closeButton = new GUITextBox("Close");
    _closeButton->setPadding(PADDING);
    _closeButton->setWidth(0.25f);
    _closeButton->setHeight(0.125f);
    _closeButton->setPosition(-0.875f, -0.6375f);
    const std::vector<std::string> keys = memberKeys();
    for (const std::string& key : keys)
        addEntry(key);
    if (!keys.empty())
        createSheetFor(keys.front());
    fullScreen();
    setPadding(PADDING);
    // The title is written inside the top edge of a full-screen menu.
    setPaddingTop(TITLE_BAND);
    setPaddingBottom(TITLE_BAND);
    setEntryPadding(PADDING);
    hide();
    invalidate();
}

PartyMenu::~PartyMenu()
{
    if (_previewBox)
        _previewBox->destroy();
    _closeButton->destroy();
}

std::vector<std::string> PartyMenu::memberKeys() const
{
    std::vector<std::string> keys;
    if (_party)
        for (const auto& member : _party->getMembers())
            keys.push_back(member.first);
    return keys;
}

void PartyMenu::createSheetFor(const std::string& memberKey)
{
    core::Character* character = nullptr;
    if (_party)
    {
        auto found = _party->getMembers().find(memberKey);
        if (found != _party->getMembers().end())
            character = dynamic_cast<core::Character*>(found->second);
    }
    _previewBox = new CharacterMenu(character);
}

void PartyMenu::invalidate()
{
    putTitleAboveRectangle();
    // Called by the base constructors before the menu's own parts exist.
    if (!_closeButton)
        return;
    const glm::vec2 centre = getPosition();
    const float width = getWidth();
    const float contentHeight = getHeight() - _paddingTop - _paddingBottom;
    const float entryWidth = LIST_SHARE * width - _paddingLeft - _paddingRight;
    const float entryHeight = contentHeight / static_cast<float>(MEMBER_SLOTS);
    float y = centre.y + contentHeight / 2.0f - entryHeight / 2.0f;
    for (GUIListViewEntry* entry : _entries)
    {
        placeEntry(entry, centre.x - LIST_CENTRE_OFFSET, y, entryWidth, entryHeight);
        y -= entryHeight;
    }
    if (_previewBox)
    {
        _previewBox->setWidth((1.0f - LIST_SHARE) * width - _paddingLeft - _paddingRight);
        _previewBox->setHeight(contentHeight);
        _previewBox->setPosition(centre.x + LIST_SHARE, centre.y);
    }
}

void PartyMenu::show()
{
    GUIMenu::show();
    _closeButton->show();
    const std::vector<std::string> keys = memberKeys();
    // Members may have joined since start-up; the first one to be shown
    // gets the sheet.
    if (!_previewBox && !keys.empty())
        createSheetFor(keys.front());
    if (_previewBox)
        _previewBox->show();
    deleteEntries();
    update(keys, "Party");
}

void PartyMenu::hide()
{
    GUIMenu::hide();
    if (_closeButton)
        _closeButton->hide();
    if (_previewBox)
        _previewBox->hide();
}

void PartyMenu::onMouseUp(int button, double x, double y)
{
    GUIMenu::onMouseUp(button, x, y);
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    GUIListViewEntry* entry = _entries.empty() ? nullptr : getEntryAtCoordinates(fx, fy);
    if (entry)
    {
        core::Character* character = _party ? _party->getCharacter(entry->getText()) : nullptr;
        if (character && _previewBox)
            _previewBox->setCharacter(character);
    }
    else if (_closeButton->insideBounds(fx, fy))
    {
        hide();
    }
}
}

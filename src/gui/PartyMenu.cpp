#include "gui/PartyMenu.h"

#include "data/Character.h"
#include "data/Party.h"
#include "gui/CharacterMenu.h"
#include "gui/GUIListViewEntry.h"
#include "gui/GUITextBox.h"
#include "gui/StatBar.h"

namespace gui
{
namespace
{
const float PADDING = 0.05f;
const float LIST_SHARE = 0.3f;
const float LIST_CENTRE_OFFSET = 0.7f;
const int MEMBER_SLOTS = 4;
const glm::vec3 HP_COLOUR(0.8f, 0.15f, 0.15f);
const glm::vec3 FATIGUE_COLOUR(0.2f, 0.55f, 0.9f);
const float BAR_HEIGHT = 8.0f / 240.0f;
const float BAR_GAP = 0.05f;
}

PartyMenu::PartyMenu(const std::string& title, core::Party* party)
    : GUIMenu(title), _party(party), _previewBox(nullptr), _closeButton(nullptr)
{
    _upScrollButton->hide();
    _downScrollButton->hide();
    _closeButton = GUIElement::make<GUITextBox>("Close");
    _closeButton->setPadding(PADDING);
    _closeButton->setWidth(0.25f);
    _closeButton->setHeight(0.125f);
    _closeButton->setPosition(-0.875f, -0.6375f);
    const std::vector<std::string> keys = memberKeys();
    updateKeyed(keys, memberNames(keys));
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
    destroyBars();
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

std::vector<std::string> PartyMenu::memberNames(const std::vector<std::string>& keys) const
{
    std::vector<std::string> names;
    for (const std::string& key : keys)
    {
        core::Character* character = _party ? _party->getCharacter(key) : nullptr;
        names.push_back(character ? character->getDisplayName() : key);
    }
    return names;
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
    _previewBox = GUIElement::make<CharacterMenu>(character);
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
    for (size_t i = 0; i < _entries.size(); ++i)
        layOutBars(_entries[i], i);
    if (_previewBox)
    {
        _previewBox->setWidth((1.0f - LIST_SHARE) * width - _paddingLeft - _paddingRight);
        _previewBox->setHeight(contentHeight);
        _previewBox->setPosition(centre.x + LIST_SHARE, centre.y);
    }
}

void PartyMenu::showSheetOf(core::Character* member)
{
    if (_previewBox)
        _previewBox->setCharacter(member);
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
    setTitle("Party");
    updateKeyed(keys, memberNames(keys));
    rebuildBars(keys);
}

StatBar* PartyMenu::getHPBar(int index) const
{
    const size_t at = static_cast<size_t>(index) * 2;
    return index >= 0 && at < _bars.size() ? _bars[at] : nullptr;
}

StatBar* PartyMenu::getFatigueBar(int index) const
{
    const size_t at = static_cast<size_t>(index) * 2 + 1;
    return index >= 0 && at < _bars.size() ? _bars[at] : nullptr;
}

void PartyMenu::destroyBars()
{
    for (StatBar* bar : _bars)
        bar->destroy();
    _bars.clear();
}

// Values are read each time the menu opens: a fight or a potion since the
// last look must show.
void PartyMenu::rebuildBars(const std::vector<std::string>& keys)
{
    destroyBars();
    for (const std::string& key : keys)
    {
        core::Character* character = _party ? _party->getCharacter(key) : nullptr;
        StatBar* hp = GUIElement::make<StatBar>(HP_COLOUR);
        StatBar* fatigue = GUIElement::make<StatBar>(FATIGUE_COLOUR);
        if (character)
        {
            hp->setValue(character->getHP(false), character->getHP(true));
            fatigue->setValue(character->getFatigue(false), character->getFatigue(true));
        }
        _bars.push_back(hp);
        _bars.push_back(fatigue);
    }
    invalidate();
}

void PartyMenu::layOutBars(GUIListViewEntry* entry, size_t index)
{
    if (index * 2 + 1 >= _bars.size())
        return;
    const glm::vec2 centre = entry->getPosition();
    const float width = entry->getWidth() - 2.0f * _entryPadding;
    for (size_t k = 0; k < 2; ++k)
    {
        StatBar* bar = _bars[index * 2 + k];
        bar->setWidth(width);
        bar->setHeight(BAR_HEIGHT);
        bar->setPosition(centre.x, centre.y - BAR_GAP * static_cast<float>(k));
        bar->invalidate();
        // Bars are shown after the entries so that they lie over them.
        if (_hideEntries || entry->isHidden() || isHidden())
            bar->hide();
        else
            bar->show();
    }
}

void PartyMenu::hide()
{
    GUIMenu::hide();
    for (StatBar* bar : _bars)
        bar->hide();
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
        core::Character* character = _party ? _party->getCharacter(entry->getKey()) : nullptr;
        if (character && _previewBox)
            _previewBox->setCharacter(character);
    }
    else if (_closeButton->insideBounds(fx, fy))
    {
        hide();
    }
}

bool PartyMenu::backOut(bool)
{
    hide();
    return true;
}
}

#include "data/Effect.h"

#include <set>

#include "graphics/TGSprite.h"
#include "util/GameManifest.h"
#include "util/XMLNumbers.h"
#include "util/util.h"

namespace core
{
int Effect::numEffects = 0;

namespace
{
// The only effect with a picture of its own: a burning flame.
const char* const FIRE_EFFECT = "fire";
// The game's manifest names the texture that pictures fire.
const char* const FIRE_TEXTURE_CUE = "fire";
const float FIRE_WIDTH = 28.0f;
const float FIRE_HEIGHT = 34.0f;
// An icon sits over its holder, small enough to leave the fighter seen.
const float ICON_EXTENT = 14.0f;
const int MAX_FRAME_CELL = 4096;
const int MAX_FRAME_SIZE = 4096;

const std::vector<std::string> OWN_ATTRIBUTES = {"name",  "description", "duration", "damage",   "healing",
                                                 "sound", "texture",     "frameCol", "frameRow", "frameSize"};

bool isKnownAttribute(const std::string& name)
{
    for (const std::string& own : OWN_ATTRIBUTES)
        if (own == name)
            return true;
    for (const std::string& stat : Effect::statNames())
        if (stat == name)
            return true;
    return false;
}

// A whole number in [min, max], or a problem naming the attribute; `value`
// keeps its fallback when the attribute is absent.
bool readBounded(const tinyxml2::XMLElement* element, const char* attribute, long long min, long long max,
                 const std::string& where, std::vector<std::string>& problems, int& value)
{
    const char* text = element->Attribute(attribute);
    if (!text)
        return true;
    long long number = 0;
    if (!parseWholeNumber(text, number))
    {
        problems.push_back(where + attribute + " \"" + text + "\" is not a whole number");
        return false;
    }
    if (number < min || number > max)
    {
        problems.push_back(where + attribute + " " + text + " is outside " + std::to_string(min) + " to " +
                           std::to_string(max));
        return false;
    }
    value = static_cast<int>(number);
    return true;
}
}

const std::vector<std::string>& Effect::statNames()
{
    // Character attribute names, so that a maker writes what the character
    // files already use.
    static const std::vector<std::string> NAMES = {"attack", "dodge",    "damagePhysical", "damageMagical", "defense",
                                                   "crit",   "glancing", "resistance",     "move"};
    return NAMES;
}

Effect::Effect() : duration(0)
{
}

Effect::Effect(const std::string& name) : _name(name), duration(0)
{
    ++numEffects;
    _id = "Effect" + std::to_string(numEffects);
    if (_name == FIRE_EFFECT)
    {
        // Named after the id so that several fires can burn at once.
        _sprite = std::make_unique<tamsygraphics::Sprite>(_id);
        _sprite->SetTexture(GameManifest::current().textureForCue(FIRE_TEXTURE_CUE));
        _sprite->Dimensions(FIRE_WIDTH, FIRE_HEIGHT);
        _sprite->SetSize(static_cast<int>(FIRE_WIDTH), static_cast<int>(FIRE_HEIGHT));
    }
}

Effect::~Effect()
{
    if (_spriteLent)
        static_cast<void>(_sprite.release()); // the scene manager frees it
}

std::unique_ptr<Effect> Effect::fromXML(const tinyxml2::XMLElement* element, std::vector<std::string>& problems)
{
    if (!element)
        return nullptr;
    const size_t before = problems.size();
    const std::string name = nullToEmpty(element->Attribute("name"));
    const std::string where = name.empty() ? "effect: " : "effect " + name + ": ";
    if (name.empty())
        problems.push_back(where + "needs a name");
    for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a; a = a->Next())
        if (!isKnownAttribute(a->Name()))
            problems.push_back(where + "unknown attribute " + a->Name());
    if (!element->Attribute("duration"))
        problems.push_back(where + "needs a duration in rounds (1 to " + std::to_string(MAX_DURATION) + ")");

    // A record has no id and draws nothing: only the copies holders carry
    // are effects made, with an id and an icon of their own.
    std::unique_ptr<Effect> effect(new Effect());
    effect->_name = name;
    effect->description = nullToEmpty(element->Attribute("description"));
    effect->_sound = nullToEmpty(element->Attribute("sound"));
    effect->_texture = nullToEmpty(element->Attribute("texture"));
    effect->_defined = true;
    effect->readNumbers(element, where, problems);
    if (problems.size() != before)
        return nullptr;
    return effect;
}

void Effect::readNumbers(const tinyxml2::XMLElement* element, const std::string& where,
                         std::vector<std::string>& problems)
{
    readBounded(element, "duration", 1, MAX_DURATION, where, problems, duration);
    readBounded(element, "damage", 0, MAX_PER_ROUND, where, problems, _damagePerRound);
    readBounded(element, "healing", 0, MAX_PER_ROUND, where, problems, _healingPerRound);
    readBounded(element, "frameCol", 0, MAX_FRAME_CELL, where, problems, _frameColumn);
    readBounded(element, "frameRow", 0, MAX_FRAME_CELL, where, problems, _frameRow);
    readBounded(element, "frameSize", 0, MAX_FRAME_SIZE, where, problems, _frameSize);
    for (const std::string& stat : statNames())
    {
        int change = 0;
        if (element->Attribute(stat.c_str()) &&
            readBounded(element, stat.c_str(), -MAX_STAT_CHANGE, MAX_STAT_CHANGE, where, problems, change))
            _statChanges.emplace_back(stat, change);
    }
    const bool framed =
        element->Attribute("frameCol") || element->Attribute("frameRow") || element->Attribute("frameSize");
    if (framed && _texture.empty())
        problems.push_back(where + "a frame needs a texture to be cut from");
}

std::unique_ptr<Effect> Effect::instantiate() const
{
    std::unique_ptr<Effect> copy(new Effect(_name));
    copy->description = description;
    copy->duration = duration;
    copy->_defined = _defined;
    copy->_damagePerRound = _damagePerRound;
    copy->_healingPerRound = _healingPerRound;
    copy->_statChanges = _statChanges;
    copy->_sound = _sound;
    copy->_texture = _texture;
    copy->_frameColumn = _frameColumn;
    copy->_frameRow = _frameRow;
    copy->_frameSize = _frameSize;
    copy->_remaining = duration;
    copy->makeIcon();
    return copy;
}

void Effect::makeIcon()
{
    if (_texture.empty())
        return;
    // An effect named "fire" already has the flame from its constructor,
    // which the icon replaces (a fresh copy has lent nothing yet).
    _sprite = std::make_unique<tamsygraphics::Sprite>(_id);
    _sprite->SetTexture(_texture);
    _sprite->Dimensions(ICON_EXTENT, ICON_EXTENT);
    if (_frameSize > 0)
    {
        _sprite->SetSize(_frameSize, _frameSize);
        _sprite->setTexCoords(glm::vec2(static_cast<float>(_frameColumn), static_cast<float>(_frameRow)));
    }
}
}

#include "data/Character.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>
#include <new>
#include <sstream>

#include "Log/Log.h"
#include "data/Ability.h"
#include "data/CharacterStore.h"
#include "data/Class.h"
#include "script/LuaInterface.h"
#include "data/ResourceManager.h"
#include "world/Scene.h"
#include "script/ScriptInstance.h"
#include "graphics/TGSprite.h"
#include "sound/SoundHandler.h"
#include "util/GameManifest.h"
#include "util/LoadedFiles.h"
#include "util/NamedXMLDocument.h"
#include "util/ReadableId.h"
#include "util/RandomText.h"
#include "util/SafeNumbers.h"
#include "util/XMLNumbers.h"
#include "util/util.h"
#include "util/GameFiles.h"

namespace core
{
namespace
{
const char* const CHARACTER_TYPE = "character";

// XML attribute names of the statistics, in storage order: the four base
// attributes, then the twelve combat values.
const char* const STAT_KEYS[Character::NUM_STATS] = {"str", "dex", "int", "move"};
const char* const CB_STAT_KEYS[Character::NUM_CB_STATS] = {"maxHP",   "curHP", "maxFat",         "curFat",
                                                           "attack",  "dodge", "damagePhysical", "damageMagical",
                                                           "defense", "crit",  "glancing",       "resistance"};

const int MIN_CLASS_LEVEL = 1;
const int MAX_CLASS_LEVEL = 10;
// Larger sprites than this are typing mistakes, not art.
const int MAX_SPRITE_EXTENT = 16384;
const int MAX_EXPERIENCE = 1000000;
const int EXPERIENCE_PER_LEVEL = 10;
// Effect icons sit in a row along the top of the holder's square.
const float ICON_SPACING = 14.0f;
const float ICON_RISE = 20.0f;

// Calls visit(child, id) for every child of the given kind that names a
// record; a child without an id has nothing to look up and is skipped.
template <typename Visit>
void forEachRecordChild(tinyxml2::XMLElement* element, const char* kind, Visit visit)
{
    for (tinyxml2::XMLElement* child = element->FirstChildElement(kind); child; child = child->NextSiblingElement(kind))
    {
        const std::string id = nullToEmpty(child->Attribute("id"));
        if (!id.empty())
        {
            visit(child, id);
        }
    }
}

void logMissingRecord(const char* kind, const std::string& id, const std::string& characterId)
{
    Log::error() << "Could not load " << kind << " " << id << " for character " << characterId << std::endl;
}

// Reads the template before any storage is handed out, so that a bad
// template leaves no half-built character behind in Lua.
// Names are shown on one line: control characters (a stray newline or tab
// from the editor) become spaces and the ends are trimmed.
std::string trimmed(const std::string& text)
{
    std::string clean;
    for (char c : text)
        clean += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
    const size_t first = clean.find_first_not_of(' ');
    if (first == std::string::npos)
        return "";
    return clean.substr(first, clean.find_last_not_of(' ') - first + 1);
}

bool loadTemplate(const std::string& templateName, tinyxml2::XMLDocument& document)
{
    const std::string path = WORKING_DIRECTORY + "/" + templateName;
    if (LoadedFiles::loadXML(document, path, FileKind::Character) != tinyxml2::XML_SUCCESS || !document.RootElement())
    {
        Log::error() << "Character::buildFromXML - Failed to load or parse file " << templateName << std::endl;
        return false;
    }
    return true;
}
}

Character::Character() : _party(nullptr), _stats(), _cbStats(), _behaviour("melee")
{
    _type = CHARACTER_TYPE;
    _id = randomWord(4, true, ENGLISH);
    _name = _id + randomWord(8, false, ENGLISH);
    _displayName = util::capitalisedFirst(_id);
    rollStats();
}

Character::Character(const std::string& name, bool random)
    : _name(name), _party(nullptr), _stats(), _cbStats(), _behaviour("melee")
{
    _type = CHARACTER_TYPE;
    _id = name;
    _displayName = util::capitalisedFirst(name);
    if (random)
    {
        rollStats();
    }
}

Character::~Character() = default;

void Character::rollStats()
{
    for (int& stat : _stats)
    {
        stat = gameRand() % 8 + 3;
    }
    for (int& stat : _cbStats)
    {
        stat = gameRand() % 30 + 20;
    }
}

Character* Character::buildFromXMLElement(tinyxml2::XMLElement* element)
{
    if (!element)
    {
        Log::error() << "Character::buildFromXMLElement - Unable to build character from NULL "
                        "XML Element"
                     << std::endl;
        return nullptr;
    }
    const std::string id = nullToEmpty(element->Attribute("id"));
    const std::string templateName = nullToEmpty(element->Attribute("template"));
    NamedXMLDocument templateDocument(templateName);
    if (!templateName.empty() && !loadTemplate(templateName, templateDocument))
    {
        return nullptr;
    }

    Character* character = CharacterStore::adopt(std::make_unique<Character>(id, false));
    LuaInterface::pushObjectOfClass("Character", character);
    // The game's manifest says which character the player walks.
    const std::string& avatarId = GameManifest::current().avatarId();
    if (!avatarId.empty() && character->_name == avatarId)
    {
        character->_isAvatar = true;
    }
    LuaInterface::bindEntity(character);
    LuaInterface::registerAlias(character->getLuaRef(), character->_id);

    if (!templateName.empty())
    {
        character->absorbXML(templateDocument.RootElement());
    }
    character->absorbXML(element);
    return character;
}

void Character::absorbXML(tinyxml2::XMLElement* element)
{
    if (!element)
    {
        return;
    }
    absorbStats(element);
    absorbAbilities(element);
    absorbEffects(element);
    absorbClasses(element);
    absorbScripts(element);
    absorbBehaviour(element);
    absorbSprites(element);
    absorbLooks(element);
    absorbGrowth(element);
}

void Character::absorbLooks(tinyxml2::XMLElement* element)
{
    if (const char* name = element->Attribute("name"))
    {
        const std::string written = trimmed(name);
        if (written.empty())
            Log::error() << "Character::buildFromXML - character " << _id
                         << " has an empty name attribute; the player reads " << _displayName << std::endl;
        else
        {
            _displayName = written;
            _nameWritten = true;
        }
    }
    if (const char* portrait = element->Attribute("portrait"))
        _portrait = portrait;
}

void Character::absorbGrowth(tinyxml2::XMLElement* element)
{
    // A value that cannot be read (logged) leaves the default reward.
    const int experience = readIntAttribute(element, "experience", -1, 0, MAX_EXPERIENCE);
    if (experience >= 0)
    {
        _experience = saturatingAdd(_experience, experience);
        _experienceGiven = true;
    }
    // Either <item id="potion"/> or <item>potion</item>, as a party lists its bag.
    for (tinyxml2::XMLElement* child = element->FirstChildElement("item"); child;
         child = child->NextSiblingElement("item"))
    {
        std::string id = nullToEmpty(child->Attribute("id"));
        if (id.empty())
            id = nullToEmpty(child->GetText());
        if (id.empty())
        {
            Log::error() << "Character::buildFromXML - " << NamedXMLDocument::fileOf(child) << ", line "
                         << child->GetLineNum() << ": an item of character " << _id << " names no item" << std::endl;
            continue;
        }
        if (!ResourceManager::getItemById(id))
        {
            Log::error() << "Character::buildFromXML - " << NamedXMLDocument::fileOf(child) << ", line "
                         << child->GetLineNum() << ": item " << id << " of character " << _id
                         << " is not in the game's items" << std::endl;
            continue;
        }
        _loot.push_back(id);
    }
}

void Character::absorbStats(tinyxml2::XMLElement* element)
{
    for (int i = 0; i < NUM_STATS; ++i)
    {
        _stats[i] = saturatingAdd(_stats[i], readIntAttribute(element, STAT_KEYS[i]));
    }
    for (int i = 0; i < NUM_CB_STATS; ++i)
    {
        _cbStats[i] = saturatingAdd(_cbStats[i], readIntAttribute(element, CB_STAT_KEYS[i]));
    }
}

void Character::absorbAbilities(tinyxml2::XMLElement* element)
{
    forEachRecordChild(element, "ability",
                       [this](tinyxml2::XMLElement*, const std::string& id)
                       {
                           Ability* ability = ResourceManager::getAbility(id);
                           if (!ability)
                           {
                               logMissingRecord("ability", id, _id);
                               return;
                           }
                           _abilities[id] = ability;
                           _abilityEnabled[id] = true;
                       });
}

void Character::absorbEffects(tinyxml2::XMLElement* element)
{
    forEachRecordChild(element, "effect",
                       [this](tinyxml2::XMLElement*, const std::string& id)
                       {
                           Effect* effect = ResourceManager::getEffect(id);
                           if (!effect)
                           {
                               logMissingRecord("effect", id, _id);
                               return;
                           }
                           _activeEffects.push_back(effect);
                       });
}

void Character::absorbClasses(tinyxml2::XMLElement* element)
{
    forEachRecordChild(element, "class",
                       [this](tinyxml2::XMLElement* child, const std::string& id)
                       {
                           Class* characterClass = ResourceManager::getClass(id);
                           if (!characterClass)
                           {
                               logMissingRecord("class", id, _id);
                               return;
                           }
                           const int levels = readIntAttribute(child, "level");
                           if (levels < MIN_CLASS_LEVEL || levels > MAX_CLASS_LEVEL)
                           {
                               Log::error() << "Character::buildFromXML - class " << id << " for character " << _id
                                            << " has level " << levels << ", outside " << MIN_CLASS_LEVEL << " to "
                                            << MAX_CLASS_LEVEL << "; nothing granted" << std::endl;
                               return;
                           }
                           for (int i = 0; i < levels; ++i)
                           {
                               characterClass->levelUp(this);
                           }
                       });
}

void Character::absorbScripts(tinyxml2::XMLElement* element)
{
    for (tinyxml2::XMLElement* child = element->FirstChildElement("script"); child;
         child = child->NextSiblingElement("script"))
    {
        const std::string trigger = nullToEmpty(child->Attribute("trigger"));
        if (trigger == "interact")
        {
            setInteractScript(ScriptInstance::buildFromXMLElement(child));
        }
        else if (trigger == "think")
        {
            setThinkScript(ScriptInstance::buildFromXMLElement(child));
        }
        else if (trigger == "defeat")
        {
            setDefeatScript(ScriptInstance::buildFromXMLElement(child));
        }
    }
}

void Character::absorbBehaviour(tinyxml2::XMLElement* element)
{
    const char* behaviour = element->Attribute("behaviour");
    if (behaviour)
        setBehaviour(behaviour);
}

bool Character::setBehaviour(const std::string& behaviour)
{
    static const char* const KNOWN[] = {"melee", "ranged", "coward", "idle"};
    for (const char* known : KNOWN)
    {
        if (behaviour == known)
        {
            _behaviour = behaviour;
            return true;
        }
    }
    Log::error() << "Character::setBehaviour - Unknown behaviour '" << behaviour << "' for " << _id
                 << " (melee, ranged, coward or idle); keeping " << _behaviour << std::endl;
    return false;
}

void Character::setDefeatScript(std::unique_ptr<ScriptInstance> script)
{
    _defeatScript = std::move(script);
}

void Character::absorbSprites(tinyxml2::XMLElement* element)
{
    for (tinyxml2::XMLElement* child = element->FirstChildElement("sprite"); child;
         child = child->NextSiblingElement("sprite"))
    {
        auto sprite = std::make_unique<tamsygraphics::Sprite>(_id);
        sprite->SetTexture(nullToEmpty(child->Attribute("texture")));
        sprite->Dimensions(static_cast<float>(readIntAttribute(child, "dimensionW", 0, 0, MAX_SPRITE_EXTENT)),
                           static_cast<float>(readIntAttribute(child, "dimensionH", 0, 0, MAX_SPRITE_EXTENT)));
        sprite->SetSize(readIntAttribute(child, "sizeW", 0, 0, MAX_SPRITE_EXTENT),
                        readIntAttribute(child, "sizeH", 0, 0, MAX_SPRITE_EXTENT));
        // A later sprite element, or the record's over its template's,
        // replaces the one before; nothing else holds it while building.
        _runner.setSprite(sprite.get());
        setSprite(std::move(sprite));
    }
}

std::string Character::getName()
{
    return _name;
}

std::unique_ptr<StatList> Character::getStats() const
{
    auto list = std::make_unique<StatList>();
    list->emplace_back("Strength", getStr());
    list->emplace_back("Dexterity", getDex());
    list->emplace_back("Intelligence", getInt());
    list->emplace_back("Move", getMove());
    list->emplace_back("HP", getHP(true));
    list->emplace_back("Fatigue", getFatigue(true));
    list->emplace_back("Attack", getAttack());
    list->emplace_back("Dodge", getDodge());
    list->emplace_back("Damage Physical", getDamagePhysical());
    list->emplace_back("Damage Magical", getDamageMagical());
    list->emplace_back("Defense", getDefense());
    list->emplace_back("Critical Value", getCritValue());
    list->emplace_back("Glancing Value", getGlancingValue());
    list->emplace_back("Resistance", getResistance());
    return list;
}

std::string Character::printStats()
{
    std::ostringstream out;
    out << "_name: " << getName() << "\n"
        << " Int: " << getInt() << "\n"
        << " Str: " << getStr() << "\n"
        << " Dex: " << getDex() << "\n"
        << " Move: " << getMove() << "\n"
        << " maxHP: : " << getHP(true) << "\n"
        << " current HP: " << getHP(false) << "\n"
        << " max Fatigue: " << getFatigue(true) << "\n"
        << " current Fatigue: " << getFatigue(false) << "\n"
        << " attack: " << getAttack() << "\n"
        << " dodge: " << getDodge() << "\n"
        << " physical damage: " << getDamagePhysical() << "\n"
        << " magic damage: " << getDamageMagical() << "\n"
        << " defense: " << getDefense() << "\n"
        << " crit: " << getCritValue() << "\n"
        << " glancing blow: " << getGlancingValue() << "\n"
        << " resistance: " << getResistance() << "\n";
    return out.str();
}

std::unique_ptr<tinyxml2::XMLDocument> Character::toXml()
{
    auto document = std::make_unique<tinyxml2::XMLDocument>();
    tinyxml2::XMLElement* root = document->NewElement("root");
    document->InsertEndChild(root);
    root->SetAttribute("_name", getName().c_str());
    for (int i = 0; i < NUM_STATS; ++i)
    {
        root->SetAttribute(STAT_KEYS[i], _stats[i]);
    }
    for (int i = 0; i < NUM_CB_STATS; ++i)
    {
        root->SetAttribute(CB_STAT_KEYS[i], _cbStats[i]);
    }
    return document;
}

bool Character::addAbility(Ability* ability)
{
    if (!ability)
    {
        Log::error() << "Character::addAbility - no ability given to " << _id << std::endl;
        return false;
    }
    const std::string& abilityName = ability->getName();
    const bool inserted = _abilities.insert(std::make_pair(abilityName, ability)).second;
    _abilityEnabled[abilityName] = true;
    return inserted;
}

Ability* Character::getAbility(const std::string& name) const
{
    auto found = _abilities.find(name);
    return found == _abilities.end() ? nullptr : found->second;
}

bool Character::isAbilityEnabled(const std::string& name) const
{
    Log::plain() << name << std::endl;
    auto found = _abilityEnabled.find(name);
    return found != _abilityEnabled.end() && found->second;
}

Ability* Character::removeAbility(const std::string& name)
{
    Ability* removed = getAbility(name);
    _abilities.erase(name);
    _abilityEnabled.erase(name);
    return removed;
}

std::vector<std::string> Character::getAllAbilities() const
{
    std::vector<std::string> names;
    for (const auto& entry : _abilityEnabled)
    {
        names.push_back(entry.first);
    }
    return names;
}

void Character::addEffect(const std::string& name)
{
    const Effect* definition = ResourceManager::getEffect(name);
    if (!definition || !definition->isDefined())
    {
        auto effect = std::make_unique<Effect>(name);
        // Outside a scene there is nowhere to show the effect yet; it is
        // still carried by the character.
        if (_currentScene)
            _currentScene->insertEffect(effect.get());
        _effects.push_back(std::move(effect));
        return;
    }
    for (const std::unique_ptr<Effect>& held : _effects)
    {
        if (held && held->isDefined() && held->getName() == name)
        {
            held->setRemaining(definition->getDuration());
            return;
        }
    }
    _effects.push_back(definition->instantiate());
    Effect* effect = _effects.back().get();
    applyStatChanges(*effect, 1);
    if (_currentScene)
        _currentScene->insertEffect(effect);
    updateSpritePosition();
    if (!effect->getSound().empty())
        sound::SoundHandler::sendRequest(effect->getSound(), 0.0);
}

const Effect* Character::heldEffect(const std::string& name) const
{
    for (const std::unique_ptr<Effect>& held : _effects)
        if (held && held->getName() == name)
            return held.get();
    return nullptr;
}

std::vector<Effect*> Character::getEffects() const
{
    std::vector<Effect*> held;
    held.reserve(_effects.size());
    for (const std::unique_ptr<Effect>& effect : _effects)
        held.push_back(effect.get());
    return held;
}

void Character::applyStatChanges(const Effect& effect, int sign)
{
    for (const auto& change : effect.getStatChanges())
    {
        const int delta = sign * change.second;
        if (change.first == "move")
            addMove(delta);
        else
            for (int i = 0; i < NUM_CB_STATS; ++i)
                if (change.first == CB_STAT_KEYS[i])
                    addTo(_cbStats[i], delta);
    }
}

std::vector<std::string> Character::tickEffects()
{
    std::vector<std::string> lines;
    const std::string& who = getDisplayName();
    for (size_t i = 0; i < _effects.size();)
    {
        Effect* effect = _effects[i].get();
        if (!effect || !effect->isDefined())
        {
            ++i;
            continue;
        }
        if (effect->getDamagePerRound() > 0)
        {
            addHP(false, -effect->getDamagePerRound());
            lines.push_back(who + " takes " + std::to_string(effect->getDamagePerRound()) + " damage from " +
                            effect->getName() + ".");
        }
        if (effect->getHealingPerRound() > 0)
        {
            // Healing over time mends wounds; it does not raise HP past the maximum.
            const int room = std::max(0, getHP(true) - getHP(false));
            const int healed = std::min(room, effect->getHealingPerRound());
            addHP(false, healed);
            lines.push_back(who + " recovers " + std::to_string(healed) + " HP from " + effect->getName() + ".");
        }
        if ((effect->getDamagePerRound() > 0 || effect->getHealingPerRound() > 0) && !effect->getSound().empty())
            sound::SoundHandler::sendRequest(effect->getSound(), 0.0);
        effect->setRemaining(effect->getRemaining() - 1);
        if (effect->getRemaining() > 0)
        {
            ++i;
            continue;
        }
        lines.push_back(effect->getName() + " wears off " + who + ".");
        removeEffectAt(i);
    }
    return lines;
}

void Character::removeEffectAt(size_t index)
{
    const std::unique_ptr<Effect> effect = std::move(_effects[index]);
    _effects.erase(_effects.begin() + static_cast<std::ptrdiff_t>(index));
    if (!effect)
        return;
    if (effect->isDefined())
        applyStatChanges(*effect, -1);
    // A sprite handed to the scene is the scene's to destroy; the effect
    // frees one that never reached a scene when it goes.
    if (effect->getSprite() && _currentScene)
        _currentScene->removeEffect(effect.get());
}

void Character::endTimedEffects()
{
    for (size_t i = _effects.size(); i-- > 0;)
        if (_effects[i] && _effects[i]->isDefined())
            removeEffectAt(i);
}

void Character::clearEffects()
{
    // Marks without rounds have nothing to undo; they go with the list (a
    // sprite one lent to the scene stays the scene's).
    endTimedEffects();
    _effects.clear();
}

void Character::spriteMoved(const glm::vec2& world)
{
    std::vector<tamsygraphics::Sprite*> icons;
    for (const std::unique_ptr<Effect>& effect : _effects)
        if (effect && effect->isDefined() && effect->getSprite())
            icons.push_back(effect->getSprite());
    const float first = world.x - ICON_SPACING * static_cast<float>(icons.size() - 1) / 2.0f;
    for (size_t i = 0; i < icons.size(); ++i)
        icons[i]->MoveTo(first + ICON_SPACING * static_cast<float>(i), world.y + ICON_RISE);
}

int Character::experienceReward() const
{
    if (_experienceGiven)
        return _experience;
    return EXPERIENCE_PER_LEVEL * std::max(1, getLevel());
}

int Character::getLevel() const
{
    int level = 0;
    for (const auto& entry : _classLevels)
        level = std::max(level, entry.second);
    return level;
}

std::string Character::getMainClass() const
{
    std::string main;
    int level = 0;
    for (const auto& entry : _classLevels)
    {
        if (entry.second > level)
        {
            main = entry.first;
            level = entry.second;
        }
    }
    return main;
}

Effect* Character::getEffect(const std::string&) const
{
    return nullptr;
}

void Character::activateOnTargetEffects(const TypeList&, Character*)
{
}

void Character::activateOnAbilityUseEffects(const TypeList&)
{
}

void Character::removeTriggeredEffects()
{
}

int Character::getClassLevel(const std::string& name) const
{
    auto found = _classLevels.find(name);
    return found == _classLevels.end() ? 0 : found->second;
}

int Character::addClassLevel(const std::string& name)
{
    const int level = ++_classLevels[name];
    if (level == 1)
    {
        _classes[name] = ResourceManager::getClass(name);
    }
    return level;
}

Class* Character::getClass(const std::string& name) const
{
    auto found = _classes.find(name);
    return found == _classes.end() ? nullptr : found->second;
}

void Character::setClassLevel(const std::string& name, int level)
{
    if (level <= 0)
    {
        _classLevels.erase(name);
        _classes.erase(name);
        return;
    }
    _classLevels[name] = level;
    _classes[name] = ResourceManager::getClass(name);
}
}

#include "data/Ability.h"

#include <algorithm>

#include "Log/Log.h"
#include "data/Character.h"
#include "data/ResourceManager.h"
#include "sound/SoundHandler.h"
#include "util/GameManifest.h"
#include "util/NamedXMLDocument.h"
#include "util/RandomText.h"
#include "util/XMLNumbers.h"
#include "util/util.h"
#include "util/GameFiles.h"

namespace core
{
namespace
{
// The engine events whose sounds the game's manifest names. A blow that
// lands sounds by what it is; a game that gives that kind no sound of its
// own hears the plain hit.
const char* const HIT_CUE = "hit";
const char* const FIRE_HIT_CUE = "fireHit";
const char* const UNARMED_HIT_CUE = "unarmedHit";
const char* const PHYSICAL_HIT_CUE = "physicalHit";
const char* const MISS_CUE = "miss";
// Bounds every ability number so that the combat arithmetic on them
// (cost negated, damage spans) cannot overflow.
const int VALUE_LIMIT = 1000000;

std::ostream& rulesLog()
{
    return Log::named("rules");
}
}

Ability::Ability(const std::string& name, const std::string& description, int range, int radius, int baseAttack,
                 int minDamage, int maxDamage, int resistanceThreshold, int cost)
    : name(name), description(description), range(range), radius(radius), baseAttack(baseAttack), minDamage(minDamage),
      maxDamage(maxDamage), resistanceThreshold(resistanceThreshold), cost(cost)
{
}

Ability::~Ability()
{
}

std::unique_ptr<Ability> Ability::buildFromXMLElement(tinyxml2::XMLElement* element)
{
    if (!element)
    {
        Log::error() << "Unable to build Ability from NULL XML" << std::endl;
        return nullptr;
    }
    auto ability = std::make_unique<Ability>(
        nullToEmpty(element->Attribute("name")), nullToEmpty(element->Attribute("description")),
        readIntAttribute(element, "range", 0, 0, VALUE_LIMIT), readIntAttribute(element, "radius", 0, 0, VALUE_LIMIT),
        readIntAttribute(element, "attack", 0, -VALUE_LIMIT, VALUE_LIMIT),
        readIntAttribute(element, "minDamage", 0, -VALUE_LIMIT, VALUE_LIMIT),
        readIntAttribute(element, "maxDamage", 0, -VALUE_LIMIT, VALUE_LIMIT),
        readIntAttribute(element, "resist", 0, -VALUE_LIMIT, VALUE_LIMIT),
        readIntAttribute(element, "cost", 0, -VALUE_LIMIT, VALUE_LIMIT));
    ability->effectType = nullToEmpty(element->Attribute("targetType"));
    Log::named("Ability") << "Ability " << ability->name << std::endl;
    for (tinyxml2::XMLElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        ability->readChild(child);
    }
    return ability;
}

void Ability::readChild(tinyxml2::XMLElement* child)
{
    const std::string kind = nullToEmpty(child->Name());
    const bool known = kind == "typeTag" || kind == "onTarget" || kind == "onHit" || kind == "onMiss";
    if (!known)
    {
        return;
    }
    const char* childName = child->Attribute("name");
    if (!childName)
    {
        // Without a name there is nothing to look up; keep the rest.
        Log::error() << "Ability::buildFromXMLElement - " << kind << " without a name in ability " << name << std::endl;
        return;
    }
    if (kind == "typeTag")
    {
        typeTags.push_back(childName);
    }
    else if (kind == "onTarget")
    {
        targetEffects.push_back(ResourceManager::getEffect(childName));
    }
    else if (kind == "onHit")
    {
        userHitEffects.push_back(ResourceManager::getEffect(childName));
    }
    else
    {
        userMissEffects.push_back(ResourceManager::getEffect(childName));
    }
}

std::unique_ptr<Ability> Ability::fromXmlFile(const std::string& path)
{
    NamedXMLDocument document(path);
    if (GameFiles::loadXML(document, path) != tinyxml2::XML_SUCCESS)
    {
        return nullptr;
    }
    tinyxml2::XMLElement* root = document.RootElement();
    return root ? buildFromXMLElement(root) : nullptr;
}

std::string Ability::resolveAttack(std::list<Character*> targets, Character* user, std::vector<Strike>* strikes)
{
    rulesLog() << "entered resolve attack" << std::endl;
    std::string text;
    if (!user)
    {
        Log::error() << "Ability::resolveAttack - " << name << " used without a user" << std::endl;
        return text;
    }
    int damage = rollDamage();
    user->addFatigue(false, -cost);
    user->activateOnAbilityUseEffects(typeTags);
    rulesLog() << "finished initialization"
               << " tag size: " << typeTags.size() << std::endl;

    Flags flags = applyTypeTags(user, damage);
    for (Character* target : targets)
    {
        if (!target)
        {
            continue;
        }
        target->activateOnTargetEffects(typeTags, user);
        Outcome outcome = rollOutcome(target, user, flags.autoHit, text);
        if (outcome == GLANCING)
        {
            damage /= 2;
        }
        else if (outcome == CRITICAL)
        {
            damage *= 2;
        }
        if (outcome != MISS)
        {
            strikeTarget(target, user, flags.noDamage, damage, text);
        }
        if (strikes)
            strikes->push_back(strikeRecord(target, outcome, !flags.noDamage, damage));
        target->removeTriggeredEffects();
    }
    rulesLog() << "finished targets" << std::endl;
    placeEffects(userMissEffects, user, " on self", text);
    rulesLog() << "finished mess effects" << std::endl;
    user->removeTriggeredEffects();
    rulesLog() << "removed triggered effects" << std::endl;
    return text;
}

Ability::Strike Ability::strikeRecord(Character* target, Outcome outcome, bool harms, int damage)
{
    Strike strike;
    strike.target = target;
    strike.hit = outcome != MISS;
    strike.glancing = outcome == GLANCING;
    strike.critical = outcome == CRITICAL;
    strike.harms = harms;
    strike.damage = strike.hit && harms ? damage : 0;
    return strike;
}

bool Ability::hasTypeTag(const std::string& tag) const
{
    for (const std::string& own : typeTags)
        if (own == tag)
            return true;
    return false;
}

double Ability::expectedDamage(const Character* user, const Character* target) const
{
    if (!user || !target || hasTypeTag("noDamage"))
        return 0.0;
    double base = minDamage < maxDamage ? (minDamage + maxDamage - 1) / 2.0 : minDamage;
    if (hasTypeTag("magical"))
        base += user->getDamageMagical();
    if (hasTypeTag("physical"))
        base += user->getDamagePhysical();
    const bool autoHit = hasTypeTag("autoHit");
    const auto afterDefense = [target](double damage) { return std::max(0.0, damage - target->getDefense()); };
    double total = 0.0;
    // The outcome depends only on the roll of 1 to 100, as in rollOutcome.
    for (int roll = 1; roll <= 100; ++roll)
    {
        const int attack = user->getAttack() + roll;
        if (autoHit)
            total += afterDefense(base);
        else if (attack < target->getDodge())
            continue;
        else if (attack < target->getDodge() + target->getGlancingValue())
            total += afterDefense(base / 2.0);
        else if (roll > 100 - user->getCritValue())
            total += afterDefense(base * 2.0);
        else
            total += afterDefense(base);
    }
    return total / 100.0;
}

std::string Ability::hitCue() const
{
    const char* cue = HIT_CUE;
    if (hasTypeTag("fire"))
        cue = FIRE_HIT_CUE;
    else if (hasTypeTag("unarmed"))
        cue = UNARMED_HIT_CUE;
    else if (hasTypeTag("physical") && !hasTypeTag("magical"))
        cue = PHYSICAL_HIT_CUE;
    if (GameManifest::current().soundForCue(cue).empty())
        return HIT_CUE;
    return cue;
}

int Ability::rollDamage() const
{
    if (minDamage < maxDamage)
    {
        return minDamage + gameRand() % (maxDamage - minDamage);
    }
    return minDamage;
}

Ability::Flags Ability::applyTypeTags(Character* user, int& damage) const
{
    Flags flags;
    for (const std::string& tag : typeTags)
    {
        rulesLog() << "type tag: " << tag << std::endl;
        if (tag == "autoHit")
        {
            flags.autoHit = true;
        }
        else if (tag == "noDamage")
        {
            flags.noDamage = true;
        }
        else if (tag == "magical")
        {
            damage += user->getDamageMagical();
        }
        else if (tag == "physical")
        {
            damage += user->getDamagePhysical();
        }
    }
    rulesLog() << "checked for type tags" << std::endl;
    return flags;
}

Ability::Outcome Ability::rollOutcome(Character* target, Character* user, bool autoHit, std::string& text) const
{
    // Drawn for every target, even an automatic hit, so the sequence of
    // rolls does not depend on the tags.
    const int roll = gameRand() % 100 + 1;
    text += "Attack roll: " + std::to_string(roll) + "\n ";
    const int total = user->getAttack() + roll;
    if (autoHit)
    {
        text += "automatic hit ";
        sound::SoundHandler::sendCue(hitCue(), 0.0);
        return HIT;
    }
    if (total < target->getDodge())
    {
        text += "miss ";
        if (hasTypeTag("physical"))
            sound::SoundHandler::sendCue(MISS_CUE, 0.0);
        return MISS;
    }
    if (total < target->getDodge() + target->getGlancingValue())
    {
        text += "glancing hit ";
        return GLANCING;
    }
    if (roll > 100 - user->getCritValue())
    {
        text += "critical hit! ";
        return CRITICAL;
    }
    text += "hit ";
    sound::SoundHandler::sendCue(hitCue(), 0.0);
    return HIT;
}

void Ability::strikeTarget(Character* target, Character* user, bool noDamage, int& damage, std::string& text) const
{
    if (!noDamage)
    {
        damage -= target->getDefense();
        if (damage < 0)
        {
            damage = 0;
        }
        target->addHP(false, -damage);
        text += "for " + std::to_string(damage) + " damage\n";
    }
    if (effectsLand(target))
    {
        placeEffects(targetEffects, target, " on target", text);
        placeEffects(userHitEffects, user, " on self", text);
    }
}

bool Ability::effectsLand(Character* target) const
{
    // Drawn for every target struck, even when the effects cannot be
    // resisted, to keep the sequence of rolls fixed.
    const int roll = gameRand() % 100 + 1;
    return resistanceThreshold == 0 || target->getResistance() + roll < resistanceThreshold;
}

void Ability::placeEffects(const EffectList& effects, Character* receiver, const std::string& where, std::string& text)
{
    for (Effect* effect : effects)
    {
        if (!effect)
        {
            continue;
        }
        text += "Effect " + effect->getName() + where + "\n";
        receiver->addEffect(effect->getName());
    }
}
}

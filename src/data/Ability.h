#pragma once

#include <list>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "data/Effect.h"

namespace core
{
class Character;

// An action a character uses in combat. One shared object per ability
// lives in the resource database; characters point to it.
class Ability
{
public:
    Ability(const std::string& name, const std::string& description, int range, int radius, int baseAttack,
            int minDamage, int maxDamage, int resistanceThreshold, int cost);
    virtual ~Ability();

    // Null for a null element.
    static std::unique_ptr<Ability> buildFromXMLElement(tinyxml2::XMLElement* element);
    // Null, silently, when the file cannot be read.
    static std::unique_ptr<Ability> fromXmlFile(const std::string& path);

    // What one use did to one target, for the lines the player reads.
    struct Strike
    {
        Character* target = nullptr;
        bool hit = false;
        bool glancing = false;
        bool critical = false;
        // False for abilities that do no damage (blessings, taunts).
        bool harms = false;
        int damage = 0;
    };

    // Rolls and applies one use of the ability against every target in
    // turn and returns the rolls as text for the log. The damage is one
    // running value: what one target's outcome and defense do to it carries
    // on to the next target. `strikes`, when given, receives one record per
    // target struck at.
    std::string resolveAttack(std::list<Character*> targets, Character* user,
                              std::vector<Strike>* strikes = nullptr);
    // The damage one use does to the target on average over every attack
    // roll, by the same rules as resolveAttack; 0 for abilities that do no
    // damage.
    double expectedDamage(const Character* user, const Character* target) const;
    bool hasTypeTag(const std::string& tag) const;
    // The sound cue of a blow of this ability that lands: "fireHit" for
    // fire, "unarmedHit" for unarmed blows, "physicalHit" for other blows
    // that are physical and not magical, else (or when the game has no
    // sound for that cue) "hit".
    std::string hitCue() const;

    const std::string& getName() const { return name; }
    const std::string& getDescription() const { return description; }
    const std::string& getTargetType() const { return effectType; }
    int getCost() const { return cost; }
    int getBaseAttack() const { return baseAttack; }
    int getMinDamage() const { return minDamage; }
    int getMaxDamage() const { return maxDamage; }
    int getResistanceThreshold() const { return resistanceThreshold; }
    int getRange() const { return range; }
    int getRadius() const { return radius; }
    TypeList getTypeTags() const { return typeTags; }

    // For abilities put together in code rather than read from XML.
    void setTargetType(const std::string& targetType) { effectType = targetType; }
    void addTypeTag(const std::string& tag) { typeTags.push_back(tag); }
    void addTargetEffect(Effect* effect) { targetEffects.push_back(effect); }
    void addUserHitEffect(Effect* effect) { userHitEffects.push_back(effect); }
    void addUserMissEffect(Effect* effect) { userMissEffects.push_back(effect); }

    const EffectList& getTargetEffects() const { return targetEffects; }
    const EffectList& getUserHitEffects() const { return userHitEffects; }
    const EffectList& getUserMissEffects() const { return userMissEffects; }

private:
    enum Outcome
    {
        MISS,
        GLANCING,
        HIT,
        CRITICAL
    };

    struct Flags
    {
        bool autoHit = false;
        bool noDamage = false;
    };

    void readChild(tinyxml2::XMLElement* child);
    int rollDamage() const;
    Flags applyTypeTags(Character* user, int& damage) const;
    Outcome rollOutcome(Character* target, Character* user, bool autoHit, std::string& text) const;
    void strikeTarget(Character* target, Character* user, bool noDamage, int& damage, std::string& text) const;
    bool effectsLand(Character* target) const;
    static Strike strikeRecord(Character* target, Outcome outcome, bool harms, int damage);
    static void placeEffects(const EffectList& effects, Character* receiver, const std::string& where,
                             std::string& text);

    std::string name;
    std::string description;
    std::string effectType;
    int range;
    int radius;
    int baseAttack;
    int minDamage;
    int maxDamage;
    int resistanceThreshold;
    int cost;
    TypeList typeTags;
    EffectList targetEffects;
    EffectList userHitEffects;
    EffectList userMissEffects;
};
}

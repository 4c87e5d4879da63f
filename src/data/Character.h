#pragma once

#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "data/Effect.h"
#include "world/Entity.h"
#include "util/SafeNumbers.h"

namespace core
{
class Ability;
class Class;
class Party;

template <typename S, typename T>
struct pair
{
    pair(const S& first, const T& second) : first(first), second(second) {}
    S first;
    T second;
};

typedef std::list<pair<std::string, int>> StatList;

// An entity with role-playing statistics, abilities, effects and class
// levels. Characters read from XML belong to the CharacterStore and are
// known to scripts under their id. The abilities, effects and classes pointed to
// are shared records of the resource database; a character never frees them.
class Character : public Entity
{
public:
    enum Stat
    {
        STR = 0,
        DEX,
        INT,
        MOVE,
        NUM_STATS
    };
    enum CombatStat
    {
        MAX_HP = 0,
        CUR_HP,
        MAX_FAT,
        CUR_FAT,
        ATTACK,
        DODGE,
        DAMAGE_PHYSICAL,
        DAMAGE_MAGICAL,
        DEFENSE,
        CRIT,
        GLANCING,
        RESISTANCE,
        NUM_CB_STATS
    };

    // A random character with a generated id and name and rolled stats.
    Character();
    // Id and name are both `name`; stats rolled, or all zero.
    Character(const std::string& name, bool random);
    ~Character() override;

    // Null, logged, for a null element or a template that cannot be read.
    // The character belongs to the CharacterStore.
    static Character* buildFromXMLElement(tinyxml2::XMLElement* element);
    // Adds the element's values and grants on top of what is there.
    void absorbXML(tinyxml2::XMLElement* element);

    std::string getName() override;
    // What the player reads: the `name` attribute, else the id with its
    // first letter capitalised. Scripts, saves and logs keep the id.
    const std::string& getDisplayName() const { return _displayName; }
    // True when the name was written by the game's maker rather than made
    // from the id: wording treats a lower-case written name as a common
    // noun ("the bandit").
    bool hasWrittenName() const { return _nameWritten; }
    // The texture of the face shown beside the character's lines, or empty
    // when the dialog band should use a frame of the character's sprite.
    const std::string& getPortrait() const { return _portrait; }
    void setParty(Party* party) { _party = party; }
    Party* getParty() const { return _party; }

    int getStr() const { return _stats[STR]; }
    int getDex() const { return _stats[DEX]; }
    int getInt() const { return _stats[INT]; }
    int getMove() const { return _stats[MOVE]; }
    int getHP(bool max) const { return _cbStats[max ? MAX_HP : CUR_HP]; }
    int getFatigue(bool max) const { return _cbStats[max ? MAX_FAT : CUR_FAT]; }
    int getAttack() const { return _cbStats[ATTACK]; }
    int getDodge() const { return _cbStats[DODGE]; }
    int getDamagePhysical() const { return _cbStats[DAMAGE_PHYSICAL]; }
    int getDamageMagical() const { return _cbStats[DAMAGE_MAGICAL]; }
    int getDefense() const { return _cbStats[DEFENSE]; }
    int getCritValue() const { return _cbStats[CRIT]; }
    int getGlancingValue() const { return _cbStats[GLANCING]; }
    int getResistance() const { return _cbStats[RESISTANCE]; }

    // Adders never clamp: current HP may drop below zero or exceed the
    // maximum; combat decides what that means.
    void addStr(int delta) { addTo(_stats[STR], delta); }
    void addDex(int delta) { addTo(_stats[DEX], delta); }
    void addInt(int delta) { addTo(_stats[INT], delta); }
    void addMove(int delta) { addTo(_stats[MOVE], delta); }
    void addHP(bool max, int delta) { addTo(_cbStats[max ? MAX_HP : CUR_HP], delta); }
    void addFatigue(bool max, int delta) { addTo(_cbStats[max ? MAX_FAT : CUR_FAT], delta); }
    void addAttack(int delta) { addTo(_cbStats[ATTACK], delta); }
    void addDodge(int delta) { addTo(_cbStats[DODGE], delta); }
    void addDamagePhysical(int delta) { addTo(_cbStats[DAMAGE_PHYSICAL], delta); }
    void addDamageMagical(int delta) { addTo(_cbStats[DAMAGE_MAGICAL], delta); }
    void addDefense(int delta) { addTo(_cbStats[DEFENSE], delta); }
    void addCritValue(int delta) { addTo(_cbStats[CRIT], delta); }
    void addGlancingValue(int delta) { addTo(_cbStats[GLANCING], delta); }
    void addResistance(int delta) { addTo(_cbStats[RESISTANCE], delta); }

    // Fourteen rows for the character sheet; the caller owns the list.
    std::unique_ptr<StatList> getStats() const;
    std::string printStats();
    // The caller owns the document.
    std::unique_ptr<tinyxml2::XMLDocument> toXml();

    // True when newly inserted; an existing name keeps its old ability but
    // is enabled again either way.
    bool addAbility(Ability* ability);
    Ability* getAbility(const std::string& name) const;
    bool isAbilityEnabled(const std::string& name) const;
    Ability* removeAbility(const std::string& name);
    std::vector<std::string> getAllAbilities() const;

    // An effect the effects file defines is held once: placing it again
    // starts its rounds afresh instead of adding its changes twice. Any
    // other name is carried as a mark without rounds.
    void addEffect(const std::string& name);
    Effect* getEffect(const std::string& name) const;
    // The held effect of that name, null when none.
    const Effect* heldEffect(const std::string& name) const;
    bool hasEffect(const std::string& name) const { return heldEffect(name) != nullptr; }
    // The held effects, in the order they came; the character keeps them.
    std::vector<Effect*> getEffects() const;
    const std::vector<Effect*>& getActiveEffects() const { return _activeEffects; }

    // Hooks called by ability resolution at fixed points; effects do not
    // react to them yet.
    void activateOnTargetEffects(const TypeList& tags, Character* target);
    void activateOnAbilityUseEffects(const TypeList& tags);
    void removeTriggeredEffects();
    // At the start of the holder's turn: each timed effect does its damage
    // or healing and counts down a round; those run out end. One line for
    // each thing that happened, for the fight's result box.
    std::vector<std::string> tickEffects();
    // Ends every timed effect at once (the fight is over), undoing what
    // they added to the statistics.
    void endTimedEffects();

    // What the character has gathered toward its next level; for an enemy,
    // what it gives the party that defeats it.
    int getExperience() const { return _experience; }
    void setExperience(int experience) { _experience = experience; }
    void addExperience(int points) { addTo(_experience, points); }
    // The experience a defeat gives: the record's `experience`, else 10
    // for each level (at least 10).
    int experienceReward() const;
    // The character's level: that of its highest class, 0 without one.
    int getLevel() const;
    // The class further levels are taken in: the highest one, the first
    // by name on a tie; empty without a class.
    std::string getMainClass() const;
    // Item ids the character carries and leaves to whoever defeats it.
    const std::vector<std::string>& getLoot() const { return _loot; }

    // How the character fights when the engine plays it: "melee" (the
    // default), "ranged", "coward" or "idle".
    const std::string& getBehaviour() const { return _behaviour; }
    // False, logged, for a name that is none of those.
    bool setBehaviour(const std::string& behaviour);
    // Run once when the character dies in combat; the character owns it.
    ScriptInstance* getDefeatScript() const { return _defeatScript.get(); }
    void setDefeatScript(std::unique_ptr<ScriptInstance> script);

    int getClassLevel(const std::string& name) const;
    int addClassLevel(const std::string& name);
    const std::map<std::string, int>& getClassLevels() const { return _classLevels; }
    // Puts a class level back as a saved game recorded it, granting nothing
    // (the saved statistics and abilities already hold what levels gave).
    void setClassLevel(const std::string& name, int level);
    // Takes every effect away, undoing what the timed ones added.
    void clearEffects();
    Class* getClass(const std::string& name) const;

private:
    // Statistics stop at the ends of int: scripts and data may add anything.
    static void addTo(int& stat, int delta) { stat = saturatingAdd(stat, delta); }
    void rollStats();
    void absorbStats(tinyxml2::XMLElement* element);
    void absorbAbilities(tinyxml2::XMLElement* element);
    void absorbEffects(tinyxml2::XMLElement* element);
    void absorbClasses(tinyxml2::XMLElement* element);
    void absorbScripts(tinyxml2::XMLElement* element);
    void absorbBehaviour(tinyxml2::XMLElement* element);
    void absorbSprites(tinyxml2::XMLElement* element);
    void absorbLooks(tinyxml2::XMLElement* element);
    void absorbGrowth(tinyxml2::XMLElement* element);
    void applyStatChanges(const Effect& effect, int sign);
    void removeEffectAt(size_t index);
    void spriteMoved(const glm::vec2& world) override;

    std::string _name;
    std::string _displayName;
    std::string _portrait;
    bool _nameWritten = false;
    Party* _party;
    std::vector<std::unique_ptr<Effect>> _effects;
    int _stats[NUM_STATS];
    int _cbStats[NUM_CB_STATS];
    std::vector<Effect*> _activeEffects;
    std::map<std::string, Ability*> _abilities;
    std::map<std::string, bool> _abilityEnabled;
    std::map<std::string, int> _classLevels;
    std::map<std::string, Class*> _classes;
    std::string _behaviour;
    std::unique_ptr<ScriptInstance> _defeatScript;
    int _experience = 0;
    // Whether a record gave `experience`, which then is the reward.
    bool _experienceGiven = false;
    std::vector<std::string> _loot;
};
}

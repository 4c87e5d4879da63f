#pragma once

#include <list>
#include <string>

namespace tamsygraphics
{
class Sprite;
}

namespace core
{
class Effect;

typedef std::list<std::string> TypeList;
typedef std::list<Effect*> EffectList;

// A named state that an ability or a class places on a character. Every
// effect object gets an id of its own ("Effect" + a running count), which is
// also the name its sprite is shown under.
class Effect
{
public:
    Effect();
    explicit Effect(const std::string& name);

    const std::string& getName() const { return _name; }
    const std::string& getDescription() const { return description; }
    int getDuration() const { return duration; }
    tamsygraphics::Sprite* getSprite() const { return _sprite; }
    const std::string& getUniqueId() const { return _id; }

    // How many effects have been named so far; the next one gets this + 1.
    static int getCount() { return numEffects; }

private:
    std::string _id;
    static int numEffects;
    tamsygraphics::Sprite* _sprite;
    std::string _name;
    std::string description;
    TypeList onAbilityTags;
    TypeList onTargetTags;
    std::string onAbilityScriptName;
    std::string onTargetScriptName;
    std::string addScriptName;
    std::string removeScriptName;
    std::string tickScriptName;
    int duration;
};
}

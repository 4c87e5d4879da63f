#pragma once

#include <list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <tinyxml2.h>

#include "world/ShownEffect.h"

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
//
// A game describes its effects in an effects file: how many rounds one
// lasts, what it adds to the holder's statistics while it lasts, the damage
// or healing it does at the start of each of the holder's turns, the icon
// shown over the holder and the sound it makes. Those records are shared;
// a character holds copies made by instantiate(), each counting its own
// rounds.
class Effect : public ShownEffect
{
public:
    // Statistics an effect may change, by their attribute names.
    static const std::vector<std::string>& statNames();
    // Longest an effect may last; more is a typing mistake.
    static const int MAX_DURATION = 100;
    static const int MAX_PER_ROUND = 10000;
    static const int MAX_STAT_CHANGE = 10000;

    Effect();
    explicit Effect(const std::string& name);
    ~Effect() override;
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    // Reads one effect record; null when it is unusable, with every fault
    // added to `problems` (each about the element's own line).
    static std::unique_ptr<Effect> fromXML(const tinyxml2::XMLElement* element, std::vector<std::string>& problems);
    // A fresh copy of this record for one holder, with its own id, sprite
    // and the full duration to run.
    std::unique_ptr<Effect> instantiate() const;

    const std::string& getName() const { return _name; }
    const std::string& getDescription() const { return description; }
    int getDuration() const { return duration; }
    tamsygraphics::Sprite* getSprite() const override { return _sprite.get(); }
    // The scene's sprite manager has taken the sprite to draw and frees it
    // from now on; the effect no longer does.
    void setSpriteLent() override { _spriteLent = true; }
    const std::string& getUniqueId() const override { return _id; }

    // Whether the record came from an effects file (and so runs out).
    bool isDefined() const { return _defined; }
    int getDamagePerRound() const { return _damagePerRound; }
    int getHealingPerRound() const { return _healingPerRound; }
    const std::vector<std::pair<std::string, int>>& getStatChanges() const { return _statChanges; }
    const std::string& getSound() const { return _sound; }
    const std::string& getTexture() const { return _texture; }
    int getFrameColumn() const { return _frameColumn; }
    int getFrameRow() const { return _frameRow; }
    int getFrameSize() const { return _frameSize; }
    // Rounds still to run on a holder.
    int getRemaining() const { return _remaining; }
    void setRemaining(int rounds) { _remaining = rounds; }

    // How many effects have been named so far; the next one gets this + 1.
    static int getCount() { return numEffects; }

private:
    void readNumbers(const tinyxml2::XMLElement* element, const std::string& where, std::vector<std::string>& problems);
    void makeIcon();

    std::string _id;
    static int numEffects;
    std::unique_ptr<tamsygraphics::Sprite> _sprite;
    bool _spriteLent = false;
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
    bool _defined = false;
    int _damagePerRound = 0;
    int _healingPerRound = 0;
    std::vector<std::pair<std::string, int>> _statChanges;
    std::string _sound;
    std::string _texture;
    int _frameColumn = 0;
    int _frameRow = 0;
    // Pixels of one square frame; 0 shows the whole texture.
    int _frameSize = 0;
    int _remaining = 0;
};
}


#include "data/Effect.h"

#include "graphics/TGSprite.h"
#include "util/GameManifest.h"

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
}

Effect::Effect() : _sprite(nullptr), duration(0)
{
}

Effect::Effect(const std::string& name) : _sprite(nullptr), _name(name), duration(0)
{
    ++numEffects;
    _id = "Effect" + std::to_string(numEffects);
    if (_name == FIRE_EFFECT)
    {
        // Named after the id so that several fires can burn at once.
        _sprite = new tamsygraphics::Sprite(_id);
        _sprite->SetTexture(GameManifest::current().textureForCue(FIRE_TEXTURE_CUE));
        _sprite->Dimensions(FIRE_WIDTH, FIRE_HEIGHT);
        _sprite->SetSize(static_cast<int>(FIRE_WIDTH), static_cast<int>(FIRE_HEIGHT));
    }
}
}

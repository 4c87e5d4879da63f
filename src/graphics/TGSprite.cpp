#include "graphics/TGSprite.h"

#include <glm/gtc/matrix_transform.hpp>

#include "graphics/TGCamera.h"

namespace tamsygraphics
{
Sprite::Sprite(const std::string& name)
    : _coords(0.0f, 0.0f), _identifier(name), _scale(1.0f), _world(1.0f), _rotate(1.0f), _texCoord(0.0f, 0.0f),
      _size(0.0f, 0.0f)
{
}

void Sprite::Dimensions(float x, float y)
{
    _scale = glm::scale(_scale, glm::vec3(x, y, 1.0f));
}

void Sprite::MoveTo(float x, float y)
{
    _world = glm::translate(glm::mat4(1.0f), glm::vec3(x, y, 0.0f));
    _coords = glm::vec2(x, y);
    if (_camera)
        _camera->Follow(x, y);
}

void Sprite::Move(float dx, float dy)
{
    _world = glm::translate(_world, glm::vec3(dx, dy, 0.0f));
    _coords += glm::vec2(dx, dy);
    // The camera follows the sprite whichever way it was moved, as far as
    // the map it shows allows.
    if (_camera)
        _camera->Follow(_coords.x, _coords.y);
}

void Sprite::Rotate(float degrees, const glm::vec3& axis)
{
    _rotate = glm::rotate(_rotate, glm::radians(degrees), axis);
}

void Sprite::SetTexture(const std::string& name)
{
    _texName = name;
    _texCoord = glm::vec2(0.0f, 0.0f);
    _size = glm::vec2(0.0f, 0.0f);
    _sortKey = 0;
}

void Sprite::SetSize(int x, int y)
{
    _size = glm::vec2(static_cast<float>(x), static_cast<float>(y));
}

void Sprite::setTexCoords(const glm::vec2& texCoord)
{
    _texCoord = texCoord;
}

void Sprite::AttachCamera(Camera* camera)
{
    _camera = camera;
    if (!_camera)
        return;
    _camera->SetAttached(true);
    _camera->Follow(_coords.x, _coords.y);
}

void Sprite::DetachCamera()
{
    if (!_camera)
        return;
    _camera->SetAttached(false);
    _camera = nullptr;
}
}

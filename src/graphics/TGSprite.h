#pragma once

#include <map>
#include <string>

#include <glm/glm.hpp>

namespace tamsygraphics
{
class Camera;

// A textured quad in the world, showing either its whole texture or one
// `_size`-sized frame of a sprite sheet at (column, row) `_texCoord`.
class Sprite
{
public:
    explicit Sprite(const std::string& name);

    // Multiplies the current size; call once with the size in world units.
    void Dimensions(float x, float y);
    void MoveTo(float x, float y);
    // Relative move; an attached camera follows it too.
    void Move(float dx, float dy);
    void Rotate(float degrees, const glm::vec3& axis);

    // Resets the frame, so the whole new texture shows until SetSize.
    void SetTexture(const std::string& name);
    // Frame size in texture pixels; (0, 0) shows the whole texture.
    void SetSize(int x, int y);
    void setTexCoords(const glm::vec2& texCoord);

    void AttachCamera(Camera* camera);
    void DetachCamera();

    void SetVisible(bool visible) { _isVisible = visible; }
    bool IsVisible() const { return _isVisible; }
    void SetAnimating(bool animating) { _isAnimating = animating; }
    bool IsAnimating() const { return _isAnimating; }

    const std::string& GetIdentifier() const { return _identifier; }
    const std::string& GetTextureName() const { return _texName; }
    glm::vec2 GetCoords() const { return _coords; }
    glm::vec2 GetTexCoords() const { return _texCoord; }
    glm::vec2 GetSize() const { return _size; }
    int GetSortKey() const { return _sortKey; }
    void SetSortKey(int key) { _sortKey = key; }
    Camera* GetCamera() const { return _camera; }
    glm::mat4 GetWorld() const { return _world; }
    glm::mat4 GetRotation() const { return _rotate; }
    glm::mat4 GetScale() const { return _scale; }
    // _world x _rotate x _scale, applied to the unit square.
    glm::mat4 GetModelMatrix() const { return _world * _rotate * _scale; }

private:
    glm::vec2 _coords;
    bool _isVisible = true;
    bool _isAnimating = false;
    std::string _identifier;
    glm::mat4 _scale;
    glm::mat4 _world;
    glm::mat4 _rotate;
    std::string _texName;
    glm::vec2 _texCoord;
    glm::vec2 _size;
    int _sortKey = 0;
    Camera* _camera = nullptr;
};

typedef std::map<std::string, Sprite*> SpriteMap;
}

#pragma once

#include <map>
#include <string>

#include <glm/glm.hpp>

namespace tamsygraphics
{
// Orthographic camera looking straight down -z at the plane z = 0, showing
// one world unit per window pixel at zoom 1, centred on its position.
class Camera
{
public:
    Camera(const std::string& name, int clientWidth, int clientHeight, float fovInDegrees, float nearClip,
           float farClip);

    void Resize(int width, int height);
    // Places the camera exactly at (x, y), whatever the map bounds say: a
    // caller that moves the camera on purpose gets what it asked for.
    void MoveTo(float x, float y);
    // Centres on (x, y) as far as the map bounds allow (see CameraClamp);
    // without bounds, the same as MoveTo. Used by a sprite the camera
    // follows.
    void Follow(float x, float y);
    // The size in world units of the map (centred on the origin) that a
    // following camera keeps its view inside, until ClearBounds.
    void SetBounds(float mapWidth, float mapHeight);
    void ClearBounds();
    // Shares of the visible height covered by bands drawn over the map at
    // the top and at the bottom (a fight's result box and menu); a following
    // camera may show that far past the map's edges. 0 and 0 by default.
    void SetCoveredEdges(float topShare, float bottomShare);
    bool HasBounds() const { return _hasBounds; }
    // Places the camera at (x, y), like MoveTo.
    void Move(float x, float y);
    // A factor below 1 zooms in; the visible extent is clamped between
    // 1/_maxZoomIn and _maxZoomOut times the window size.
    void Zoom(float factor);

    // The inverse of ScreenSpaceToWorld: where a world point (at zoom 1)
    // shows, in normalised screen units.
    glm::vec2 WorldToScreenSpace(const glm::vec3& world) const;
    glm::mat4 GetView() const { return _view; }
    glm::mat4 GetProj() const { return _orthographic; }
    glm::mat4 GetPerspective() const { return _perspective; }
    // p in normalised screen units; the world point under it at zoom 1.
    glm::vec3 ScreenSpaceToWorld(const glm::vec2& p) const;

    void SetAttached(bool attached) { _attached = attached; }
    bool IsAttached() const { return _attached; }

    const std::string& GetIdentifier() const { return _identifier; }
    glm::vec3 GetPosition() const { return _position; }
    glm::vec3 GetLookAt() const { return _lookAt; }
    float GetLeft() const { return _left; }
    float GetRight() const { return _right; }
    float GetTop() const { return _top; }
    float GetBottom() const { return _bottom; }
    int GetClientWidth() const { return _clientWidth; }
    int GetClientHeight() const { return _clientHeight; }

private:
    void RebuildOrtho();

    glm::vec3 _position;
    float _fovInDegrees = 45.0f;
    float _aspect = 1.0f;
    float _right = 0.0f;
    float _left = 0.0f;
    float _top = 0.0f;
    float _bottom = 0.0f;
    float _nearClip = 0.5f;
    float _farClip = 100.0f;
    int _clientWidth = 0;
    int _clientHeight = 0;
    float _maxZoomIn = 10.0f;
    float _maxZoomOut = 10.0f;
    glm::vec3 _lookAt;
    glm::vec3 _up;
    glm::vec3 _rightt;
    glm::mat4 _view;
    glm::mat4 _perspective;
    glm::mat4 _orthographic;
    std::string _identifier;
    bool _attached = false;
    bool _hasBounds = false;
    glm::vec2 _bounds{0.0f, 0.0f};
    float _coveredTopShare = 0.0f;
    float _coveredBottomShare = 0.0f;
};

typedef std::map<std::string, Camera*> CameraMap;
}

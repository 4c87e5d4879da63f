#include "graphics/TGCamera.h"

#include <glm/gtc/matrix_transform.hpp>

#include "graphics/TGCameraClamp.h"

namespace tamsygraphics
{
Camera::Camera(const std::string& name, int clientWidth, int clientHeight, float fovInDegrees, float nearClip,
               float farClip)
    : _position(0.0f, 0.0f, 1.0f), _fovInDegrees(fovInDegrees), _nearClip(nearClip), _farClip(farClip),
      _lookAt(0.0f, 0.0f, 0.0f), _up(0.0f, 1.0f, 0.0f), _rightt(1.0f, 0.0f, 0.0f), _view(1.0f), _perspective(1.0f),
      _orthographic(1.0f), _identifier(name)
{
    _view = glm::lookAt(_position, _lookAt, _up);
    Resize(clientWidth, clientHeight);
}

void Camera::Resize(int width, int height)
{
    _clientWidth = width;
    _clientHeight = height;
    // A zero height (minimised or not yet sized window) must not poison the
    // matrices with a division by zero.
    _aspect = height != 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f;
    _perspective = glm::perspective(glm::radians(_fovInDegrees), _aspect, _nearClip, _farClip);
    _right = width / 2.0f;
    _left = -width / 2.0f;
    _top = height / 2.0f;
    _bottom = -height / 2.0f;
    RebuildOrtho();
}

void Camera::MoveTo(float x, float y)
{
    _position = glm::vec3(x, y, 1.0f);
    _lookAt = glm::vec3(x, y, 0.0f);
    _view = glm::lookAt(_position, _lookAt, _up);
}

void Camera::Follow(float x, float y)
{
    if (!_hasBounds)
    {
        MoveTo(x, y);
        return;
    }
    // The visible extent, not the window: a zoomed camera sees more or less.
    const glm::vec2 view(_right - _left, _top - _bottom);
    const glm::vec2 at = CameraClamp::Clamp(_bounds, view, glm::vec2(x, y), _coveredTopShare * view.y,
                                            _coveredBottomShare * view.y);
    MoveTo(at.x, at.y);
}

void Camera::SetBounds(float mapWidth, float mapHeight)
{
    _hasBounds = true;
    _bounds = glm::vec2(mapWidth, mapHeight);
}

void Camera::SetCoveredEdges(float topShare, float bottomShare)
{
    _coveredTopShare = topShare;
    _coveredBottomShare = bottomShare;
}

void Camera::ClearBounds()
{
    _hasBounds = false;
}

void Camera::Move(float x, float y)
{
    MoveTo(x, y);
}

void Camera::Zoom(float factor)
{
    _right *= factor;
    _left *= factor;
    _top *= factor;
    _bottom *= factor;

    const float halfWidth = _clientWidth / 2.0f;
    const float halfHeight = _clientHeight / 2.0f;
    if (_right < halfWidth / _maxZoomIn)
    {
        _right = halfWidth / _maxZoomIn;
        _left = -_right;
        _top = halfHeight / _maxZoomIn;
        _bottom = -_top;
    }
    if (_right > _maxZoomOut * halfWidth)
    {
        _right = _maxZoomOut * halfWidth;
        _left = -_right;
        _top = _maxZoomOut * halfHeight;
        _bottom = -_top;
    }
    RebuildOrtho();
}

glm::vec3 Camera::ScreenSpaceToWorld(const glm::vec2& p) const
{
    const glm::vec3 f = glm::normalize(_lookAt - _position);
    const glm::vec3 r = glm::normalize(glm::cross(f, _up));
    const glm::vec3 u = glm::normalize(glm::cross(r, f));
    return _position + f * _nearClip + r * (p.x * _clientWidth / 2.0f) + u * (p.y * _clientHeight / 2.0f);
}

glm::vec2 Camera::WorldToScreenSpace(const glm::vec3& world) const
{
    const glm::vec3 f = glm::normalize(_lookAt - _position);
    const glm::vec3 r = glm::normalize(glm::cross(f, _up));
    const glm::vec3 u = glm::normalize(glm::cross(r, f));
    const glm::vec3 d = world - _position;
    const float halfWidth = _clientWidth > 0 ? _clientWidth / 2.0f : 1.0f;
    const float halfHeight = _clientHeight > 0 ? _clientHeight / 2.0f : 1.0f;
    return glm::vec2(glm::dot(d, r) / halfWidth, glm::dot(d, u) / halfHeight);
}

void Camera::RebuildOrtho()
{
    _orthographic = glm::ortho(_left, _right, _bottom, _top, _nearClip, _farClip);
}
}

#include "graphics/TGLayerCache.h"

#include <algorithm>
#include <cstring>

#include "Log/Log.h"

namespace tamsygraphics
{
bool LayerCache::Layer::operator==(const Layer& other) const
{
    return name == other.name && vao == other.vao && indexCount == other.indexCount &&
           shownInEditor == other.shownInEditor && opacity == other.opacity && std::equal(tint, tint + 4, other.tint) &&
           rows == other.rows && cols == other.cols && tileWidth == other.tileWidth && tileHeight == other.tileHeight &&
           textures == other.textures && highlights == other.highlights && frames == other.frames &&
           shift == other.shift;
}

bool LayerCache::Key::operator==(const Key& other) const
{
    return viewProj == other.viewProj && levelOverlay == other.levelOverlay &&
           passabilityOverlay == other.passabilityOverlay && passGeometry == other.passGeometry &&
           square == other.square && std::equal(programs, programs + 3, other.programs) && layers == other.layers;
}

bool LayerCache::Target::operator==(const Target& other) const
{
    return framebuffer == other.framebuffer && std::equal(viewport, viewport + 4, other.viewport) &&
           std::memcmp(clearColour, other.clearColour, sizeof clearColour) == 0 &&
           std::equal(blend, blend + 5, other.blend);
}

LayerCache::~LayerCache()
{
    Release();
}

LayerCache::Target LayerCache::CurrentTarget()
{
    Target target;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &target.framebuffer);
    glGetIntegerv(GL_VIEWPORT, target.viewport);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, target.clearColour);
    target.blend[0] = glIsEnabled(GL_BLEND);
    glGetIntegerv(GL_BLEND_SRC_RGB, &target.blend[1]);
    glGetIntegerv(GL_BLEND_DST_RGB, &target.blend[2]);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &target.blend[3]);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &target.blend[4]);
    return target;
}

LayerCache::Plan LayerCache::PlanFrame(const Key& key)
{
    const Target target = CurrentTarget();
    if (_seen && key == _key && target == _target)
    {
        _lastPlan = _recorded ? Plan::Replay : (_unavailable ? Plan::DrawDirectly : Plan::Record);
        return _lastPlan;
    }
    _key = key;
    _target = target;
    _seen = true;
    _recorded = false;
    _lastPlan = Plan::DrawDirectly;
    return _lastPlan;
}

bool LayerCache::BeginRecording()
{
    const int width = _target.viewport[0] + _target.viewport[2];
    const int height = _target.viewport[1] + _target.viewport[3];
    _lastPlan = Plan::DrawDirectly;
    if (_unavailable || width <= 0 || height <= 0)
        return false;
    if ((width != _width || height != _height) && !Allocate(width, height))
    {
        _unavailable = true;
        Log::file(logWARNING) << "(LayerCache::BeginRecording) No offscreen framebuffer of " << width << " x " << height
                              << "; every frame draws all its layers";
        return false;
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, _framebuffer);
    glClear(GL_COLOR_BUFFER_BIT);
    _lastPlan = Plan::Record;
    return true;
}

void LayerCache::EndRecording()
{
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(_target.framebuffer));
    _recorded = true;
}

void LayerCache::Show() const
{
    if (!_recorded)
        return;
    GLint reading = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &reading);
    const GLint* v = _target.viewport;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, _framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(_target.framebuffer));
    glBlitFramebuffer(v[0], v[1], v[0] + v[2], v[1] + v[3], v[0], v[1], v[0] + v[2], v[1] + v[3], GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(reading));
}

void LayerCache::Forget()
{
    _seen = false;
    _recorded = false;
    _lastPlan = Plan::DrawDirectly;
}

bool LayerCache::Allocate(int width, int height)
{
    Release();
    GLint bound = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &bound);
    glGenRenderbuffers(1, &_colour);
    glBindRenderbuffer(GL_RENDERBUFFER, _colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(bound));
    glGenFramebuffers(1, &_framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, _framebuffer);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, _colour);
    const bool complete = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(_target.framebuffer));
    // A failed allocation leaves a GL error that is no one else's.
    while (glGetError() != GL_NO_ERROR)
    {
    }
    if (!complete)
    {
        Release();
        return false;
    }
    _width = width;
    _height = height;
    return true;
}

void LayerCache::Release()
{
    if (_framebuffer)
        glDeleteFramebuffers(1, &_framebuffer);
    if (_colour)
        glDeleteRenderbuffers(1, &_colour);
    _framebuffer = 0;
    _colour = 0;
    _width = 0;
    _height = 0;
}
}

#include "graphics/TGPictureScaler.h"

#include <GL/glew.h>

#include "Log/FileLog.h"

namespace tamsygraphics
{
PictureScaler::~PictureScaler()
{
    // The context may be gone at exit; the driver frees what it held.
}

bool PictureScaler::Make(int width, int height)
{
    Release();
    glGenRenderbuffers(1, &_colour);
    glBindRenderbuffer(GL_RENDERBUFFER, _colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glGenRenderbuffers(1, &_depthStencil);
    glBindRenderbuffer(GL_RENDERBUFFER, _depthStencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glGenFramebuffers(1, &_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, _colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, _depthStencil);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete)
    {
        FILE_LOG(logWARNING) << "(PictureScaler::Make) No offscreen picture of " << width << " x " << height
                             << "; the window is drawn into directly";
        Release();
        return false;
    }
    _width = width;
    _height = height;
    return true;
}

void PictureScaler::Release()
{
    if (_framebuffer)
        glDeleteFramebuffers(1, &_framebuffer);
    if (_colour)
        glDeleteRenderbuffers(1, &_colour);
    if (_depthStencil)
        glDeleteRenderbuffers(1, &_depthStencil);
    _framebuffer = 0;
    _colour = 0;
    _depthStencil = 0;
    _width = 0;
    _height = 0;
}

void PictureScaler::Begin(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight)
{
    _windowWidth = windowWidth;
    _windowHeight = windowHeight;
    _box = Letterbox::fit(pictureWidth, pictureHeight, windowWidth, windowHeight);
    _scaling = (windowWidth != pictureWidth || windowHeight != pictureHeight) && pictureWidth > 0 && pictureHeight > 0;
    if (!_scaling)
        return;
    // The window's own framebuffer, or whichever a caller drew into: the
    // picture goes there in the end.
    GLint target = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &target);
    if ((_width != pictureWidth || _height != pictureHeight) && !Make(pictureWidth, pictureHeight))
    {
        _scaling = false;
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(target));
        return;
    }
    _target = static_cast<unsigned int>(target);
    glBindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
}

void PictureScaler::Present()
{
    if (!_scaling)
        return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, _framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, _target);
    // The bars are black whatever the game clears its picture to.
    GLfloat clear[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glViewport(0, 0, _windowWidth, _windowHeight);
    glClear(GL_COLOR_BUFFER_BIT);
    glBlitFramebuffer(0, 0, _width, _height, _box.x, _box.y, _box.x + _box.width, _box.y + _box.height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    glViewport(0, 0, _width, _height);
    glBindFramebuffer(GL_FRAMEBUFFER, _target);
}
}

#include "view/Picture.h"

#include "resources/Strings.h"
#include "view/Renderer.h"

#ifdef _WIN32
// Windows' OpenGL library exports OpenGL 1.1 alone: the framebuffer
// functions come from the current context's driver, asked for by name.
#include <windows.h>
#include <GL/gl.h>
#include <GL/glext.h>
#define TARVO_GL_DRIVER(type, name) (reinterpret_cast<type>(reinterpret_cast<void*>(wglGetProcAddress(#name))))
#define glGenFramebuffers TARVO_GL_DRIVER(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers)
#define glBindFramebuffer TARVO_GL_DRIVER(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer)
#define glDeleteFramebuffers TARVO_GL_DRIVER(PFNGLDELETEFRAMEBUFFERSPROC, glDeleteFramebuffers)
#define glGenRenderbuffers TARVO_GL_DRIVER(PFNGLGENRENDERBUFFERSPROC, glGenRenderbuffers)
#define glBindRenderbuffer TARVO_GL_DRIVER(PFNGLBINDRENDERBUFFERPROC, glBindRenderbuffer)
#define glDeleteRenderbuffers TARVO_GL_DRIVER(PFNGLDELETERENDERBUFFERSPROC, glDeleteRenderbuffers)
#define glRenderbufferStorage TARVO_GL_DRIVER(PFNGLRENDERBUFFERSTORAGEPROC, glRenderbufferStorage)
#define glFramebufferRenderbuffer \
    TARVO_GL_DRIVER(PFNGLFRAMEBUFFERRENDERBUFFERPROC, glFramebufferRenderbuffer)
#define glCheckFramebufferStatus \
    TARVO_GL_DRIVER(PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus)
#else
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#endif

#include <algorithm>
#include <cstring>
#include <new>

namespace {

PictureResult Failure(std::string error)
{
    PictureResult result;
    result.error = std::move(error);
    return result;
}

// Reads the bound read buffer, turning OpenGL's bottom-up rows top-down.
PictureResult ReadPixels(int width, int height)
{
    PictureResult result;
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    try {
        result.rgb.resize(row * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        return Failure(kStrPictureOutOfMemory);
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, result.rgb.data());
    if (glGetError() != GL_NO_ERROR) {
        return Failure(kStrPictureRenderFailed);
    }
    for (int y = 0; y < height / 2; ++y) {
        std::swap_ranges(result.rgb.begin() + static_cast<std::ptrdiff_t>(row * y),
                         result.rgb.begin() + static_cast<std::ptrdiff_t>(row * (y + 1)),
                         result.rgb.begin() + static_cast<std::ptrdiff_t>(row * (height - 1 - y)));
    }
    result.width = width;
    result.height = height;
    return result;
}

bool HasFramebufferObjects()
{
#ifdef _WIN32
    if (wglGetProcAddress("glGenFramebuffers") == nullptr ||
        wglGetProcAddress("glCheckFramebufferStatus") == nullptr) {
        return false;
    }
#endif
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version != nullptr && version[0] >= '3' && version[0] <= '9') {
        return true;
    }
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions != nullptr && std::strstr(extensions, "GL_ARB_framebuffer_object") != nullptr;
}

// An offscreen colour and depth target, bound while it lives.
class Framebuffer {
public:
    Framebuffer(int width, int height, int depthBits)
    {
        // Whatever the context draws into now is bound again afterwards.
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFramebuffer);
        glGetIntegerv(GL_READ_BUFFER, &previousReadBuffer);
        glGetIntegerv(GL_DRAW_BUFFER, &previousDrawBuffer);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenRenderbuffers(2, renderbuffers);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  renderbuffers[0]);
        for (const GLenum format : {GLenum(GL_DEPTH_COMPONENT32), GLenum(GL_DEPTH_COMPONENT24)}) {
            if (format == GL_DEPTH_COMPONENT32 && depthBits < 32) {
                continue;
            }
            glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[1]);
            glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                      renderbuffers[1]);
            complete = glGetError() == GL_NO_ERROR
                && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
            if (complete) {
                break;
            }
        }
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
    }

    ~Framebuffer()
    {
        glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
        glDeleteRenderbuffers(2, renderbuffers);
        glDeleteFramebuffers(1, &framebuffer);
        glReadBuffer(static_cast<GLenum>(previousReadBuffer));
        glDrawBuffer(static_cast<GLenum>(previousDrawBuffer));
    }

    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    bool complete = false;

private:
    GLuint framebuffer = 0;
    GLuint renderbuffers[2] = {0, 0};
    GLint previousFramebuffer = 0;
    GLint previousReadBuffer = GL_BACK;
    GLint previousDrawBuffer = GL_BACK;
};

}  // namespace

PictureResult ReadBackPicture(int width, int height, const std::function<void()>& draw)
{
    if (width <= 0 || height <= 0) {
        return Failure(kStrPictureEmptyView);
    }
    glGetError();  // an older error is not this picture's
    draw();
    glReadBuffer(GL_BACK);
    return ReadPixels(width, height);
}

int LargestOffscreenSize()
{
    if (!HasFramebufferObjects()) {
        return 0;
    }
    GLint renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::min({renderbuffer, viewport[0], viewport[1]});
}

PictureResult RenderOffscreenPicture(int width, int height, int depthBits,
                                     const std::function<void()>& draw)
{
    if (width <= 0 || height <= 0) {
        return Failure(kStrPictureEmptyView);
    }
    const int largest = LargestOffscreenSize();
    if (largest == 0) {
        return Failure(kStrPictureNoOffscreen);
    }
    if (width > largest || height > largest) {
        return Failure(PictureTooLargeMessage(width, height, largest));
    }
    glGetError();
    Framebuffer target(width, height, depthBits);
    if (!target.complete) {
        return Failure(kStrPictureRenderFailed);
    }
    ApplyOrthoProjection(width, height);
    draw();
    return ReadPixels(width, height);
}

#include "tests/gl/OffscreenGL.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

#ifndef EGL_PLATFORM_SURFACELESS_MESA
#define EGL_PLATFORM_SURFACELESS_MESA 0x31DD
#endif

namespace {

// Framebuffer objects are newer than OpenGL 1.1, so their entry points are
// looked up at run time rather than linked.
struct FramebufferApi {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    bool Load()
    {
        genFramebuffers = Get<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
        deleteFramebuffers = Get<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers");
        bindFramebuffer = Get<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
        genRenderbuffers = Get<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers");
        deleteRenderbuffers = Get<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers");
        bindRenderbuffer = Get<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
        renderbufferStorage = Get<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage");
        framebufferRenderbuffer =
            Get<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
        checkFramebufferStatus =
            Get<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus");
        return genFramebuffers && deleteFramebuffers && bindFramebuffer && genRenderbuffers &&
               deleteRenderbuffers && bindRenderbuffer && renderbufferStorage &&
               framebufferRenderbuffer && checkFramebufferStatus;
    }

    template <typename F>
    static F Get(const char* name)
    {
        return reinterpret_cast<F>(eglGetProcAddress(name));
    }
};

FramebufferApi& Api()
{
    static FramebufferApi api;
    return api;
}

bool HasExtension(const char* list, const char* name)
{
    if (list == nullptr) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length) {
        const bool startsWord = p == list || p[-1] == ' ';
        const bool endsWord = p[length] == '\0' || p[length] == ' ';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

std::string EglErrorText()
{
    std::ostringstream text;
    text << "EGL error 0x" << std::hex << eglGetError();
    return text.str();
}

EGLDisplay OpenSurfacelessDisplay(std::string& how)
{
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (getPlatformDisplay != nullptr) {
            EGLDisplay display =
                getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
            if (display != EGL_NO_DISPLAY) {
                how = "eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA)";
                return display;
            }
        }
    }
    // Older loaders: the platform comes from the environment instead.
    setenv("EGL_PLATFORM", "surfaceless", 0);
    how = "eglGetDisplay(EGL_DEFAULT_DISPLAY) with EGL_PLATFORM=";
    const char* platform = std::getenv("EGL_PLATFORM");
    how += platform != nullptr ? platform : "(unset)";
    return eglGetDisplay(EGL_DEFAULT_DISPLAY);
}

}  // namespace

Rgba Image::At(int x, int y) const
{
    Rgba pixel;
    if (!Contains(x, y)) {
        return pixel;
    }
    const std::size_t offset = (static_cast<std::size_t>(y) * width + x) * 4;
    pixel.r = rgba[offset];
    pixel.g = rgba[offset + 1];
    pixel.b = rgba[offset + 2];
    pixel.a = rgba[offset + 3];
    return pixel;
}

std::size_t Image::CountIf(const std::function<bool(const Rgba&)>& predicate) const
{
    std::size_t count = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (predicate(At(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

ColourClass Classify(const Rgba& p)
{
    const int r = p.r;
    const int g = p.g;
    const int b = p.b;
    const int high = std::max({r, g, b});
    const int low = std::min({r, g, b});
    if (high <= 8) {
        return ColourClass::Black;
    }
    if (low >= 247) {
        return ColourClass::White;
    }
    constexpr int kMargin = 32;
    if (r > g + kMargin && r > b + kMargin) {
        return ColourClass::Red;
    }
    if (g > r + kMargin && g > b + kMargin) {
        return ColourClass::Green;
    }
    if (b > r + kMargin && b > g + kMargin) {
        return ColourClass::Blue;
    }
    if (high - low <= kMargin) {
        return ColourClass::Grey;
    }
    return ColourClass::Other;
}

const char* ColourClassName(ColourClass colourClass)
{
    switch (colourClass) {
    case ColourClass::Black: return "black";
    case ColourClass::White: return "white";
    case ColourClass::Red: return "red";
    case ColourClass::Green: return "green";
    case ColourClass::Blue: return "blue";
    case ColourClass::Grey: return "grey";
    case ColourClass::Other: return "other";
    }
    return "?";
}

std::size_t CountClass(const Image& image, ColourClass colourClass)
{
    return image.CountIf([colourClass](const Rgba& p) { return Classify(p) == colourClass; });
}

OffscreenGL::~OffscreenGL()
{
    if (context_ == nullptr) {
        return;
    }
    auto display = static_cast<EGLDisplay>(display_);
    if (eglGetCurrentContext() == static_cast<EGLContext>(context_)) {
        FramebufferApi& api = Api();
        api.bindFramebuffer(GL_FRAMEBUFFER, 0);
        if (framebuffer_ != 0) {
            api.deleteFramebuffers(1, &framebuffer_);
        }
        if (colourBuffer_ != 0) {
            api.deleteRenderbuffers(1, &colourBuffer_);
        }
        if (depthBuffer_ != 0) {
            api.deleteRenderbuffers(1, &depthBuffer_);
        }
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    }
    eglDestroyContext(display, static_cast<EGLContext>(context_));
    // The display stays initialised: another instance may still use it, and
    // eglTerminate would pull it from under that one.
}

bool OffscreenGL::Fail(const std::string& message)
{
    error_ = message;
    return false;
}

bool OffscreenGL::Create(int width, int height)
{
    if (context_ != nullptr) {
        return Fail("Create called twice");
    }
    if (width <= 0 || height <= 0) {
        return Fail("framebuffer size must be positive");
    }

    std::string how;
    EGLDisplay display = OpenSurfacelessDisplay(how);
    if (display == EGL_NO_DISPLAY) {
        return Fail("no EGL display from " + how + ": " + EglErrorText());
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (eglInitialize(display, &major, &minor) != EGL_TRUE) {
        return Fail("eglInitialize failed on the display from " + how + ": " + EglErrorText());
    }
    display_ = display;

    const char* displayExtensions = eglQueryString(display, EGL_EXTENSIONS);
    if (!HasExtension(displayExtensions, "EGL_KHR_surfaceless_context")) {
        return Fail("the EGL display lacks EGL_KHR_surfaceless_context");
    }
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        return Fail("eglBindAPI(EGL_OPENGL_API) failed: " + EglErrorText());
    }

    EGLConfig config = nullptr;
    if (!HasExtension(displayExtensions, "EGL_KHR_no_config_context")) {
        const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLint configCount = 0;
        if (eglChooseConfig(display, configAttributes, &config, 1, &configCount) != EGL_TRUE ||
            configCount < 1) {
            return Fail("no EGL config renders desktop OpenGL: " + EglErrorText());
        }
    }

    // Fixed-function drawing needs the compatibility profile.
    const EGLint contextAttributes[] = {
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
        EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        // Some drivers refuse the profile attribute; the default is the
        // compatibility profile anyway.
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    }
    if (context == EGL_NO_CONTEXT) {
        return Fail("eglCreateContext for desktop OpenGL failed: " + EglErrorText());
    }
    context_ = context;
    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) != EGL_TRUE) {
        return Fail("eglMakeCurrent without a surface failed: " + EglErrorText());
    }

    FramebufferApi& api = Api();
    if (!api.Load()) {
        return Fail("framebuffer object entry points are missing");
    }
    api.genFramebuffers(1, &framebuffer_);
    api.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);

    api.genRenderbuffers(1, &colourBuffer_);
    api.bindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
    api.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    api.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                colourBuffer_);

    api.genRenderbuffers(1, &depthBuffer_);
    api.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    bool complete = false;
    for (GLenum format : {GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT24}) {
        while (glGetError() != GL_NO_ERROR) {
        }
        api.renderbufferStorage(GL_RENDERBUFFER, format, width, height);
        if (glGetError() != GL_NO_ERROR) {
            continue;
        }
        api.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                    depthBuffer_);
        if (api.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
            complete = true;
            break;
        }
    }
    if (!complete) {
        return Fail("no complete framebuffer with an RGBA8 colour and a depth buffer");
    }

    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glViewport(0, 0, width, height);
    glGetIntegerv(GL_DEPTH_BITS, &depthBits_);
    width_ = width;
    height_ = height;
    if (glGetError() != GL_NO_ERROR) {
        return Fail("OpenGL reported an error while setting up the framebuffer");
    }
    return true;
}

std::string OffscreenGL::Description() const
{
    const auto text = [](GLenum name) {
        const auto* value = reinterpret_cast<const char*>(glGetString(name));
        return std::string(value != nullptr ? value : "?");
    };
    return text(GL_VENDOR) + " / " + text(GL_RENDERER) + " / " + text(GL_VERSION);
}

Image OffscreenGL::ReadPixels() const
{
    Image image;
    image.width = width_;
    image.height = height_;
    image.rgba.assign(static_cast<std::size_t>(width_) * height_ * 4, 0);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    return image;
}

#include "view/BufferObjects.h"

#include <cstring>

namespace {

bool ContextOffersBufferObjects()
{
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version == nullptr) {
        return false;  // no context
    }
    // "major.minor...": 1.5 and later.
    const int major = version[0] - '0';
    const int minor = version[1] == '.' ? version[2] - '0' : -1;
    if (major > 1 || (major == 1 && minor >= 5)) {
        return true;
    }
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions != nullptr &&
           std::strstr(extensions, "GL_ARB_vertex_buffer_object") != nullptr;
}

#ifdef _WIN32
template <typename Function>
void Load(Function& function, const char* core, const char* arb)
{
    PROC found = wglGetProcAddress(core);
    if (found == nullptr) {
        found = wglGetProcAddress(arb);
    }
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}
#endif

}  // namespace

const BufferFunctions* CurrentBufferFunctions()
{
    if (!ContextOffersBufferObjects()) {
        return nullptr;
    }
#ifdef _WIN32
    // Windows' function addresses belong to the context's driver; asked for
    // each time, so that another context's never answer for this one.
    static BufferFunctions functions;
    Load(functions.genBuffers, "glGenBuffers", "glGenBuffersARB");
    Load(functions.deleteBuffers, "glDeleteBuffers", "glDeleteBuffersARB");
    Load(functions.bindBuffer, "glBindBuffer", "glBindBufferARB");
    Load(functions.bufferData, "glBufferData", "glBufferDataARB");
    Load(functions.bufferSubData, "glBufferSubData", "glBufferSubDataARB");
    Load(functions.mapBuffer, "glMapBuffer", "glMapBufferARB");
    Load(functions.unmapBuffer, "glUnmapBuffer", "glUnmapBufferARB");
    if (functions.genBuffers == nullptr || functions.deleteBuffers == nullptr ||
        functions.bindBuffer == nullptr || functions.bufferData == nullptr ||
        functions.bufferSubData == nullptr || functions.mapBuffer == nullptr ||
        functions.unmapBuffer == nullptr) {
        return nullptr;
    }
    return &functions;
#else
    // The library dispatches to whichever context is current, under the
    // core names for the extension's functions too.
    static const BufferFunctions functions{glGenBuffers,    glDeleteBuffers, glBindBuffer,
                                           glBufferData,    glBufferSubData, glMapBuffer,
                                           glUnmapBuffer};
    return &functions;
#endif
}

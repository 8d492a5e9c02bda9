#include "view/DrawBuffers.h"

#include "view/BufferObjects.h"

#include <cstddef>

namespace {

// Uploads size bytes to the buffer bound at target; false when the driver
// could not take them.
bool Upload(const BufferFunctions& gl, GLenum target, unsigned buffer, std::size_t size,
            const void* data)
{
    gl.bindBuffer(target, buffer);
    gl.bufferData(target, static_cast<GLsizeiptr>(size), data, GL_STATIC_DRAW);
    gl.bindBuffer(target, 0);
    return glGetError() == GL_NO_ERROR;
}

}  // namespace

bool DrawBuffers::Hold(const ProjectedMesh& mesh)
{
    if (Holds(mesh)) {
        return true;
    }
    const BufferFunctions* gl = CurrentBufferFunctions();
    if (gl == nullptr || mesh.drawVertices.empty() ||
        mesh.drawVertices.size() != mesh.drawVertexCount) {
        return false;
    }
    heldRevision = 0;
    if (vertexBuffer == 0) {
        GLuint name = 0;
        gl->genBuffers(1, &name);
        vertexBuffer = name;
    }
    glGetError();  // an older error is not the upload's
    const bool held = Upload(*gl, GL_ARRAY_BUFFER, vertexBuffer,
                             mesh.drawVertices.size() * sizeof(DrawVertex),
                             mesh.drawVertices.data());
    if (!held) {
        Release();
        return false;
    }
    heldRevision = mesh.drawRevision;
    return true;
}

void DrawBuffers::Release()
{
    heldRevision = 0;
    const BufferFunctions* gl = CurrentBufferFunctions();
    if (gl != nullptr && vertexBuffer != 0) {
        const GLuint name = vertexBuffer;
        gl->deleteBuffers(1, &name);
    }
    vertexBuffer = 0;
}

void DropDrawCopyHeldBy(const DrawBuffers& buffers, ProjectedMesh& mesh)
{
    if (buffers.Holds(mesh)) {
        ResizeArray(mesh.drawVertices, 0);
    }
}

#include "view/DrawBuffers.h"

#include "view/BufferObjects.h"

#include <cstddef>

namespace {

GLuint NewBuffer(const BufferFunctions& gl)
{
    GLuint name = 0;
    gl.genBuffers(1, &name);
    return name;
}

void DeleteBuffer(const BufferFunctions* gl, unsigned& name)
{
    if (gl != nullptr && name != 0) {
        const GLuint n = name;
        gl->deleteBuffers(1, &n);
    }
    name = 0;
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
    held.vertexRevision = 0;
    if (vertexBuffer == 0) {
        vertexBuffer = NewBuffer(*gl);
        vertexBytes_ = 0;
    }
    glGetError();  // an older error is not the upload's
    const std::size_t bytes = mesh.drawVertices.size() * sizeof(DrawVertex);
    gl->bindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    if (bytes == vertexBytes_) {
        // A new projection of the same mesh: into the store that is there.
        gl->bufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes),
                          mesh.drawVertices.data());
    } else {
        gl->bufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), mesh.drawVertices.data(),
                       GL_DYNAMIC_DRAW);
    }
    gl->bindBuffer(GL_ARRAY_BUFFER, 0);
    if (glGetError() != GL_NO_ERROR) {
        DeleteBuffer(gl, vertexBuffer);
        vertexBytes_ = 0;
        return false;
    }
    vertexBytes_ = bytes;
    held.vertexRevision = mesh.drawRevision;
    return true;
}

template <typename FaceOf>
bool DrawBuffers::WriteIndices(const ProjectedMesh& mesh, FaceOf faceOf)
{
    const BufferFunctions* gl = CurrentBufferFunctions();
    held.indices = HeldBuffers::Indices::None;
    indexCount_ = 0;
    if (gl == nullptr || mesh.faces.empty()) {
        return false;
    }
    if (indexBuffer == 0) {
        indexBuffer = NewBuffer(*gl);
    }
    const std::size_t faceCount = mesh.faces.size();
    const std::size_t bytes = 6 * sizeof(uint32_t) * faceCount;
    glGetError();
    gl->bindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    // A store of its own, not the one a draw still in flight reads.
    gl->bufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr,
                   GL_STREAM_DRAW);
    auto* out = glGetError() == GL_NO_ERROR
                    ? static_cast<uint32_t*>(gl->mapBuffer(GL_ELEMENT_ARRAY_BUFFER, GL_WRITE_ONLY))
                    : nullptr;
    bool written = false;
    if (out != nullptr) {
        for (std::size_t i = 0; i < faceCount; ++i) {
            PutFaceTriangles(mesh, faceOf(i), out + 6 * i);
        }
        // False: the store was lost meanwhile (a mode switch), contents undefined.
        written = gl->unmapBuffer(GL_ELEMENT_ARRAY_BUFFER) == GL_TRUE;
    }
    gl->bindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    if (!written) {
        ReleaseIndices();
        return false;
    }
    indexCount_ = 6 * faceCount;
    return true;
}

bool DrawBuffers::WriteFaceOrder(const ProjectedMesh& mesh)
{
    return WriteIndices(mesh, [](std::size_t i) { return i; });
}

bool DrawBuffers::WriteOrder(const ProjectedMesh& mesh, const std::vector<int32_t>& order)
{
    if (order.size() != mesh.faces.size()) {
        return false;
    }
    const int32_t* faces = order.data();
    return WriteIndices(mesh, [faces](std::size_t i) { return static_cast<std::size_t>(faces[i]); });
}

void DrawBuffers::ReleaseIndices()
{
    held.indices = HeldBuffers::Indices::None;
    indexCount_ = 0;
    DeleteBuffer(CurrentBufferFunctions(), indexBuffer);
}

void DrawBuffers::Release()
{
    held = HeldBuffers();
    const BufferFunctions* gl = CurrentBufferFunctions();
    DeleteBuffer(gl, vertexBuffer);
    vertexBytes_ = 0;
    ReleaseIndices();
    search = CentreSearch();
    choice = DrawPathChoice();
}

void DropDrawCopyHeldBy(const DrawBuffers& buffers, ProjectedMesh& mesh)
{
    if (buffers.Holds(mesh)) {
        ResizeArray(mesh.drawVertices, 0);
    }
}

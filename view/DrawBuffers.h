#pragma once
// The surface held by OpenGL in buffer objects: the draw vertices, written
// once per projection, and on the buffers path (see FramePlan.h) the
// triangle indices, written when the faces or the painter's order change.
// A frame after a turn in three dimensions (a new modelview only) then sends
// nothing but a few draw calls. Also what each path keeps between frames and
// how the path is chosen. Every call needs the context the buffers were made
// in to be current. Where the context has no buffer objects, Hold fails and
// the renderer draws from the mesh's own arrays.

#include "view/FramePlan.h"
#include "view/PixelCentres.h"
#include "view/ViewCaches.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The six indices of face f's two triangles into the draw vertices. The
// quad is cut along its diagonal from the first to the third corner, as
// Mesa cuts the quads drawn one at a time, and each triangle is written to
// end on the first corner: flat shading takes a triangle's lighting from its
// last vertex, and with shared vertices only the first corner carries the
// face normal. (Starting a triangle elsewhere in its cycle changes neither
// its edges nor, on Mesa, a single pixel.)
inline void PutFaceTriangles(const ProjectedMesh& mesh, std::size_t f, uint32_t out[6])
{
    uint32_t c0;
    uint32_t c1;
    uint32_t c2;
    uint32_t c3;
    if (mesh.drawShared) {
        const Quad& q = mesh.faces[f];
        c0 = static_cast<uint32_t>(q.i0);
        c1 = static_cast<uint32_t>(q.i1);
        c2 = static_cast<uint32_t>(q.i2);
        c3 = static_cast<uint32_t>(q.i3);
    } else {
        c0 = static_cast<uint32_t>(4 * f);
        c1 = c0 + 1;
        c2 = c0 + 2;
        c3 = c0 + 3;
    }
    out[0] = c1;
    out[1] = c2;
    out[2] = c0;
    out[3] = c2;
    out[4] = c3;
    out[5] = c0;
}

class DrawBuffers {
public:
    DrawBuffers() = default;
    DrawBuffers(const DrawBuffers&) = delete;
    DrawBuffers& operator=(const DrawBuffers&) = delete;
    // The buffers go with their context; Release them first to reuse the
    // names in a context that lives on.
    ~DrawBuffers() = default;

    // Makes the vertex buffer hold mesh's draw vertices unless it already
    // does, in place where their size is unchanged (a turn in four
    // dimensions). False when the context has no buffer objects, the mesh
    // has nothing to draw, or the driver has no room: the mesh's arrays are
    // then the ones to draw from.
    bool Hold(const ProjectedMesh& mesh);
    bool Holds(const ProjectedMesh& mesh) const
    {
        return held.vertexRevision != 0 && held.vertexRevision == mesh.drawRevision;
    }
    // The index buffer: both triangles of every face (as PutFaceTriangles
    // cuts them), in face order or in the given order of faces. The buffer's
    // old store is let go first, so the driver need not wait for draws that
    // still read it. False when the driver has no room (nothing is held then).
    bool WriteFaceOrder(const ProjectedMesh& mesh);
    bool WriteOrder(const ProjectedMesh& mesh, const std::vector<int32_t>& order);
    std::size_t IndexCount() const { return indexCount_; }
    void ReleaseIndices();
    void Release();

    unsigned vertexBuffer = 0;
    unsigned indexBuffer = 0;
    // Which faces the mesh drawn has (see FrameInputs::facesKey), set by
    // the caller that knows; 0: unknown.
    uint64_t facesKey = 0;
    HeldBuffers held;       // what the frame plans see held
    CentreSearch search;    // the culled path's search, kept between frames
    DrawPathChoice choice;  // which path, measured in this context
    DrawPath lastPath = DrawPath::Culled;  // the path of the last frame drawn
    bool lastFrameTrial = false;           // and whether it was a trial of that path

private:
    template <typename FaceOf>
    bool WriteIndices(const ProjectedMesh& mesh, FaceOf faceOf);
    std::size_t vertexBytes_ = 0;
    std::size_t indexCount_ = 0;
};

// Frees the mesh's own copy of the draw vertices once buffers hold them
// (drawVertexCount stays): at a million faces that is 24 MB the driver
// already has.
void DropDrawCopyHeldBy(const DrawBuffers& buffers, ProjectedMesh& mesh);

#pragma once
// The surface's draw vertices held by OpenGL in a buffer object: they go to
// the driver once per projection, and a frame after a turn in three
// dimensions (a new modelview only) sends no vertices, only the indices of
// the faces it draws. Every call needs the context the buffer was made in to
// be current. Where the context has no buffer objects, Hold fails and the
// renderer draws from the mesh's own arrays.

#include "view/ViewCaches.h"

#include <cstddef>
#include <cstdint>

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

    // Makes the buffer hold mesh's draw vertices unless it already does. False when the context
    // has no buffer objects, the mesh has nothing to draw, or the driver has
    // no room: the mesh's arrays are then the ones to draw from.
    bool Hold(const ProjectedMesh& mesh);
    bool Holds(const ProjectedMesh& mesh) const
    {
        return heldRevision != 0 && heldRevision == mesh.drawRevision;
    }
    void Release();

    unsigned vertexBuffer = 0;

private:
    uint64_t heldRevision = 0;
};

// Frees the mesh's own copy of the draw vertices once buffers hold them
// (drawVertexCount stays): at a million faces that is 24 MB the driver
// already has.
void DropDrawCopyHeldBy(const DrawBuffers& buffers, ProjectedMesh& mesh);

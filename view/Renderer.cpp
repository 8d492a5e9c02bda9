#include "view/Renderer.h"

#include "view/DepthOrder.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int32_t kColourCount = 7;

// Ambient and diffuse colour of the surface for each colour index. The alpha
// is what translucency blends with.
const GLfloat kSurfaceColours[kColourCount][4] = {
    {1.0f, 0.0f, 0.0f, 0.5f},      // red
    {1.0f, 0.75f, 0.0f, 0.5f},     // yellow
    {0.0f, 0.5f, 0.2f, 0.5f},      // green
    {0.46f, 0.48f, 0.5f, 0.5f},    // grey
    {0.5f, 0.7f, 1.0f, 0.5f},      // light blue
    {0.9f, 0.875f, 0.85f, 0.5f},   // white
    {0.1f, 0.11f, 0.105f, 0.5f},   // black
};
const GLfloat kUnknownColour[4] = {0.0f, 0.0f, 0.0f, 0.5f};
const GLfloat kBarColour[4] = {0.4f, 0.4f, 0.4f, 0.5f};
const GLfloat kSpecular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr GLfloat kShininess = 64.0f;

struct Light {
    GLenum id;
    GLfloat position[4];  // w = 0: a direction, not a point
    GLfloat colour[4];    // used for both specular and diffuse
};

const Light kLights[3] = {
    {GL_LIGHT0, {1.09f, 1.0f, 1.0f, 0.0f}, {0.5f, 0.0f, 0.0f, 0.0f}},
    {GL_LIGHT1, {1.0f, 1.09f, 1.0f, 0.0f}, {0.5f, 0.5f, 0.0f, 0.0f}},
    {GL_LIGHT2, {1.0f, 1.0f, 1.09f, 0.0f}, {0.0f, 0.5f, 1.0f, 0.0f}},
};

void SetMaterial(const GLfloat ambientAndDiffuse[4])
{
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, ambientAndDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, kSpecular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, kShininess);
}

bool InRange(int32_t index, std::size_t count)
{
    return index >= 0 && static_cast<std::size_t>(index) < count;
}

bool CornersInRange(const Quad& q, std::size_t count)
{
    return InRange(q.i0, count) && InRange(q.i1, count) && InRange(q.i2, count) &&
           InRange(q.i3, count);
}

// The caches are filled together, but nothing stops a caller from handing in
// arrays of different lengths; every index is checked against the shortest.
std::size_t CommonLength(const std::vector<double>& a, const std::vector<double>& b,
                         const std::vector<double>& c)
{
    return std::min({a.size(), b.size(), c.size()});
}

void DrawFace(GLenum mode, const Quad& q, double nx, double ny, double nz,
              const std::vector<double>& x, const std::vector<double>& y,
              const std::vector<double>& z)
{
    glBegin(mode);
    glNormal3d(nx, ny, nz);
    glVertex3d(x[q.i0], y[q.i0], z[q.i0]);
    glVertex3d(x[q.i1], y[q.i1], z[q.i1]);
    glVertex3d(x[q.i2], y[q.i2], z[q.i2]);
    glVertex3d(x[q.i3], y[q.i3], z[q.i3]);
    glEnd();
}

void DrawMeshFace(const ProjectedMesh& mesh, std::size_t f, std::size_t vertexCount,
                  std::size_t normalCount)
{
    if (f >= mesh.faces.size() || f >= normalCount) {
        return;
    }
    const Quad& q = mesh.faces[f];
    if (!CornersInRange(q, vertexCount)) {
        return;
    }
    DrawFace(GL_QUADS, q, mesh.faceNormalX[f], mesh.faceNormalY[f], mesh.faceNormalZ[f],
             mesh.projX, mesh.projY, mesh.projZ);
}

void DrawBar(const BarTube& bar)
{
    const std::size_t vertexCount = CommonLength(bar.barX, bar.barY, bar.barZ);
    const std::size_t normalCount =
        CommonLength(bar.barNormalX, bar.barNormalY, bar.barNormalZ);
    for (std::size_t j = 0; j < bar.barFaces.size(); ++j) {
        const Quad& q = bar.barFaces[j];
        if (j >= normalCount || !CornersInRange(q, vertexCount)) {
            continue;
        }
        DrawFace(GL_POLYGON, q, bar.barNormalX[j], bar.barNormalY[j], bar.barNormalZ[j],
                 bar.barX, bar.barY, bar.barZ);
    }
}

}  // namespace

void InitGL()
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);

    for (const Light& light : kLights) {
        glLightfv(light.id, GL_POSITION, light.position);
    }
    for (const Light& light : kLights) {
        glLightfv(light.id, GL_SPECULAR, light.colour);
        glLightfv(light.id, GL_DIFFUSE, light.colour);
    }
    glEnable(GL_LIGHTING);
    // The surfaces are one-sided: there is no consistent outside to light.
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 1.0f);
    for (const Light& light : kLights) {
        glEnable(light.id);
    }
    // The modelview carries uniform scales, which would otherwise scale the
    // normals and with them the lighting.
    glEnable(GL_NORMALIZE);
}

bool ApplyOrthoProjection(int width, int height)
{
    if (width <= 0 || height <= 0) {
        return false;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double r = static_cast<double>(height) / static_cast<double>(width);
    glOrtho(-1.0, 1.0, -r, r, -10.0, 10.0);
    return true;
}

namespace {

// Steps shared by both ways of drawing the faces: clear, blending and the
// surface material. Returns the modelview the depth order is taken under.
void BeginFrame(const DisplaySettings& display, double modelview[16])
{
    if (display.whiteBackground != 0) {
        glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_MODELVIEW);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);

    // Depth writes stay on in both modes, so a translucent face hides whatever
    // is drawn behind it later; the sort makes "later" mean "nearer".
    if (display.translucent != 0) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }

    const int32_t colour = display.colorIndex;
    SetMaterial(colour >= 0 && colour < kColourCount ? kSurfaceColours[colour]
                                                     : kUnknownColour);
}

void FinishFrame(const DisplaySettings& display, const BarTube& bar)
{
    if (display.noBars != 0) {
        return;
    }
    SetMaterial(kBarColour);
    DrawBar(bar);
}

using OrderBuilder = void (*)(const ProjectedMesh&, const double[16], std::vector<int32_t>&);

// The painter's order, or false when its temporaries cannot be allocated:
// unsorted translucency looks wrong where faces overlap, but a frame drawn
// in stored order beats no frame at all.
bool TryOrder(OrderBuilder build, const ProjectedMesh& mesh, const double modelview[16],
              std::vector<int32_t>& order)
{
    try {
        build(mesh, modelview, order);
        if (order.size() == mesh.faces.size()) {
            return true;
        }
    } catch (const std::bad_alloc&) {
    }
    std::vector<int32_t>().swap(order);
    return false;
}

// One glBegin/glEnd pair per face.
void DrawFacesImmediate(const DisplaySettings& display, const ProjectedMesh& mesh,
                        const double modelview[16], OrderBuilder build)
{
    const std::size_t faceCount = mesh.faces.size();
    const std::size_t vertexCount = CommonLength(mesh.projX, mesh.projY, mesh.projZ);
    const std::size_t normalCount =
        CommonLength(mesh.faceNormalX, mesh.faceNormalY, mesh.faceNormalZ);

    std::vector<int32_t> order;
    const bool sorted = display.translucent != 0 && TryOrder(build, mesh, modelview, order);
    for (std::size_t i = 0; i < faceCount; ++i) {
        const std::size_t f = sorted ? static_cast<std::size_t>(order[i]) : i;
        DrawMeshFace(mesh, f, vertexCount, normalCount);
    }
}

// Quads per draw call: a multiple of 4 vertices, so that no quad is split.
// Small enough that a sorted batch stays in the cache between our copy and
// the driver's read, large enough that the calls cost nothing next to the
// drawing.
constexpr std::size_t kQuadsPerCall = 4096;
constexpr std::size_t kVerticesPerCall = 4 * kQuadsPerCall;

// Between calls the commands are flushed. A software rasteriser (Mesa's
// llvmpipe) otherwise bins a whole million-face frame into scenes of tens of
// megabytes, whose memory it keeps for later frames (40 MB and more at a
// million faces); handed a call at a time, it keeps a few megabytes and
// starts rasterising while the rest is still coming. Flushing changes when
// the work is done, never what is drawn.
void FlushBetweenCalls(bool moreToCome)
{
    if (moreToCome) {
        glFlush();
    }
}

void PointArraysAt(const DrawVertex* vertices)
{
    glNormalPointer(GL_FLOAT, sizeof(DrawVertex), &vertices[0].nx);
    glVertexPointer(3, GL_FLOAT, sizeof(DrawVertex), &vertices[0].x);
}

// The quads in painter's order. They are copied in batches and each batch
// drawn like the stored order is (glDrawArrays), not through an index array:
// indexed quads (glDrawElements) came out a pixel or two different from the
// immediate calls on Mesa where faces nearly touch, array-drawn ones did not.
// OpenGL reads client arrays during the call, so the batch buffer can be
// refilled right after. Returns false, having drawn nothing, when the order
// or the buffer cannot be allocated.
bool DrawQuadsSorted(const ProjectedMesh& mesh, const double modelview[16],
                     std::size_t quadCount)
{
    std::vector<int32_t> order;
    std::vector<DrawVertex> batch;
    if (!TryOrder(BuildBackToFrontOrder, mesh, modelview, order)) {
        return false;
    }
    try {
        batch.resize(4 * std::min(kQuadsPerCall, quadCount));
    } catch (const std::bad_alloc&) {
        return false;
    }

    const DrawVertex* source = mesh.drawVertices.data();
    const int32_t* slots = mesh.drawSlot.empty() ? nullptr : mesh.drawSlot.data();
    DrawVertex* buffer = batch.data();
    PointArraysAt(buffer);
    std::size_t filled = 0;
    std::size_t remaining = order.size();
    for (const int32_t f : order) {
        --remaining;
        const int32_t slot = slots ? slots[f] : f;
        if (slot < 0 || static_cast<std::size_t>(slot) >= quadCount) {
            continue;
        }
        std::memcpy(buffer + 4 * filled, source + 4 * static_cast<std::size_t>(slot),
                    4 * sizeof(DrawVertex));
        if (++filled == kQuadsPerCall) {
            glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(4 * filled));
            filled = 0;
            FlushBetweenCalls(remaining != 0);
        }
    }
    if (filled != 0) {
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(4 * filled));
    }
    return true;
}

// Every face from the prebuilt arrays: in stored order straight from them,
// in painter's order through a batch buffer.
void DrawFacesFromArrays(const DisplaySettings& display, const ProjectedMesh& mesh,
                         const double modelview[16])
{
    const std::size_t quadCount = mesh.drawVertices.size() / 4;
    if (quadCount == 0) {
        return;
    }
    const std::size_t faceCount = mesh.faces.size();
    const bool slotted = !mesh.drawSlot.empty();
    if ((slotted && mesh.drawSlot.size() != faceCount) || (!slotted && quadCount != faceCount)) {
        // Not the arrays of these faces; drawing them could show anything.
        return;
    }

    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    const bool sorted =
        display.translucent != 0 && DrawQuadsSorted(mesh, modelview, quadCount);
    if (!sorted) {
        PointArraysAt(mesh.drawVertices.data());
        const std::size_t total = 4 * quadCount;
        for (std::size_t start = 0; start < total; start += kVerticesPerCall) {
            const std::size_t count = std::min(kVerticesPerCall, total - start);
            glDrawArrays(GL_QUADS, static_cast<GLint>(start), static_cast<GLsizei>(count));
            FlushBetweenCalls(start + count < total);
        }
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
}

}  // namespace

void DrawSurface(const DisplaySettings& display, const ProjectedMesh& mesh, const BarTube& bar)
{
    double modelview[16];
    BeginFrame(display, modelview);
    if (mesh.drawArraysCurrent) {
        DrawFacesFromArrays(display, mesh, modelview);
    } else {
        DrawFacesImmediate(display, mesh, modelview, BuildBackToFrontOrder);
    }
    FinishFrame(display, bar);
}

void DrawSurfaceImmediate(const DisplaySettings& display, const ProjectedMesh& mesh,
                          const BarTube& bar)
{
    double modelview[16];
    BeginFrame(display, modelview);
    DrawFacesImmediate(display, mesh, modelview, BuildBackToFrontOrderStable);
    FinishFrame(display, bar);
}

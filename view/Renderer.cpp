#include "view/Renderer.h"

#include "view/BufferObjects.h"
#include "view/DepthOrder.h"
#include "view/PixelCentres.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
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

// The back side's colour for each colour index: a partner from a palette
// made for the common colour-vision deficiencies (Okabe and Ito's), chosen
// to differ from its front colour in lightness as well as in hue.
const GLfloat kBackColours[kColourCount][4] = {
    {0.337f, 0.706f, 0.914f, 0.5f},  // red: sky blue
    {0.0f, 0.447f, 0.698f, 0.5f},    // yellow: blue
    {0.8f, 0.475f, 0.655f, 0.5f},    // green: reddish purple
    {0.902f, 0.624f, 0.0f, 0.5f},    // grey: orange
    {0.835f, 0.369f, 0.0f, 0.5f},    // light blue: vermillion
    {0.0f, 0.620f, 0.451f, 0.5f},    // white: bluish green
    {0.941f, 0.894f, 0.259f, 0.5f},  // black: yellow
};
const GLfloat kUnknownBackColour[4] = {0.6f, 0.6f, 0.6f, 0.5f};
// The marker: a colour found neither among the surface colours, their
// partners nor the w colours, drawn unlit so that it reads the same on
// both sides and in any light.
const GLfloat kMarkerColour[4] = {1.0f, 0.0f, 1.0f, 1.0f};
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

// colours: four floats a face, or null for the material's colour.
void DrawMeshFace(const ProjectedMesh& mesh, std::size_t f, std::size_t vertexCount,
                  std::size_t normalCount, const float* colours)
{
    if (f >= mesh.faces.size() || f >= normalCount) {
        return;
    }
    const Quad& q = mesh.faces[f];
    if (!CornersInRange(q, vertexCount)) {
        return;
    }
    if (colours != nullptr) {
        glColor4fv(colours + 4 * f);
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

// The face colours when they fit the mesh (for both ways of drawing, so
// that the two agree), else null.
const FaceColours* UsableColours(const AidDrawing& aids, const ProjectedMesh& mesh)
{
    const FaceColours* colours = aids.faceColours;
    if (colours == nullptr || colours->perFace.size() != 4 * mesh.faces.size() ||
        colours->perCorner.size() != 4 * mesh.drawVertexCount) {
        return nullptr;
    }
    return colours;
}

// Steps shared by both ways of drawing the faces: clear, blending and the
// surface material. Returns the modelview the depth order is taken under.
void BeginFrame(const DisplaySettings& display, const AidDrawing& aids,
                const FaceColours* colours, double modelview[16])
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
    const bool known = colour >= 0 && colour < kColourCount;
    SetMaterial(known ? kSurfaceColours[colour] : kUnknownColour);
    if (colours != nullptr) {
        // Each face's own colour becomes its material, front and back.
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
    } else if (aids.backColour) {
        glMaterialfv(GL_BACK, GL_AMBIENT_AND_DIFFUSE,
                     known ? kBackColours[colour] : kUnknownBackColour);
    }
}

// The marker, unlit and opaque: after the faces, so a translucent surface
// does not cover it, with the depth test still hiding it behind nearer
// faces.
void DrawMarker(const DisplaySettings& display, const MarkerShape* marker)
{
    glDisable(GL_COLOR_MATERIAL);
    if (marker == nullptr || marker->corners.empty()) {
        return;
    }
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glColor4fv(kMarkerColour);
    glBegin(GL_TRIANGLES);
    const std::size_t count = marker->corners.size() / 9 * 9;
    for (std::size_t i = 0; i < count; i += 3) {
        glVertex3d(marker->corners[i], marker->corners[i + 1], marker->corners[i + 2]);
    }
    glEnd();
    glEnable(GL_LIGHTING);
    if (display.translucent != 0) {
        glEnable(GL_BLEND);
    }
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
                        const double modelview[16], OrderBuilder build,
                        const FaceColours* colours)
{
    const float* perFace = colours != nullptr ? colours->perFace.data() : nullptr;
    const std::size_t faceCount = mesh.faces.size();
    const std::size_t vertexCount = CommonLength(mesh.projX, mesh.projY, mesh.projZ);
    const std::size_t normalCount =
        CommonLength(mesh.faceNormalX, mesh.faceNormalY, mesh.faceNormalZ);

    std::vector<int32_t> order;
    const bool sorted = display.translucent != 0 && TryOrder(build, mesh, modelview, order);
    for (std::size_t i = 0; i < faceCount; ++i) {
        const std::size_t f = sorted ? static_cast<std::size_t>(order[i]) : i;
        DrawMeshFace(mesh, f, vertexCount, normalCount, perFace);
    }
}

// Quads per draw call. Small enough that a sorted batch of indices stays in
// the cache between our copy and the driver's read, large enough that the
// calls cost nothing next to the drawing.
constexpr std::size_t kQuadsPerCall = 4096;

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

// Where the draw vertices are read from: buffer objects (gl set) or the
// mesh's own arrays.
struct ArraySource {
    const BufferFunctions* gl = nullptr;
    unsigned vertexBuffer = 0;
    const DrawVertex* vertices = nullptr;
};

// An offset into a bound buffer, as the gl*Pointer and glDrawElements calls
// take it.
const void* BufferOffset(std::size_t bytes)
{
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(bytes));
}

// colours: four floats a draw vertex in client memory, or null.
void PointArrays(const ArraySource& source, const float* colours)
{
    if (colours != nullptr) {
        if (source.gl != nullptr) {
            source.gl->bindBuffer(GL_ARRAY_BUFFER, 0);
        }
        glColorPointer(4, GL_FLOAT, 0, colours);
    }
    // Each pointer keeps the buffer bound when it is set.
    if (source.gl != nullptr) {
        source.gl->bindBuffer(GL_ARRAY_BUFFER, source.vertexBuffer);
        glNormalPointer(GL_FLOAT, sizeof(DrawVertex), BufferOffset(offsetof(DrawVertex, nx)));
        glVertexPointer(3, GL_FLOAT, sizeof(DrawVertex), BufferOffset(offsetof(DrawVertex, x)));
        source.gl->bindBuffer(GL_ARRAY_BUFFER, 0);
    } else {
        glNormalPointer(GL_FLOAT, sizeof(DrawVertex), &source.vertices[0].nx);
        glVertexPointer(3, GL_FLOAT, sizeof(DrawVertex), &source.vertices[0].x);
    }
}

// The faces in the given order (null: stored order), as triangles from
// batches of indices in client memory, leaving out the triangles that
// cannot show (see MarkFacesThatCanShow; showing null: none), each batch
// once marking has marked its faces (marking null: all are). Where even a
// batch cannot be allocated, smaller batches on the stack do.
void DrawTriangleBatches(const ProjectedMesh& mesh, const std::vector<int32_t>* order,
                         const uint8_t* showing, FacesMarkedAhead* marking)
{
    constexpr std::size_t kFallbackQuads = 256;
    uint32_t fallback[6 * kFallbackQuads];
    const std::size_t faceCount = mesh.faces.size();
    std::vector<uint32_t> batch;
    uint32_t* out = fallback;
    std::size_t perCall = kFallbackQuads;
    try {
        batch.resize(6 * std::min(kQuadsPerCall, faceCount));
        out = batch.data();
        perCall = kQuadsPerCall;
    } catch (const std::bad_alloc&) {
    }
    std::size_t filled = 0;
    std::size_t marked = 0;
    for (std::size_t i = 0; i < faceCount; ++i) {
        if (marking != nullptr && i == marked) {
            marked = std::min(faceCount, i + perCall);
            marking->WaitFor(marked);
        }
        const std::size_t f = order != nullptr ? static_cast<std::size_t>((*order)[i]) : i;
        const uint8_t triangles = showing != nullptr ? showing[f] : 3;
        if (triangles != 0) {
            uint32_t six[6];
            PutFaceTriangles(mesh, f, six);
            if ((triangles & 1) != 0) {
                std::copy(six, six + 3, out + 3 * filled++);
            }
            if ((triangles & 2) != 0) {
                std::copy(six + 3, six + 6, out + 3 * filled++);
            }
        }
        // Room for the next face's two triangles stays.
        if (filled + 2 > 2 * perCall || (i + 1 == faceCount && filled != 0)) {
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * filled), GL_UNSIGNED_INT, out);
            filled = 0;
            FlushBetweenCalls(i + 1 < faceCount);
        }
    }
}

// The mapping from projected coordinates to window pixels under the
// current matrices, viewport and depth range; false unless both matrices
// are affine (as the view's orthographic projection and its turns, moves
// and scales are).
bool CurrentWindowMapping(const double modelview[16], WindowMapping& out)
{
    double projection[16];
    GLint viewport[4];
    double depthRange[2];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetDoublev(GL_DEPTH_RANGE, depthRange);
    const int box[4] = {viewport[0], viewport[1], viewport[2], viewport[3]};
    return WindowMappingOf(projection, modelview, box, depthRange, out);
}

// Whether a fragment behind another can never show: opaque, with the depth
// test keeping the nearer (or the later of equals) and writing its depth,
// over the whole depth range (the cover takes the near and far planes to lie
// at depths 0 and 1).
bool NearerFragmentsWin(const DisplaySettings& display)
{
    if (display.translucent != 0 || glIsEnabled(GL_DEPTH_TEST) != GL_TRUE) {
        return false;
    }
    GLint function = GL_ALWAYS;
    GLboolean writes = GL_FALSE;
    double range[2] = {0.0, 0.0};
    glGetIntegerv(GL_DEPTH_FUNC, &function);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
    glGetDoublev(GL_DEPTH_RANGE, range);
    return (function == GL_LESS || function == GL_LEQUAL) && writes == GL_TRUE &&
           range[0] == 0.0 && range[1] == 1.0;
}

// Whether the draw arrays are what ProjectMesh made for these faces.
bool DrawArraysFit(const ProjectedMesh& mesh)
{
    const std::size_t expected = mesh.drawShared ? mesh.projX.size() : 4 * mesh.faces.size();
    return mesh.drawRevision != 0 && !mesh.faces.empty() && mesh.drawVertexCount == expected;
}

// The draw path's choice for this context: what it offers, what renderer
// it is and whether TARVO_DRAW_PATH forces a path.
void ConfigureChoice(DrawPathChoice& choice, bool buffersOffered)
{
    DrawPath forced = DrawPath::Culled;
    const bool isForced = DrawPathFromEnvironment(forced);
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    choice.Configure(buffersOffered, IsSoftwareRenderer(renderer), isForced ? &forced : nullptr);
}

FrameSituation SituationOf(const ProjectedMesh& mesh, const FrameInputs& in)
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    FrameSituation situation;
    situation.facesKey = in.facesKey;
    situation.faceCount = mesh.faces.size();
    situation.width = viewport[2];
    situation.height = viewport[3];
    situation.translucent = in.translucent;
    return situation;
}

// Triangles a draw from the index buffer: on graphics hardware a handful of
// calls cost nothing, and a software rasteriser handed a whole frame in one
// call would bin all of it into scenes it keeps (see FlushBetweenCalls).
constexpr std::size_t kTrianglesPerBufferDraw = std::size_t{1} << 17;

void DrawIndexBuffer(const BufferFunctions& gl, const DrawBuffers& buffers)
{
    gl.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.indexBuffer);
    const std::size_t count = buffers.IndexCount();
    constexpr std::size_t kPerDraw = 3 * kTrianglesPerBufferDraw;
    for (std::size_t first = 0; first < count; first += kPerDraw) {
        const std::size_t n = std::min(kPerDraw, count - first);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(n), GL_UNSIGNED_INT,
                       BufferOffset(first * sizeof(uint32_t)));
        FlushBetweenCalls(first + n < count);
    }
    gl.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

// The buffers path: the index buffer brought up to date as planned, then
// drawn. False, with nothing drawn, when the driver has no room for it.
bool DrawFromBuffers(FramePlan& plan, const ProjectedMesh& mesh, const double modelview[16],
                     DrawBuffers& buffers)
{
    if (plan.releaseSearch) {
        buffers.search = CentreSearch();
    }
    if (plan.writeIndices) {
        std::vector<int32_t> order;
        plan.sort = plan.sort && TryOrder(BuildBackToFrontOrder, mesh, modelview, order);
        const bool written =
            plan.sort ? buffers.WriteOrder(mesh, order) : buffers.WriteFaceOrder(mesh);
        if (!written) {
            return false;
        }
    }
    DrawIndexBuffer(*CurrentBufferFunctions(), buffers);
    return true;
}

// The culled path: the triangles that can show, in batches from client
// memory.
void DrawCulled(const FramePlan& plan, const ProjectedMesh& mesh, const double modelview[16],
                DrawBuffers* buffers)
{
    if (buffers != nullptr && plan.releaseIndices) {
        buffers->ReleaseIndices();
    }
    // Kept from frame to frame, as the figure's size changes only with a
    // new mesh. Without memory for them every face is drawn: the same
    // picture, more slowly.
    static CentreSearch clientSearch;
    CentreSearch& search = buffers != nullptr ? buffers->search : clientSearch;
    WindowMapping mapping;
    bool culled = false;
    if (plan.searchTriangles && CurrentWindowMapping(modelview, mapping)) {
        try {
            PrepareCentreSearch(mesh, mapping, plan.leaveOutCovered, search);
            culled = true;
        } catch (const std::bad_alloc&) {
            search = CentreSearch();
        }
    }
    std::vector<int32_t> order;
    const bool sorted = plan.sort && TryOrder(BuildBackToFrontOrder, mesh, modelview, order);
    if (!culled) {
        DrawTriangleBatches(mesh, sorted ? &order : nullptr, nullptr, nullptr);
    } else if (sorted) {
        MarkAllFaces(mesh, search);
        DrawTriangleBatches(mesh, &order, search.showing.data(), nullptr);
    } else {
        // The first faces are drawn while the later ones are being marked.
        FacesMarkedAhead marking(mesh, search);
        DrawTriangleBatches(mesh, nullptr, search.showing.data(), &marking);
    }
}

// Every face that can show from the draw arrays, on the path the frame's
// plan takes, held by buffers where they can be.
void DrawFacesFromArrays(const DisplaySettings& display, const ProjectedMesh& mesh,
                         const double modelview[16], const FaceColours* faceColours,
                         DrawBuffers* buffers)
{
    if (buffers != nullptr) {
        buffers->lastFrameTrial = false;
    }
    if (!DrawArraysFit(mesh)) {
        return;
    }
    const BufferFunctions* gl = buffers != nullptr ? CurrentBufferFunctions() : nullptr;
    FrameInputs in;
    in.buffersOffered = gl != nullptr;
    in.translucent = display.translucent != 0;
    in.nearerFragmentsWin = NearerFragmentsWin(display);
    in.drawRevision = mesh.drawRevision;
    in.facesKey = buffers != nullptr ? buffers->facesKey : 0;
    in.depthRow[0] = modelview[2];
    in.depthRow[1] = modelview[6];
    in.depthRow[2] = modelview[10];
    FrameSituation situation;
    DrawPathChoice::Step step;
    if (buffers != nullptr) {
        if (!buffers->choice.Configured()) {
            ConfigureChoice(buffers->choice, gl != nullptr);
        }
        situation = SituationOf(mesh, in);
        step = buffers->choice.Next(situation);
    }
    in.path = step.path;
    const auto start = std::chrono::steady_clock::now();
    const HeldBuffers none;
    FramePlan plan = PlanFrame(in, buffers != nullptr ? buffers->held : none);

    ArraySource source;
    if (plan.fromVertexBuffer && buffers->Hold(mesh)) {
        source.gl = gl;
        source.vertexBuffer = buffers->vertexBuffer;
    } else if (mesh.drawVertices.size() == mesh.drawVertexCount) {
        source.vertices = mesh.drawVertices.data();
        if (plan.fromVertexBuffer) {
            // No room in the driver: client arrays, culled.
            buffers->choice.BuffersFailed(situation);
            in.buffersOffered = false;
            plan = PlanFrame(in, buffers->held);
        }
    } else {
        return;  // the vertices went to buffers this context does not have
    }

    const float* colours = faceColours != nullptr ? faceColours->perCorner.data() : nullptr;
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (colours != nullptr) {
        glEnableClientState(GL_COLOR_ARRAY);
    }
    PointArrays(source, colours);
    // A triangle's colour is its last vertex's: with shared vertices the
    // quad's first corner, the one that carries its normal. Four corners a
    // face all carry it, so flat shading changes nothing there.
    glShadeModel(GL_FLAT);
    if (display.translucent == 0) {
        ReleaseOrderWorkspace();  // an opaque figure needs no order
    }
    if (plan.path == DrawPath::Buffers && !DrawFromBuffers(plan, mesh, modelview, *buffers)) {
        buffers->choice.BuffersFailed(situation);
        in.path = DrawPath::Culled;
        plan = PlanFrame(in, buffers->held);
    }
    if (plan.path == DrawPath::Culled) {
        DrawCulled(plan, mesh, modelview, buffers);
    }
    glShadeModel(GL_SMOOTH);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    if (buffers == nullptr) {
        return;
    }
    RecordPlanDone(plan, in, buffers->held);
    buffers->lastPath = plan.path;
    buffers->lastFrameTrial = step.trial;
    if (step.trial) {
        // The rasteriser's share counts too.
        glFinish();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        buffers->choice.Record(took.count());
    }
}

}  // namespace

void DrawSurface(const DisplaySettings& display, const ProjectedMesh& mesh, const BarTube& bar,
                 const AidDrawing& aids, DrawBuffers* buffers)
{
    const FaceColours* colours = UsableColours(aids, mesh);
    double modelview[16];
    BeginFrame(display, aids, colours, modelview);
    DrawFacesFromArrays(display, mesh, modelview, colours, buffers);
    DrawMarker(display, aids.marker);
    FinishFrame(display, bar);
}

void DrawSurfaceImmediate(const DisplaySettings& display, const ProjectedMesh& mesh,
                          const BarTube& bar)
{
    DrawSurfaceImmediate(display, mesh, bar, AidDrawing{});
}

void DrawSurfaceImmediate(const DisplaySettings& display, const ProjectedMesh& mesh,
                          const BarTube& bar, const AidDrawing& aids)
{
    const FaceColours* colours = UsableColours(aids, mesh);
    double modelview[16];
    BeginFrame(display, aids, colours, modelview);
    DrawFacesImmediate(display, mesh, modelview, BuildBackToFrontOrderStable, colours);
    DrawMarker(display, aids.marker);
    FinishFrame(display, bar);
}

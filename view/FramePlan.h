#pragma once
// What a frame of the surface is drawn with, decided without OpenGL; the
// renderer only carries it out.
//
// Two ways to draw the same pixels:
// - Culled: the processor finds the triangles that can show (see
//   PixelCentres.h) and hands them over in batches of indices with a flush
//   between. On a software rasteriser, where every triangle costs the
//   processor, that pays.
// - Buffers: vertices and triangle indices stay in buffer objects, written
//   only when the projection, the faces or the painter's order change; a
//   turn, move or scale is a few draws from bound buffers with no work per
//   face on the processor. On graphics hardware that is all but free.
// Which is faster is measured, not guessed (DrawPathChoice).

#include <cstddef>
#include <cstdint>

enum class DrawPath : uint8_t { Culled, Buffers };

// The path named by text ("buffers" or "culled", as TARVO_DRAW_PATH takes
// it); false for anything else, path untouched.
bool ParseDrawPath(const char* text, DrawPath& path);
// TARVO_DRAW_PATH from the environment, for tests and the benchmark.
bool DrawPathFromEnvironment(DrawPath& path);
const char* DrawPathName(DrawPath path);

// Whether OpenGL's renderer string names a rasteriser that runs on the
// processor (Mesa's llvmpipe, softpipe and swrast, Windows' own "GDI
// Generic"): there the culled path is the likely winner and is tried first.
bool IsSoftwareRenderer(const char* renderer);

// What a choice of path holds for: the same faces in a window of the same
// size, opaque or translucent. Anything else may change which path wins.
struct FrameSituation {
    uint64_t facesKey = 0;
    std::size_t faceCount = 0;
    int width = 0;
    int height = 0;
    bool translucent = false;
};
bool operator==(const FrameSituation& a, const FrameSituation& b);

// Chooses the path by timing frames both ways. A new situation starts with
// four trial frames: two on the likely path (software renderer: culled,
// else buffers), then two on the other; the first of each pair fills that
// path's buffers and caches and is not counted. The second frames decide:
// the other path is taken where it was clearly (10 %) faster. The last few
// situations' choices are kept, so that going back and forth (translucency
// on and off, a picture saved at twice the size) does not measure again.
class DrawPathChoice {
public:
    // What the context offers. A forced path is used alone; without
    // buffer objects only the culled path is there. Forgets every choice.
    void Configure(bool buffersOffered, bool softwareRenderer, const DrawPath* forced);

    struct Step {
        DrawPath path = DrawPath::Culled;
        bool trial = false;  // time this frame (after glFinish) and Record it
    };
    Step Next(const FrameSituation& situation);
    // The time of the trial frame Next last handed out.
    void Record(double milliseconds);
    // The buffers could not be had (the driver had no room): the culled
    // path for this situation from now on.
    void BuffersFailed(const FrameSituation& situation);

    bool Configured() const { return configured_; }
    // The path chosen for the situation, or false while it is undecided.
    bool ChosenFor(const FrameSituation& situation, DrawPath& path) const;

private:
    static constexpr int kTrialFrames = 4;
    static constexpr int kKept = 8;
    void Decide(DrawPath path);

    bool configured_ = false;
    bool fixed_ = false;
    DrawPath fixedPath_ = DrawPath::Culled;
    DrawPath likely_ = DrawPath::Buffers;
    FrameSituation trialSituation_;
    bool trying_ = false;
    int trialFrame_ = 0;
    double trialMs_[2] = {0.0, 0.0};  // likely path, other path
    struct Kept {
        FrameSituation situation;
        DrawPath path = DrawPath::Culled;
        bool used = false;
    } kept_[kKept];
    int nextKept_ = 0;
};

// What the buffer objects hold, as the plans see it.
struct HeldBuffers {
    uint64_t vertexRevision = 0;  // the drawRevision of the vertices held; 0: none
    enum class Indices : uint8_t { None, FaceOrder, Sorted };
    Indices indices = Indices::None;
    uint64_t indexFacesKey = 0;   // the faces key they were written for (0: unknown)
    uint64_t indexRevision = 0;   // the drawRevision they were written for
    double indexDepthRow[3] = {0.0, 0.0, 0.0};  // Sorted: the order's depth row
    bool searchHeld = false;      // the culled path's caches between frames
};

// One frame's inputs.
struct FrameInputs {
    DrawPath path = DrawPath::Culled;
    bool buffersOffered = false;  // the context has buffer objects
    bool translucent = false;
    // Opaque with the depth test keeping the nearer fragment: faces behind
    // the figure's own front may be left out (culled path only).
    bool nearerFragmentsWin = false;
    uint64_t drawRevision = 0;
    // Says which faces these are, unchanged by a turn in four dimensions
    // (the view's mesh revision); 0 where the caller cannot tell, and then
    // the faces of every new projection count as new.
    uint64_t facesKey = 0;
    // The modelview's depth row (elements 2, 6 and 10, column by column):
    // all the painter's order depends on besides the projection.
    double depthRow[3] = {0.0, 0.0, 0.0};
};

struct FramePlan {
    DrawPath path = DrawPath::Culled;
    bool fromVertexBuffer = false;  // else from the mesh's arrays in client memory
    bool writeVertices = false;
    bool sort = false;              // work out the painter's order this frame
    bool searchTriangles = false;   // find the triangles that can show
    bool leaveOutCovered = false;   // and leave out those behind the front
    bool writeIndices = false;      // the index buffer anew: face order, or the new order
    bool drawFromIndexBuffer = false;
    bool releaseIndices = false;    // a buffer the culled path does not use
    bool releaseSearch = false;     // caches the buffers path does not use
};

FramePlan PlanFrame(const FrameInputs& in, const HeldBuffers& held);

// What the buffers hold once plan has been carried out without failure.
void RecordPlanDone(const FramePlan& plan, const FrameInputs& in, HeldBuffers& held);

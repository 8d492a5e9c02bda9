// The plan of a frame and the choice of path, without OpenGL: what each
// kind of change writes, what each path lets go of, and how the timings
// decide.

#include "view/FramePlan.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

FrameInputs Opaque(DrawPath path)
{
    FrameInputs in;
    in.path = path;
    in.buffersOffered = true;
    in.nearerFragmentsWin = true;
    in.drawRevision = 10;
    in.facesKey = 3;
    in.depthRow[0] = 0.1;
    in.depthRow[1] = -0.7;
    in.depthRow[2] = 0.7;
    return in;
}

// Carries out plans for the frames in turn, as the renderer would.
struct Frames {
    HeldBuffers held;
    FramePlan Draw(const FrameInputs& in)
    {
        const FramePlan plan = PlanFrame(in, held);
        RecordPlanDone(plan, in, held);
        return plan;
    }
};

TEST(FramePlanTest, BuffersPathWritesOnlyWhatChanged)
{
    Frames frames;
    FrameInputs in = Opaque(DrawPath::Buffers);
    FramePlan plan = frames.Draw(in);
    EXPECT_TRUE(plan.writeVertices && plan.writeIndices && plan.drawFromIndexBuffer);
    EXPECT_FALSE(plan.sort || plan.searchTriangles);

    // A 3D turn, a move or a scale: a new modelview only.
    in.depthRow[0] = 0.2;
    plan = frames.Draw(in);
    EXPECT_FALSE(plan.writeVertices || plan.writeIndices || plan.sort);

    // A 4D turn: new vertices, the same faces.
    in.drawRevision = 11;
    plan = frames.Draw(in);
    EXPECT_TRUE(plan.writeVertices);
    EXPECT_FALSE(plan.writeIndices);

    // A new mesh.
    in.drawRevision = 12;
    in.facesKey = 4;
    plan = frames.Draw(in);
    EXPECT_TRUE(plan.writeVertices && plan.writeIndices);

    // Faces the caller cannot vouch for count as new with every projection.
    in.facesKey = 0;
    frames.Draw(in);
    EXPECT_FALSE(frames.Draw(in).writeIndices);
    in.drawRevision = 13;
    EXPECT_TRUE(frames.Draw(in).writeIndices);
}

TEST(FramePlanTest, TranslucentOrderIsWrittenOnlyWhenItMayHaveChanged)
{
    Frames frames;
    FrameInputs in = Opaque(DrawPath::Buffers);
    frames.Draw(in);
    in.translucent = true;
    FramePlan plan = frames.Draw(in);
    EXPECT_TRUE(plan.sort && plan.writeIndices) << "face order held, not the painter's";

    // A move changes no depth row: the order stands.
    plan = frames.Draw(in);
    EXPECT_FALSE(plan.sort || plan.writeIndices || plan.writeVertices);

    // A turn, a scale (keys rounded anew) and a 4D turn each sort again.
    in.depthRow[1] = -0.71;
    EXPECT_TRUE(frames.Draw(in).sort);
    in.depthRow[0] *= 1.5;
    in.depthRow[1] *= 1.5;
    in.depthRow[2] *= 1.5;
    EXPECT_TRUE(frames.Draw(in).sort);
    in.drawRevision = 11;
    plan = frames.Draw(in);
    EXPECT_TRUE(plan.sort && plan.writeIndices && plan.writeVertices);

    // Back to opaque: the face order again, once.
    in.translucent = false;
    EXPECT_TRUE(frames.Draw(in).writeIndices);
    EXPECT_FALSE(frames.Draw(in).writeIndices);
}

TEST(FramePlanTest, EachPathLetsGoOfWhatOnlyTheOtherUses)
{
    Frames frames;
    FrameInputs in = Opaque(DrawPath::Culled);
    FramePlan plan = frames.Draw(in);
    EXPECT_TRUE(plan.searchTriangles && plan.leaveOutCovered && plan.fromVertexBuffer);
    EXPECT_FALSE(plan.drawFromIndexBuffer || plan.writeIndices || plan.releaseIndices);
    EXPECT_TRUE(frames.held.searchHeld);

    in.path = DrawPath::Buffers;
    plan = frames.Draw(in);
    EXPECT_TRUE(plan.releaseSearch);
    EXPECT_FALSE(plan.releaseIndices || frames.held.searchHeld);

    in.path = DrawPath::Culled;
    plan = frames.Draw(in);
    EXPECT_TRUE(plan.releaseIndices);
    EXPECT_EQ(frames.held.indices, HeldBuffers::Indices::None);
    // So the buffers path writes them again when it comes back.
    in.path = DrawPath::Buffers;
    EXPECT_TRUE(frames.Draw(in).writeIndices);

    // Translucent culled frames sort and never leave out faces behind the front.
    in.path = DrawPath::Culled;
    in.translucent = true;
    plan = frames.Draw(in);
    EXPECT_TRUE(plan.sort && plan.searchTriangles);
    EXPECT_FALSE(plan.leaveOutCovered);
}

TEST(FramePlanTest, WithoutBufferObjectsEveryFrameIsCulledFromClientMemory)
{
    Frames frames;
    FrameInputs in = Opaque(DrawPath::Buffers);
    in.buffersOffered = false;
    const FramePlan plan = frames.Draw(in);
    EXPECT_EQ(plan.path, DrawPath::Culled);
    EXPECT_FALSE(plan.fromVertexBuffer || plan.writeVertices || plan.drawFromIndexBuffer);
}

FrameSituation Situation(std::size_t faces, bool translucent = false)
{
    FrameSituation s;
    s.facesKey = 1;
    s.faceCount = faces;
    s.width = 800;
    s.height = 600;
    s.translucent = translucent;
    return s;
}

// Runs trial frames until the choice is made, each path taking the given
// time; returns the paths tried in order.
std::vector<DrawPath> Trials(DrawPathChoice& choice, const FrameSituation& s, double culledMs,
                             double buffersMs)
{
    std::vector<DrawPath> tried;
    for (int i = 0; i < 10; ++i) {
        const DrawPathChoice::Step step = choice.Next(s);
        if (!step.trial) {
            break;
        }
        tried.push_back(step.path);
        // The first frame on a path fills its buffers and is not counted:
        // here the first path's is the slowest frame and the second's the
        // fastest, so that counting them would turn the choice round.
        const bool first = tried.size() == 1 || tried[tried.size() - 2] != step.path;
        const double ms = step.path == DrawPath::Culled ? culledMs : buffersMs;
        choice.Record(first ? (tried.size() == 1 ? 1e6 : 0.0) : ms);
    }
    return tried;
}

TEST(DrawPathChoiceTest, TimesBothPathsAndKeepsTheFaster)
{
    using P = DrawPath;
    DrawPathChoice hardware;
    hardware.Configure(true, false, nullptr);
    EXPECT_EQ(Trials(hardware, Situation(1000), 50.0, 2.0),
              (std::vector<P>{P::Buffers, P::Buffers, P::Culled, P::Culled}));
    EXPECT_EQ(hardware.Next(Situation(1000)).path, P::Buffers);
    EXPECT_FALSE(hardware.Next(Situation(1000)).trial);

    DrawPathChoice software;
    software.Configure(true, true, nullptr);
    EXPECT_EQ(Trials(software, Situation(1000), 50.0, 200.0),
              (std::vector<P>{P::Culled, P::Culled, P::Buffers, P::Buffers}));
    EXPECT_EQ(software.Next(Situation(1000)).path, P::Culled);
    // A software renderer that turns out faster on buffers gets them.
    EXPECT_EQ(Trials(software, Situation(2000), 50.0, 20.0).size(), 4u);
    EXPECT_EQ(software.Next(Situation(2000)).path, P::Buffers);
}

TEST(DrawPathChoiceTest, ANewSituationIsMeasuredAndOldOnesAreRemembered)
{
    DrawPathChoice choice;
    choice.Configure(true, false, nullptr);
    Trials(choice, Situation(1000), 5.0, 1.0);
    EXPECT_EQ(Trials(choice, Situation(1000, true), 5.0, 9.0).size(), 4u);
    FrameSituation resized = Situation(1000);
    resized.width = 1024;
    EXPECT_TRUE(choice.Next(resized).trial);
    FrameSituation otherMesh = Situation(1000);
    otherMesh.facesKey = 2;
    EXPECT_TRUE(choice.Next(otherMesh).trial) << "trials move on to the newest situation";

    DrawPath path = DrawPath::Culled;
    ASSERT_TRUE(choice.ChosenFor(Situation(1000), path));
    EXPECT_EQ(path, DrawPath::Buffers);
    ASSERT_TRUE(choice.ChosenFor(Situation(1000, true), path));
    EXPECT_EQ(path, DrawPath::Culled);
    EXPECT_FALSE(choice.ChosenFor(resized, path));

    // A trial cut short by another situation starts over when it comes back.
    EXPECT_EQ(Trials(choice, resized, 5.0, 1.0).size(), 4u);
}

TEST(DrawPathChoiceTest, ForcedOrMissingBuffersNeedNoTrialsAndFailuresFallBack)
{
    DrawPathChoice forced;
    const DrawPath buffers = DrawPath::Buffers;
    forced.Configure(true, true, &buffers);
    DrawPathChoice::Step step = forced.Next(Situation(10));
    EXPECT_EQ(step.path, DrawPath::Buffers);
    EXPECT_FALSE(step.trial);

    DrawPathChoice none;
    none.Configure(false, false, &buffers);
    step = none.Next(Situation(10));
    EXPECT_EQ(step.path, DrawPath::Culled);
    EXPECT_FALSE(step.trial);

    DrawPathChoice failing;
    failing.Configure(true, false, nullptr);
    Trials(failing, Situation(10), 5.0, 1.0);
    failing.BuffersFailed(Situation(10));
    EXPECT_EQ(failing.Next(Situation(10)).path, DrawPath::Culled);
    forced.BuffersFailed(Situation(10));
    EXPECT_EQ(forced.Next(Situation(10)).path, DrawPath::Culled);
}

TEST(DrawPathChoiceTest, NamesOfPathsAndOfSoftwareRenderers)
{
    DrawPath path = DrawPath::Culled;
    EXPECT_TRUE(ParseDrawPath("buffers", path));
    EXPECT_EQ(path, DrawPath::Buffers);
    EXPECT_TRUE(ParseDrawPath("culled", path));
    EXPECT_EQ(path, DrawPath::Culled);
    EXPECT_FALSE(ParseDrawPath("Buffers", path));
    EXPECT_FALSE(ParseDrawPath(nullptr, path));
    EXPECT_STREQ(DrawPathName(DrawPath::Buffers), "buffers");

    EXPECT_TRUE(IsSoftwareRenderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(IsSoftwareRenderer("GDI Generic"));
    EXPECT_TRUE(IsSoftwareRenderer("softpipe"));
    EXPECT_FALSE(IsSoftwareRenderer("AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6)"));
    EXPECT_FALSE(IsSoftwareRenderer(nullptr));
}

}  // namespace

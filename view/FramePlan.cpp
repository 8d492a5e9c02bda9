#include "view/FramePlan.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

bool ParseDrawPath(const char* text, DrawPath& path)
{
    if (text == nullptr) {
        return false;
    }
    if (std::strcmp(text, "buffers") == 0) {
        path = DrawPath::Buffers;
        return true;
    }
    if (std::strcmp(text, "culled") == 0) {
        path = DrawPath::Culled;
        return true;
    }
    return false;
}

bool DrawPathFromEnvironment(DrawPath& path)
{
    return ParseDrawPath(std::getenv("TARVO_DRAW_PATH"), path);
}

const char* DrawPathName(DrawPath path)
{
    return path == DrawPath::Buffers ? "buffers" : "culled";
}

bool IsSoftwareRenderer(const char* renderer)
{
    if (renderer == nullptr) {
        return false;
    }
    for (const char* name : {"llvmpipe", "softpipe", "swrast", "GDI Generic"}) {
        if (std::strstr(renderer, name) != nullptr) {
            return true;
        }
    }
    return false;
}

bool operator==(const FrameSituation& a, const FrameSituation& b)
{
    return a.facesKey == b.facesKey && a.faceCount == b.faceCount && a.width == b.width &&
           a.height == b.height && a.translucent == b.translucent;
}

namespace {

DrawPath Other(DrawPath path)
{
    return path == DrawPath::Buffers ? DrawPath::Culled : DrawPath::Buffers;
}

}  // namespace

void DrawPathChoice::Configure(bool buffersOffered, bool softwareRenderer, const DrawPath* forced)
{
    *this = DrawPathChoice();
    configured_ = true;
    if (!buffersOffered) {
        fixed_ = true;
        fixedPath_ = DrawPath::Culled;
    } else if (forced != nullptr) {
        fixed_ = true;
        fixedPath_ = *forced;
    }
    likely_ = softwareRenderer ? DrawPath::Culled : DrawPath::Buffers;
}

bool DrawPathChoice::ChosenFor(const FrameSituation& situation, DrawPath& path) const
{
    if (fixed_) {
        path = fixedPath_;
        return true;
    }
    for (const Kept& k : kept_) {
        if (k.used && k.situation == situation) {
            path = k.path;
            return true;
        }
    }
    return false;
}

DrawPathChoice::Step DrawPathChoice::Next(const FrameSituation& situation)
{
    Step step;
    if (ChosenFor(situation, step.path)) {
        return step;
    }
    if (!trying_ || !(trialSituation_ == situation)) {
        trying_ = true;
        trialSituation_ = situation;
        trialFrame_ = 0;
    }
    step.path = trialFrame_ < kTrialFrames / 2 ? likely_ : Other(likely_);
    step.trial = true;
    return step;
}

void DrawPathChoice::Record(double milliseconds)
{
    if (!trying_) {
        return;
    }
    // Frames 1 and 3 are the second of each pair.
    if (trialFrame_ == 1) {
        trialMs_[0] = milliseconds;
    } else if (trialFrame_ == 3) {
        trialMs_[1] = milliseconds;
    }
    if (++trialFrame_ == kTrialFrames) {
        // Two frames each are a noisy measure on a busy machine: the
        // likely path stays unless the other is clearly faster.
        constexpr double kClearlyFaster = 0.9;
        Decide(trialMs_[1] < kClearlyFaster * trialMs_[0] ? Other(likely_) : likely_);
    }
}

void DrawPathChoice::BuffersFailed(const FrameSituation& situation)
{
    if (fixed_) {
        fixedPath_ = DrawPath::Culled;
        return;
    }
    trying_ = true;
    trialSituation_ = situation;
    Decide(DrawPath::Culled);
}

void DrawPathChoice::Decide(DrawPath path)
{
    // A situation decided before (BuffersFailed after a choice) is replaced.
    Kept* slot = nullptr;
    for (Kept& k : kept_) {
        if (k.used && k.situation == trialSituation_) {
            slot = &k;
        }
    }
    if (slot == nullptr) {
        slot = &kept_[nextKept_];
        nextKept_ = (nextKept_ + 1) % kKept;
    }
    slot->situation = trialSituation_;
    slot->path = path;
    slot->used = true;
    trying_ = false;
}

namespace {

bool SameRow(const double a[3], const double b[3])
{
    // Bit for bit: the order is only known to be the same for the very
    // same keys (a scale changes their rounding, and with it ties).
    return std::memcmp(a, b, 3 * sizeof(double)) == 0;
}

bool FaceOrderHeld(const FrameInputs& in, const HeldBuffers& held)
{
    if (held.indices != HeldBuffers::Indices::FaceOrder) {
        return false;
    }
    return in.facesKey != 0 ? held.indexFacesKey == in.facesKey
                            : held.indexRevision == in.drawRevision;
}

bool OrderHeld(const FrameInputs& in, const HeldBuffers& held)
{
    return held.indices == HeldBuffers::Indices::Sorted &&
           held.indexRevision == in.drawRevision && SameRow(held.indexDepthRow, in.depthRow);
}

}  // namespace

FramePlan PlanFrame(const FrameInputs& in, const HeldBuffers& held)
{
    FramePlan plan;
    plan.path = in.buffersOffered ? in.path : DrawPath::Culled;
    plan.fromVertexBuffer = in.buffersOffered;
    plan.writeVertices = in.buffersOffered && held.vertexRevision != in.drawRevision;
    if (plan.path == DrawPath::Culled) {
        plan.sort = in.translucent;
        plan.searchTriangles = true;
        plan.leaveOutCovered = !in.translucent && in.nearerFragmentsWin;
        plan.releaseIndices = held.indices != HeldBuffers::Indices::None;
        return plan;
    }
    plan.drawFromIndexBuffer = true;
    plan.releaseSearch = held.searchHeld;
    if (in.translucent) {
        plan.sort = !OrderHeld(in, held);
        plan.writeIndices = plan.sort;
    } else {
        plan.writeIndices = !FaceOrderHeld(in, held);
    }
    return plan;
}

void RecordPlanDone(const FramePlan& plan, const FrameInputs& in, HeldBuffers& held)
{
    if (plan.fromVertexBuffer) {
        held.vertexRevision = in.drawRevision;
    }
    if (plan.releaseIndices) {
        held.indices = HeldBuffers::Indices::None;
    }
    if (plan.writeIndices) {
        held.indices =
            plan.sort ? HeldBuffers::Indices::Sorted : HeldBuffers::Indices::FaceOrder;
        held.indexFacesKey = in.facesKey;
        held.indexRevision = in.drawRevision;
        std::memcpy(held.indexDepthRow, in.depthRow, sizeof held.indexDepthRow);
    }
    held.searchHeld = plan.path == DrawPath::Culled;
}

#include "surfaces/SurfaceKinds.h"

#include "app/Settings.h"
#include "resources/DialogTemplates.h"
#include "resources/Strings.h"
#include "surfaces/Generators.h"

namespace {

bool Mobius(const ResolutionSettings&, SurfaceMesh& mesh)
{
    GenerateMobius(mesh);
    return true;
}

bool Bottle(const ResolutionSettings&, SurfaceMesh& mesh)
{
    GenerateBottle(mesh);
    return true;
}

bool FourDBottle(const ResolutionSettings& settings, SurfaceMesh& mesh)
{
    return GenerateFourDBottle(settings.thetaCount, settings.phiCount, settings.holeRatio, mesh);
}

}  // namespace

constexpr SurfaceKindEntry kSurfaceKinds[kSurfaceKindCount] = {
    {kMobiusStrip, Mobius, IDC_KIND_MOBIUS, kStrKindMobius, 65, false},
    {kBottleSurface, Bottle, IDC_KIND_BOTTLE, kStrKindBottle, 65, false},
    {kFourDBottle, FourDBottle, IDC_KIND_FOURD_BOTTLE, kStrKindFourDBottle, 100, true},
};

namespace {

constexpr bool RowsInKindOrder()
{
    for (int32_t i = 0; i < kSurfaceKindCount; ++i) {
        if (kSurfaceKinds[i].kind != i) {
            return false;
        }
    }
    return true;
}
// A kind without a row would get a zero row here, with no generator.
static_assert(RowsInKindOrder(), "one row per surface kind, in kind order");

}  // namespace

const SurfaceKindEntry* FindSurfaceKind(int32_t kind)
{
    if (kind < 0 || kind >= kSurfaceKindCount) {
        return nullptr;
    }
    return &kSurfaceKinds[kind];
}

#include "surfaces/Regenerate.h"

#include "surfaces/Generators.h"

#include <new>

RegenerateResult Regenerate(const ResolutionSettings& settings, SurfaceMesh& mesh)
{
    SurfaceMesh fresh;
    try {
        switch (settings.surfaceKind) {
        case kMobiusStrip:
            GenerateMobius(fresh);
            break;
        case kBottleSurface:
            GenerateBottle(fresh);
            break;
        case kFourDBottle:
            if (!GenerateFourDBottle(settings.thetaCount, settings.phiCount, settings.holeRatio,
                                     fresh)) {
                return RegenerateResult::BadCounts;
            }
            break;
        default:
            return RegenerateResult::UnknownKind;
        }
    } catch (const std::bad_alloc&) {
        return RegenerateResult::OutOfMemory;
    }
    // Swapping hands the old storage to `fresh`, which frees it on return.
    mesh.Swap(fresh);
    return RegenerateResult::Rebuilt;
}

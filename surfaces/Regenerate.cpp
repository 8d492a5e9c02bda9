#include "surfaces/Regenerate.h"

#include "surfaces/SurfaceKinds.h"

#include <new>

RegenerateResult Regenerate(const ResolutionSettings& settings, SurfaceMesh& mesh)
{
    const SurfaceKindEntry* entry = FindSurfaceKind(settings.surfaceKind);
    if (entry == nullptr) {
        return RegenerateResult::UnknownKind;
    }
    SurfaceMesh fresh;
    try {
        if (!entry->generate(settings, fresh)) {
            return RegenerateResult::BadCounts;
        }
    } catch (const std::bad_alloc&) {
        return RegenerateResult::OutOfMemory;
    }
    // Swapping hands the old storage to `fresh`, which frees it on return.
    mesh.Swap(fresh);
    return RegenerateResult::Rebuilt;
}

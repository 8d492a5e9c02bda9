#pragma once
// Rebuilds the mesh for the chosen surface kind.

#include "app/Settings.h"
#include "surfaces/SurfaceMesh.h"

enum class RegenerateResult {
    Rebuilt,       // the mesh now holds the chosen surface
    UnknownKind,   // a value that names no surface kind: mesh left as it was
    BadCounts,     // counts the four-dimensional bottle cannot use: mesh left as it was
    OutOfMemory,   // the new mesh did not fit: the previous one is kept whole
};

// Builds the new mesh aside and swaps it in only when it is complete, so a
// failure never leaves arrays of unequal length or faces indexing past them.
RegenerateResult Regenerate(const ResolutionSettings& settings, SurfaceMesh& mesh);

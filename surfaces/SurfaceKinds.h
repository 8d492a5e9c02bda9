#pragma once
// Every surface the program can show, in one table: how each is generated,
// its radio button in the resolution dialog and whether the dialog's counts
// shape it. Adding a surface means a generator, a value below and a row of
// the table (surfaces/SurfaceKinds.cpp); the dialog, Regenerate and the
// texts follow from the table. Nothing here knows the window toolkit.

#include "resources/Strings.h"
#include "surfaces/SurfaceMesh.h"

#include <cstdint>

struct ResolutionSettings;

// Which surface is generated. The value is also the index of the surface's
// radio button in the resolution dialog, which lists the kinds in order.
enum SurfaceKind : int32_t {
    kMobiusStrip = 0,
    kBottleSurface = 1,
    kFourDBottle = 2,
};
// One more than the last kind above.
inline constexpr int32_t kSurfaceKindCount = kFourDBottle + 1;

struct SurfaceKindEntry {
    SurfaceKind kind;
    // Replaces the mesh's whole content with the surface the settings
    // describe; returns false, leaving the mesh as it was, for counts the
    // surface cannot be built from.
    bool (*generate)(const ResolutionSettings& settings, SurfaceMesh& mesh);
    // The radio button: its control id, its text (from resources/Strings.h)
    // and its width in dialog units.
    int radioId;
    Text radioText;
    int radioWidth;
    // Whether θ, φ and the hole ratio shape the surface: the dialog enables
    // their edits only while such a kind is chosen.
    bool usesCounts;
};

// The entry of each kind, indexed by its value.
extern const SurfaceKindEntry kSurfaceKinds[kSurfaceKindCount];

// The entry of a stored kind value, or nullptr for a value outside the table.
const SurfaceKindEntry* FindSurfaceKind(int32_t kind);

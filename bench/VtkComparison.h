#pragma once
// The same surface drawn by VTK (Debian's python3-vtk9) in the benchmark's
// run, for a side-by-side table: the mesh is written to a file, drawn by
// bench/vtk_frames.py in a child process, and its frame times read back.

#include "surfaces/SurfaceMesh.h"

#include <array>
#include <string>
#include <vector>

// Writes the mesh, and the orientation its first frame shows, in the format
// described at the top of bench/vtk_frames.py. False when the file cannot
// be written or the mesh is not consistent.
bool WriteBenchMesh(const SurfaceMesh& mesh, const std::array<double, 16>& orientation,
                    const std::string& path);

// VTK's ms a frame (medians of its repetitions), or why there are none.
struct VtkTimes {
    bool available = false;
    std::string reason;  // why not available
    std::string version;
    double opaque3d = -1.0;
    double opaque4d = -1.0;   // points turned in four dimensions and replaced
    double sorted3d = -1.0;   // translucent, vtkDepthSortPolyData back to front
    double peeling3d = -1.0;  // translucent, depth peeling
    double translucent3d = -1.0;  // the faster of the two
    std::string translucentMethod;  // "sorted" or "peeling"
};

// Runs the script on the mesh file with python3 and parses its lines. VTK
// draws through X only: without DISPLAY the script is run under xvfb-run
// when that is installed. Takes a minute or more a size at a million
// faces.
VtkTimes RunVtkFrames(const std::string& meshPath, int width, int height);

// Tarvo's ms a frame at one size, filled by the benchmark.
struct TarvoTimes {
    long long faces = 0;
    double opaque3d = -1.0;       // opaque frame after a 3D turn
    double opaque4d = -1.0;       // re-projection plus an opaque frame
    double translucent3d = -1.0;  // translucent frame after a 3D turn
};

// One table row a size: Tarvo's time, VTK's, VTK's / Tarvo's and whether
// Tarvo is ahead by the 1.5x aimed at. Without VTK, Tarvo's figures alone
// and the reason.
void PrintVtkComparison(const std::vector<TarvoTimes>& tarvo, const std::vector<VtkTimes>& vtk);

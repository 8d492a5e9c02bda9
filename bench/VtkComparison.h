#pragma once
// The same surface drawn by VTK (Debian's python3-vtk9) in the benchmark's
// run, for a side-by-side table: the mesh is written to a file and drawn by
// bench/vtk_frames.py in a child process, slice by slice between Tarvo's.

#include "surfaces/SurfaceMesh.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

// Writes the mesh, and the orientation its first frame shows, in the format
// described at the top of bench/vtk_frames.py. False when the file cannot
// be written or the mesh is not consistent.
bool WriteBenchMesh(const SurfaceMesh& mesh, const std::array<double, 16>& orientation,
                    const std::string& path);

// VTK's ms a frame (medians of its slices), or why there are none.
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

// VTK drawing the mesh file in a child process (vtk_frames.py --serve), a
// slice of about `seconds` of one case's frames at a time, so that the
// caller can alternate them with its own: a shared machine's changes of
// speed then fall on both alike. VTK draws through X only: without DISPLAY
// the script is run under xvfb-run when that is installed. Setting up takes
// a minute or more at a million faces.
class VtkSession {
public:
    VtkSession(const std::string& meshPath, int width, int height, double seconds);
    ~VtkSession();
    VtkSession(const VtkSession&) = delete;
    VtkSession& operator=(const VtkSession&) = delete;

    bool Available() const { return commands_ != nullptr; }
    const std::string& Reason() const { return reason_; }  // why not available
    const std::string& Version() const { return version_; }

    // ms a frame over one slice of the case ("opaque3d", "opaque4d",
    // "sorted3d" or "peeling3d"), or -1 once the script has stopped.
    double Slice(const std::string& caseName);

private:
    bool ReadLine(std::string& line);

    std::string folder_;
    std::string fifo_;
    std::FILE* output_ = nullptr;
    std::FILE* commands_ = nullptr;
    std::string reason_;
    std::string version_;
    std::string lastLine_;
};

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

#pragma once
// Which faces can make a fragment. OpenGL makes a fragment where a triangle
// covers a pixel's centre and nowhere else, so a triangle that covers no
// centre adds nothing to the picture: not a colour, not a depth. At a million faces on an 800 x 600
// view most faces are such slivers; leaving them out draws the very same
// pixels with a fraction of the rasteriser's work. Knows no OpenGL: the
// caller hands in the mapping to window coordinates.

#include "view/ViewCaches.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// Window coordinates of a projected point (x, y, z):
// wx = m[0] x + m[1] y + m[2] z + m[3], wy = m[4] x + m[5] y + m[6] z + m[7],
// in pixels with pixel (i, j)'s centre at (i + 0.5, j + 0.5), and its depth
// wz = m[8] x + m[9] y + m[10] z + m[11]. Only affine mappings (an
// orthographic projection) can be written so. The viewport is the rectangle
// of pixels drawn into, from (originX, originY).
struct WindowMapping {
    double m[12];
    double originX = 0.0;
    double originY = 0.0;
    int width = 0;
    int height = 0;
};

// The mapping OpenGL applies with these matrices (column by column, as
// glGetDoublev gives them), viewport and depth range; false unless both
// matrices are affine.
bool WindowMappingOf(const double projection[16], const double modelview[16],
                     const int viewport[4], const double depthRange[2], WindowMapping& out);

// How far a corner may land from where the mapping puts it once the driver
// has computed it in single precision and snapped it to its sub-pixel grid
// (1/256 pixel and coarser on the drivers at hand): faces are kept unless
// they miss every centre by more than this.
constexpr double kCornerTolerancePixels = 1.0 / 64.0;

// What the search keeps from frame to frame: a fresh allocation of these
// sizes costs a page fault every few thousand vertices.
struct CentreSearch {
    // showing[f] says which of face f's two triangles (as PutFaceTriangles
    // cuts it) may make a fragment that shows: bit 0 the first, bit 1 the
    // second; 0 when neither can.
    std::vector<uint8_t> showing;
    std::vector<float> window;     // x and y of vertex i at 2 i and 2 i + 1
    std::vector<uint16_t> depth;   // see kDepthSteps
    std::vector<float> cover[2];   // see FillCoverDepths
    uint64_t gridRevision = 0;     // the mesh rowLength was found for
    std::size_t rowLength = 0;     // see GridRowLength
    struct Viewport {
        double originX, originY;
        int width, height;
    } viewport = {0.0, 0.0, 0, 0};
    int covered = 0;               // how many of cover are in use
};

// Marks which triangles may cover a pixel centre, and with leaveOutCovered
// only those whose fragments may lie in front of what the figure surely
// covers there (see CoverDepths.h: for an opaque frame drawn with the depth
// test less or less-or-equal and depth writes on). Faces with a corner that
// is not finite, or far outside any window, where mapped keep both. Every
// index must be in range (as ProjectMesh leaves them). Splits the work over
// two threads for large meshes.
void MarkFacesThatCanShow(const ProjectedMesh& mesh, const WindowMapping& mapping,
                          bool leaveOutCovered, CentreSearch& search);

// The same in steps: what every face's marks depend on (the window
// coordinates and the cover), then the marks of faces [begin, end), or of
// all (on two threads for large meshes).
void PrepareCentreSearch(const ProjectedMesh& mesh, const WindowMapping& mapping,
                         bool leaveOutCovered, CentreSearch& search);
void MarkFaces(const ProjectedMesh& mesh, CentreSearch& search, std::size_t begin,
               std::size_t end);
void MarkAllFaces(const ProjectedMesh& mesh, CentreSearch& search);

// Marks the faces of a prepared search in order on a thread of its own, so
// that the caller can draw the first faces while the later ones are being
// marked (all at once, before the constructor returns, for small meshes or
// where no thread can be started). Mesh and search must outlive it.
class FacesMarkedAhead {
public:
    FacesMarkedAhead(const ProjectedMesh& mesh, CentreSearch& search);
    ~FacesMarkedAhead();
    FacesMarkedAhead(const FacesMarkedAhead&) = delete;
    FacesMarkedAhead& operator=(const FacesMarkedAhead&) = delete;

    // Returns once faces [0, end) are marked.
    void WaitFor(std::size_t end);

private:
    static constexpr std::size_t kChunk = 4096;
    std::size_t faces_;
    std::size_t marked_ = 0;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::thread thread_;
};

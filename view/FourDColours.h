#pragma once
// Colouring by the fourth coordinate: the coordinate the projection drops,
// taken after the four-dimensional orientation, shown as colour. Computed
// with the projection, never per frame; knows neither the toolkit nor
// OpenGL.

#include "interaction/Orientation4D.h"
#include "surfaces/SurfaceMesh.h"
#include "view/ViewCaches.h"
#include "view/VisualAids.h"

// The colour map at t in 0 ... 1 (clamped; NaN gives the middle): a
// perceptually uniform map that people with the common colour-vision
// deficiencies read in the same order (viridis), as RGB.
void FourDColourAt(double t, float rgb[3]);

// The mean fourth coordinate of each face's corners after the orientation,
// (x, y, z, w) times the orientation's fourth column. A face naming a vertex
// outside the mesh gets 0.
std::vector<double> FaceMeanW(const SurfaceMesh& mesh, const Orientation4D& orientation);

// Rewrites out for the faces of projected (which must have been projected
// from mesh under orientation): each face's mean w placed on the map between
// the least and the greatest face mean; every face gets the map's middle
// when they are all equal (a figure with w = 0 everywhere). Alpha is the
// surface's 0.5. perCorner has one colour per draw vertex of projected.
void ComputeFourDColours(const SurfaceMesh& mesh, const Orientation4D& orientation,
                         const ProjectedMesh& projected, FaceColours& out);

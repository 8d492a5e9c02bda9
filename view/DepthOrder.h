#pragma once
// Painter's order for the translucent surface: the faces sorted from the most
// distant to the nearest, so that each blends over what lies behind it.

#include "view/ViewCaches.h"

#include <cstdint>
#include <vector>

// Fills order with a permutation of 0 ... F - 1 (F = mesh.faces.size()),
// sorted ascending by the eye-space depth of each face's first corner under
// modelview (16 doubles, OpenGL column order). The viewer looks along
// negative z, so the most distant face comes first. Faces of equal depth keep
// no particular relative order.
//
// Only the rotation part of the modelview enters the key; its translation is
// the same for every face. A face whose first corner lies outside the
// projected vertex arrays, or whose depth is not a number, gets the key 0.
//
// Throws std::bad_alloc when the order or the keys cannot be allocated.
void BuildBackToFrontOrder(const ProjectedMesh& mesh, const double modelview[16],
                           std::vector<int32_t>& order);

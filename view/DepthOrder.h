#pragma once
// Painter's order for the translucent surface: the faces sorted from the most
// distant to the nearest, so that each blends over what lies behind it.

#include "view/ViewCaches.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Fills order with a permutation of 0 ... F - 1 (F = mesh.faces.size()),
// sorted ascending by the eye-space depth of each face's first corner under
// modelview (16 doubles, OpenGL column order). The viewer looks along
// negative z, so the most distant face comes first. Faces of equal depth keep
// face order.
//
// Only the rotation part of the modelview enters the key; its translation is
// the same for every face. A face whose first corner lies outside the
// projected vertex arrays, or whose depth is not a number, gets the key 0.
//
// Sorts in linear time: a radix sort of 30-bit sort keys (the depths mapped
// in order onto 2^30 levels across their range, or for an infinite range the
// top 30 bits of their bit patterns), then a comparison sort of each run of
// faces that share a level (short unless depths are equal or agree to about
// nine digits of the range).
// Throws std::bad_alloc when the order or the work arrays cannot be
// allocated.
void BuildBackToFrontOrder(const ProjectedMesh& mesh, const double modelview[16],
                           std::vector<int32_t>& order);

// The same order by a comparison sort (std::sort, equal keys in no defined
// order): the reference the radix sort is measured and checked against.
void BuildBackToFrontOrderByComparison(const ProjectedMesh& mesh, const double modelview[16],
                                       std::vector<int32_t>& order);

// The same by a stable comparison sort: equal keys keep face order, as they
// do in the radix sort, so that both give the very same permutation.
void BuildBackToFrontOrderStable(const ProjectedMesh& mesh, const double modelview[16],
                                 std::vector<int32_t>& order);

// The depth keys both of the above sort by, one per face.
void ComputeDepthKeys(const ProjectedMesh& mesh, const double modelview[16],
                      std::vector<double>& keys);

// Fills order with a permutation of 0 ... keys.size() - 1 that lists the
// keys in ascending order, as a comparison sort with < would; equal keys
// (0.0 and -0.0 among them) keep their relative order. keys must hold no
// NaN (one would be sorted as 0) and fewer than 2^31 elements.
// Throws std::bad_alloc when the work arrays cannot be allocated.
void RadixSortOrder(const std::vector<double>& keys, std::vector<int32_t>& order);

// The sort keeps its work arrays (16 bytes a face) from one translucent frame
// to the next on each thread that sorts; this frees the calling thread's,
// as when the figure stops being translucent. The next sort allocates them
// again.
void ReleaseOrderWorkspace();
// What the calling thread's work arrays hold now, in bytes.
std::size_t OrderWorkspaceBytes();

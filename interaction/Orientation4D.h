#pragma once
// The figure's four-dimensional orientation: a 4 x 4 matrix stored row by
// row (element 4r + c). A point is a row vector and its image is the point
// times the matrix.

#include <array>

using Orientation4D = std::array<double, 16>;

inline Orientation4D IdentityOrientation()
{
    return {1.0, 0.0, 0.0, 0.0,
            0.0, 1.0, 0.0, 0.0,
            0.0, 0.0, 1.0, 0.0,
            0.0, 0.0, 0.0, 1.0};
}

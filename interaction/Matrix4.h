#pragma once
// Small 4 x 4 matrix helpers for the orientation and the camera. Matrices are
// 16 doubles; the row-major reading and OpenGL's column-major reading of the
// same array are transposes of each other, and these routines are written so
// that both readings stay meaningful (see each comment).

#include "interaction/Orientation4D.h"

// M <- M x A, row-major. Read as OpenGL matrices the same call gives
// GL(M) <- GL(A) x GL(M). A and M may be the same array.
void MultiplyMatrix4(const double A[16], double M[16]);

// Writes the inverse of src into dst and returns true. Returns false and
// leaves dst untouched when src is singular, holds a NaN, or its inverse
// would not be finite. src and dst may be the same array.
bool InvertMatrix4(const double src[16], double dst[16]);

// Two unit vectors u and v perpendicular to dir and to each other, with
// u x v = dir / |dir|. A zero or non-finite dir has no direction; it gets
// u = (1, 0, 0), v = (0, 1, 0) rather than NaNs.
void PerpendicularBasis(const double dir[3], double u[3], double v[3]);

// The camera matrix that looks from eye towards centre: the 16 values to pass
// to glMultMatrixd after glLoadIdentity (OpenGL column order). It carries a
// model point p to ((p - c).u, (p - c).v, (p - c).d) / |eye - centre|, with d
// the unit vector from centre to eye. When eye equals centre (or a value is
// not finite) there is no such camera and the identity is written instead.
void ComputeLookAtMatrix(const double eye[3], const double centre[3], double modelview[16]);

// Rotations in the x-w, y-w and z-w planes, for right-multiplying the
// orientation: with p' = p R, x' = x cos t - w sin t and w' = x sin t + w cos t
// (likewise for y and z).
Orientation4D Rxw(double angle);
Orientation4D Ryw(double angle);
Orientation4D Rzw(double angle);

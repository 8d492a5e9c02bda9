#pragma once
// The arithmetic of the mouse drags that does not need OpenGL: the bar turn,
// the four-dimensional turn and the scale factor.

#include "interaction/Orientation4D.h"

#include <optional>

// Turns the bar as the figure would turn on screen by a plain drag of
// (dx, dy) pixels, 0.01 radians a pixel, while the figure stays still:
// P = MV^-1 . Rx(dy * 0.01) . Ry(dx * 0.01) . MV (OpenGL matrices), and the
// new axis is the old one times P's upper 3 x 3 block.
void TurnBarAxis(const double modelview[16], int dx, int dy, double barAxis[3]);

// Right-multiplies the orientation by Rxw, Ryw and Rzw with the angles
// -dx * 0.01 times the bar's components: a turn in the plane of the bar and
// the fourth axis.
void TurnOrientationFourD(Orientation4D& orientation, const double barAxis[3], int dx);
// The same turn by an angle t in radians (a drag of dx pixels is t = -dx * 0.01).
void TurnOrientationFourDBy(Orientation4D& orientation, const double barAxis[3], double t);

// What a drag does, chosen by the buttons held and the modifier keys.
enum class DragGesture { None, TurnFigure, TurnFourD, TurnBar, Move, Scale };
DragGesture GestureForButtons(bool left, bool right, bool control, bool shift);

// 1 + 2 (dx - dy) / width, never below 0.1 and never NaN. No factor at all
// for a width of 0 or less: there is nothing to scale against.
std::optional<double> DragScaleFactor(int dx, int dy, int width);

// The point at (x, y) of a view width x height (the pointer's position, top
// left at 0, 0) in the eye coordinates of the view's projection: x from -1
// at the left edge to 1 at the right, y from height / width at the top to
// its negative at the bottom. The view's centre is exactly (0, 0). False for
// a view of no area.
bool PointInEye(int x, int y, int width, int height, double& eyeX, double& eyeY);

// The uniform scale a modelview carries: the root mean square of the lengths
// of its first three columns (each is the scale for a rotation times a
// uniform scale).
double ModelviewScale(const double modelview[16]);

// Whether a scale step by factor keeps the modelview's scale, `scale` times
// the start's, within 1e-15 ... 1e15 of the start. OpenGL keeps the matrix in
// single precision; far outside this range it underflows to 0 or overflows
// to infinity and nothing brings the figure back. A factor that is not a
// positive finite number is refused too.
bool ScaleStepKeepsPrecision(double scale, double factor);

#include "interaction/DragMath.h"

#include "interaction/Matrix4.h"

#include <cmath>

void TurnBarAxis(const double modelview[16], int dx, int dy, double barAxis[3])
{
    double inverse[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    InvertMatrix4(modelview, inverse);  // every modelview the drags make is invertible

    const double alpha = -static_cast<double>(dx) * 0.01;
    const double r1[16] = {std::cos(alpha), 0, std::sin(alpha), 0,
                           0, 1, 0, 0,
                           -std::sin(alpha), 0, std::cos(alpha), 0,
                           0, 0, 0, 1};
    const double beta = static_cast<double>(dy) * 0.01;
    const double r2[16] = {1, 0, 0, 0,
                           0, std::cos(beta), std::sin(beta), 0,
                           0, -std::sin(beta), std::cos(beta), 0,
                           0, 0, 0, 1};

    double p[16];
    for (int i = 0; i < 16; ++i) {
        p[i] = modelview[i];
    }
    MultiplyMatrix4(r1, p);
    MultiplyMatrix4(r2, p);
    MultiplyMatrix4(inverse, p);

    const double old[3] = {barAxis[0], barAxis[1], barAxis[2]};
    for (int j = 0; j < 3; ++j) {
        barAxis[j] = old[0] * p[j] + old[1] * p[4 + j] + old[2] * p[8 + j];
    }
}

void TurnOrientationFourD(Orientation4D& orientation, const double barAxis[3], int dx)
{
    TurnOrientationFourDBy(orientation, barAxis, -static_cast<double>(dx) * 0.01);
}

void TurnOrientationFourDBy(Orientation4D& orientation, const double barAxis[3], double t)
{
    MultiplyMatrix4(Rxw(t * barAxis[0]).data(), orientation.data());
    MultiplyMatrix4(Ryw(t * barAxis[1]).data(), orientation.data());
    MultiplyMatrix4(Rzw(t * barAxis[2]).data(), orientation.data());
}

std::optional<double> DragScaleFactor(int dx, int dy, int width)
{
    if (width <= 0) {
        return std::nullopt;
    }
    // The difference is taken in 64 bits: two extreme 32-bit motions must
    // not overflow.
    const double s = 2.0 * static_cast<double>(static_cast<long long>(dx) - dy) / width + 1.0;
    if (!(s >= 0.1)) {  // also catches NaN
        return 0.1;
    }
    return s;
}

DragGesture GestureForButtons(bool left, bool right, bool control, bool shift)
{
    if (left && right) {
        return DragGesture::Move;
    }
    if (right) {
        return DragGesture::Scale;
    }
    if (!left) {
        return DragGesture::None;
    }
    if (control) {
        return DragGesture::TurnBar;
    }
    return shift ? DragGesture::TurnFourD : DragGesture::TurnFigure;
}

bool PointInEye(int x, int y, int width, int height, double& eyeX, double& eyeY)
{
    if (width <= 0 || height <= 0) {
        return false;
    }
    // Differences first, so that the centre comes out as an exact zero.
    eyeX = (2.0 * x - width) / width;
    eyeY = (height - 2.0 * y) / width;
    return true;
}

double ModelviewScale(const double modelview[16])
{
    double sum = 0.0;
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            sum += modelview[4 * column + row] * modelview[4 * column + row];
        }
    }
    return std::sqrt(sum / 3.0);
}

bool ScaleStepKeepsPrecision(double scale, double factor)
{
    constexpr double kSmallest = 1e-15;
    constexpr double kLargest = 1e15;
    if (!std::isfinite(factor) || !(factor > 0.0) || !std::isfinite(scale)) {
        return false;
    }
    const double next = scale * factor;
    // A step towards the range is always allowed, so that a figure scaled to
    // a limit can always be scaled back.
    if (next < kSmallest) {
        return factor > 1.0;
    }
    if (next > kLargest) {
        return factor < 1.0;
    }
    return true;
}

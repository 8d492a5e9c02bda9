// The arithmetic behind the bar turn, the four-dimensional turn and the
// scale drag.

#include "interaction/DragMath.h"
#include "interaction/LookAt.h"
#include "interaction/Matrix4.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(DragScaleFactor, FollowsTheMotionAndStaysInRange)
{
    EXPECT_DOUBLE_EQ(*DragScaleFactor(10, -10, 400), 1.1);
    EXPECT_DOUBLE_EQ(*DragScaleFactor(200, 0, 400), 2.0) << "half the width to the right doubles";
    EXPECT_DOUBLE_EQ(*DragScaleFactor(0, 0, 400), 1.0);
    EXPECT_DOUBLE_EQ(*DragScaleFactor(-300, 0, 400), 0.1) << "asks for -0.5";
    EXPECT_DOUBLE_EQ(*DragScaleFactor(-180, 0, 400), 0.1);
    EXPECT_DOUBLE_EQ(*DragScaleFactor(INT_MIN, INT_MAX, 1), 0.1);
    EXPECT_FALSE(DragScaleFactor(10, 0, 0).has_value()) << "no width, nothing to scale against";
    EXPECT_FALSE(DragScaleFactor(10, 0, -5).has_value());

    // Steps are refused beyond 1e-15 ... 1e15 of the start, but a step back
    // towards that range is always allowed.
    EXPECT_TRUE(ScaleStepKeepsPrecision(1e-14, 0.1));
    EXPECT_FALSE(ScaleStepKeepsPrecision(1e-15, 0.1));
    EXPECT_TRUE(ScaleStepKeepsPrecision(0.5e-15, 1.1));
    EXPECT_FALSE(ScaleStepKeepsPrecision(1e14, 100.0));
    EXPECT_TRUE(ScaleStepKeepsPrecision(2e15, 0.9));
    for (const double bad : {0.0, -1.0, std::nan(""), HUGE_VAL}) {
        EXPECT_FALSE(ScaleStepKeepsPrecision(1.0, bad)) << bad;
    }
}

TEST(TurnOrientationFourD, TurnsInThePlaneOfTheBarAndTheFourthAxis)
{
    // Bar along z: only the z-w plane turns, by -0.01 rad a pixel.
    Orientation4D o = IdentityOrientation();
    const double zAxis[3] = {0, 0, 1};
    TurnOrientationFourD(o, zAxis, 100);
    const Orientation4D expected = Rzw(-1.0);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(o[i], expected[i], 1e-15) << i;
    }

    // Bar along x: the x-w plane.
    o = IdentityOrientation();
    const double xAxis[3] = {1, 0, 0};
    TurnOrientationFourD(o, xAxis, -50);
    const Orientation4D expectedX = Rxw(0.5);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(o[i], expectedX[i], 1e-15) << i;
    }

    // The turns accumulate on the right and keep the matrix orthogonal.
    o = IdentityOrientation();
    const double slanted[3] = {0.6, 0.0, 0.8};
    for (int k = 0; k < 1000; ++k) {
        TurnOrientationFourD(o, slanted, 7);
    }
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double dot = 0;
            for (int k = 0; k < 4; ++k) {
                dot += o[4 * r + k] * o[4 * c + k];
            }
            EXPECT_NEAR(dot, r == c ? 1.0 : 0.0, 1e-12);
        }
    }
}

TEST(TurnBarAxis, TurnsTheBarAsTheFigureWouldTurnOnScreen)
{
    // Under the identity modelview, a drag to the right turns about the
    // screen's vertical axis, carrying x towards -z, as glRotated about y
    // does to the figure.
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    double axis[3] = {1, 0, 0};
    TurnBarAxis(identity, 100, 0, axis);
    EXPECT_NEAR(axis[0], std::cos(1.0), 1e-12);
    EXPECT_NEAR(axis[1], 0.0, 1e-12);
    EXPECT_NEAR(axis[2], -std::sin(1.0), 1e-12);

    // A drag down turns y towards +z, like glRotated(dy, 1, 0, 0).
    double up[3] = {0, 1, 0};
    TurnBarAxis(identity, 0, 50, up);
    EXPECT_NEAR(up[0], 0.0, 1e-12);
    EXPECT_NEAR(up[1], std::cos(0.5), 1e-12);
    EXPECT_NEAR(up[2], std::sin(0.5), 1e-12);

    // Under the start camera, the turn is about the screen axes seen in
    // model space: the drag leaves the screen's vertical axis, which is
    // model (0, 1, 1)/sqrt2, unchanged, and keeps the length.
    double modelview[16];
    ComputeLookAtMatrix(kStartEye, kStartCentre, modelview);
    const double s = 1 / std::sqrt(2.0);
    double vertical[3] = {0, s, s};
    TurnBarAxis(modelview, 80, 0, vertical);
    EXPECT_NEAR(vertical[0], 0.0, 1e-12);
    EXPECT_NEAR(vertical[1], s, 1e-12);
    EXPECT_NEAR(vertical[2], s, 1e-12);

    double slanted[3] = {0.6, 0.0, 0.8};
    TurnBarAxis(modelview, 33, -71, slanted);
    EXPECT_NEAR(std::hypot(slanted[0], slanted[1], slanted[2]), 1.0, 1e-12);
}

TEST(DragMathTest, PointsOfTheViewInEyeCoordinates)
{
    double x = 1;
    double y = 1;
    ASSERT_TRUE(PointInEye(200, 150, 400, 300, x, y));
    EXPECT_EQ(x, 0.0) << "the centre is exactly the eye's axis";
    EXPECT_EQ(y, 0.0);
    ASSERT_TRUE(PointInEye(0, 0, 400, 300, x, y));
    EXPECT_DOUBLE_EQ(x, -1.0);
    EXPECT_DOUBLE_EQ(y, 0.75);
    ASSERT_TRUE(PointInEye(400, 300, 400, 300, x, y));
    EXPECT_DOUBLE_EQ(x, 1.0);
    EXPECT_DOUBLE_EQ(y, -0.75);
    ASSERT_TRUE(PointInEye(201, 151, 401, 301, x, y));
    EXPECT_NEAR(x, 1.0 / 401, 1e-15);
    EXPECT_NEAR(y, -1.0 / 401, 1e-15);
    EXPECT_FALSE(PointInEye(1, 1, 0, 300, x, y));
    EXPECT_FALSE(PointInEye(1, 1, 400, 0, x, y));
}

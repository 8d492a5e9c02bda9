#pragma once
// Places the camera: replaces the OpenGL modelview with the view from eye
// towards centre. Uses the current OpenGL context.

// The camera every view starts from and "初期状態に戻す" returns to: from
// above the front of the figure, looking at the origin.
inline constexpr double kStartEye[3] = {0.0, -6.0, 6.0};
inline constexpr double kStartCentre[3] = {0.0, 0.0, 0.0};

// eye and centre are points of three doubles and must differ. Afterwards the
// centre lies at the eye-space origin, the direction towards the eye is +z and
// lengths are divided by the eye's distance from the centre. Leaves
// GL_MODELVIEW as the current matrix mode.
void LookAt(const double eye[3], const double centre[3]);

#pragma once
// Places the camera: replaces the OpenGL modelview with the view from eye
// towards centre. Uses the current OpenGL context.

// eye and centre are points of three doubles and must differ. Afterwards the
// centre lies at the eye-space origin, the direction towards the eye is +z and
// lengths are divided by the eye's distance from the centre. Leaves
// GL_MODELVIEW as the current matrix mode.
void LookAt(const double eye[3], const double centre[3]);

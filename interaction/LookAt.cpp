#include "interaction/LookAt.h"

#include "interaction/Matrix4.h"

#include <GL/gl.h>

void LookAt(const double eye[3], const double centre[3])
{
    double modelview[16];
    ComputeLookAtMatrix(eye, centre, modelview);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMultMatrixd(modelview);
}

// The five drags on the view. Plain, both-button and right drags change only
// the GL modelview, in eye coordinates; a Shift drag turns the figure in four
// dimensions and marks the projection stale; a Ctrl drag turns the bar and
// marks only the bar stale.

#include "interaction/DragMath.h"
#include "view/SurfaceView.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

// Applies a change in eye coordinates: new modelview = change . old. A
// change that would put a non-finite value into the matrix is undone: from
// such a matrix nothing brings the figure back.
template <typename Change>
void ChangeModelview(Change change)
{
    double modelview[16];
    glMatrixMode(GL_MODELVIEW);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glLoadIdentity();
    change();
    glMultMatrixd(modelview);

    double changed[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, changed);
    if (!std::all_of(changed, changed + 16, [](double v) { return std::isfinite(v); })) {
        glLoadMatrixd(modelview);
    }
}

}  // namespace

void CSurfaceView::BeginDrag(const wxMouseEvent& event)
{
    // Each press takes the capture (once: the toolkit keeps a stack of
    // captures) and restarts the motion from here, so the first motion after
    // a press never jumps.
    if (!HasCapture()) {
        CaptureMouse();
    }
    lastMouse = event.GetPosition();
}

void CSurfaceView::EndDragIfNoButton()
{
    if (leftButtonDown == 0 && rightButtonDown == 0 && HasCapture()) {
        ReleaseMouse();
    }
}

void CSurfaceView::OnLButtonDown(wxMouseEvent& event)
{
    leftButtonDown = 1;
    BeginDrag(event);
    SetFocus();
    event.Skip();
}

void CSurfaceView::OnRButtonDown(wxMouseEvent& event)
{
    rightButtonDown = 1;
    BeginDrag(event);
    event.Skip();
}

void CSurfaceView::OnLButtonUp(wxMouseEvent& event)
{
    leftButtonDown = 0;
    EndDragIfNoButton();
    event.Skip();
}

void CSurfaceView::OnRButtonUp(wxMouseEvent& event)
{
    rightButtonDown = 0;
    EndDragIfNoButton();
    event.Skip();
}

void CSurfaceView::OnCaptureLost(wxMouseCaptureLostEvent&)
{
    // Another window took the mouse: the release will never reach us, so the
    // drag ends here rather than going on with no button held.
    leftButtonDown = 0;
    rightButtonDown = 0;
}

void CSurfaceView::OnMouseMove(wxMouseEvent& event)
{
    event.Skip();
    if (leftButtonDown == 0 && rightButtonDown == 0) {
        return;
    }
    const wxPoint point = event.GetPosition();
    const int dx = point.x - lastMouse.x;
    const int dy = point.y - lastMouse.y;
    lastMouse = point;

    const DragGesture gesture = GestureForButtons(leftButtonDown != 0, rightButtonDown != 0,
                                                  event.ControlDown(), event.ShiftDown());
    if (ApplyGesture(gesture, dx, dy)) {
        Refresh(true);
    }
}

void CSurfaceView::TurnFourD(double angle)
{
    TurnOrientationFourDBy(orientation, barAxis, angle);
    MarkProjectionStale();
}

bool CSurfaceView::ScaleBy(double factor)
{
    if (!MakeCurrent() || !IsGLReady()) {
        return false;
    }
    double modelview[16];
    glMatrixMode(GL_MODELVIEW);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    if (!ScaleStepKeepsPrecision(ModelviewScale(modelview) / startScale, factor)) {
        return false;
    }
    ChangeModelview([factor] { glScaled(factor, factor, factor); });
    return true;
}

bool CSurfaceView::ApplyGesture(DragGesture gesture, int dx, int dy)
{
    if (gesture == DragGesture::None) {
        return false;
    }
    if (gesture == DragGesture::TurnFourD) {
        TurnFourD(-static_cast<double>(dx) * 0.01);
        return true;
    }
    // Every other gesture reads or changes the GL modelview.
    if (!MakeCurrent() || !IsGLReady()) {
        return false;
    }
    switch (gesture) {
    case DragGesture::TurnBar: {
        double modelview[16];
        glMatrixMode(GL_MODELVIEW);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        TurnBarAxis(modelview, dx, dy, barAxis);
        MarkBarStale();
        return true;
    }
    case DragGesture::TurnFigure:
        ChangeModelview([dx, dy] {
            glRotated(dy * 0.4, 1.0, 0.0, 0.0);
            glRotated(dx * 0.4, 0.0, 1.0, 0.0);
        });
        return true;
    case DragGesture::Move:
        ChangeModelview([dx, dy] { glTranslated(dx * 0.005, -dy * 0.005, 0.0); });
        return true;
    case DragGesture::Scale: {
        const auto factor = DragScaleFactor(dx, dy, GetClientSize().GetWidth());
        if (!factor) {
            return false;
        }
        return ScaleBy(*factor);
    }
    case DragGesture::None:
    case DragGesture::TurnFourD:
        break;
    }
    return false;
}

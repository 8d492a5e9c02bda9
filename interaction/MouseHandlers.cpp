// The five drags on the view. Plain, both-button and right drags change only
// the GL modelview, in eye coordinates; a Shift drag turns the figure in four
// dimensions and marks the projection stale; a Ctrl drag turns the bar and
// marks only the bar stale.

#include "interaction/DragMath.h"
#include "view/SurfaceView.h"

#include <wx/utils.h>

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
    if (leftButtonDown != 0 || rightButtonDown != 0) {
        return;
    }
    if (HasCapture()) {
        ReleaseMouse();
    }
    // The drag showed a stand-in: the exact figure now.
    if (!lastFrameExact) {
        Refresh(false);
    }
}

void CSurfaceView::FinishMotionAt(const wxMouseEvent& event)
{
    // A press or release carries the exact pointer position, while the
    // motion before it may never have been delivered: the drag so far is
    // carried up to here before the buttons change, so that no travel is
    // lost.
    if (event.GetPosition() != lastMouse) {
        DragTo(event.GetPosition(), event.ControlDown(), event.ShiftDown());
    }
}

void CSurfaceView::OnLButtonDown(wxMouseEvent& event)
{
    FinishMotionAt(event);
    leftButtonDown = 1;
    BeginDrag(event);
    SetFocus();
    event.Skip();
}

void CSurfaceView::OnRButtonDown(wxMouseEvent& event)
{
    FinishMotionAt(event);
    rightButtonDown = 1;
    BeginDrag(event);
    event.Skip();
}

void CSurfaceView::OnLButtonUp(wxMouseEvent& event)
{
    FinishMotionAt(event);
    leftButtonDown = 0;
    EndDragIfNoButton();
    event.Skip();
}

void CSurfaceView::OnRButtonUp(wxMouseEvent& event)
{
    FinishMotionAt(event);
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
    if (!lastFrameExact) {
        Refresh(false);
    }
}

wxPoint CSurfaceView::LatestDragPosition(const wxMouseEvent& event) const
{
    // GTK sends motion as hints: one event with the position of the first
    // motion after the previous event was handled, and nothing more until it
    // is. After a slow paint that position is a frame old. When the
    // pointer's own buttons show this very drag, its present position is the
    // newer one; events made up without the pointer keep their own.
    const wxMouseState pointer = wxGetMouseState();
    if (pointer.LeftIsDown() == (leftButtonDown != 0) &&
        pointer.RightIsDown() == (rightButtonDown != 0)) {
        return ScreenToClient(pointer.GetPosition());
    }
    return event.GetPosition();
}

void CSurfaceView::DragTo(const wxPoint& point, bool control, bool shift)
{
    if (leftButtonDown == 0 && rightButtonDown == 0) {
        return;
    }
    const int dx = point.x - lastMouse.x;
    const int dy = point.y - lastMouse.y;
    lastMouse = point;

    const DragGesture gesture =
        GestureForButtons(leftButtonDown != 0, rightButtonDown != 0, control, shift);
    // Motions between two paints each change only the orientation or the
    // modelview; the one paint they ask for shows their sum.
    if (ApplyGesture(gesture, dx, dy)) {
        Refresh(true);
    }
}

void CSurfaceView::OnMouseMove(wxMouseEvent& event)
{
    event.Skip();
    if (leftButtonDown == 0 && rightButtonDown == 0) {
        return;
    }
    frameLog.Motion();
    DragTo(LatestDragPosition(event), event.ControlDown(), event.ShiftDown());
}

void CSurfaceView::TurnFourD(double angle)
{
    TurnOrientationFourDBy(orientation, barAxis, angle);
    MarkProjectionStale();
}

bool CSurfaceView::ScaleBy(double factor, double eyeX, double eyeY)
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
    ChangeModelview([factor, eyeX, eyeY] {
        // About the eye's axis the step is the plain scale, bit for bit.
        const bool shifted = eyeX != 0.0 || eyeY != 0.0;
        if (shifted) {
            glTranslated(eyeX, eyeY, 0.0);
        }
        glScaled(factor, factor, factor);
        if (shifted) {
            glTranslated(-eyeX, -eyeY, 0.0);
        }
    });
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

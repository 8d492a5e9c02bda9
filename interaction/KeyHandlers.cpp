// The keyboard, the wheel and the pinch on the view. Every key press is a
// drag of 10 pixels through ApplyGesture, so a key and the matching drag give
// the same picture; the wheel and the pinch scale through ScaleBy about the
// point under the pointer, which stays under it, as in viewers and maps.

#include "interaction/DragMath.h"
#include "view/SurfaceView.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The motion of one key press, in pixels of a drag.
constexpr int kKeyStep = 10;

}  // namespace

bool CSurfaceView::ApplyKeyGesture(DragGesture gesture, int dx, int dy)
{
    // A view of no area (a minimised frame) shows nothing to act on.
    const wxSize size = GetClientSize();
    if (size.GetWidth() <= 0 || size.GetHeight() <= 0) {
        return false;
    }
    if (!ApplyGesture(gesture, dx, dy)) {
        return false;
    }
    Refresh(true);
    return true;
}

void CSurfaceView::OnKeyDown(wxKeyEvent& event)
{
    int dx = 0;
    int dy = 0;
    switch (event.GetKeyCode()) {
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
        dx = -kKeyStep;
        break;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT:
        dx = kKeyStep;
        break;
    case WXK_UP:
    case WXK_NUMPAD_UP:
        dy = -kKeyStep;
        break;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
        dy = kKeyStep;
        break;
    // The keypad's + and - are handled here so that no character follows;
    // the main keyboard's come as characters (OnChar), whatever the layout.
    case WXK_NUMPAD_ADD:
        ApplyKeyGesture(DragGesture::Scale, 0, -kKeyStep);
        return;
    case WXK_NUMPAD_SUBTRACT:
        ApplyKeyGesture(DragGesture::Scale, 0, kKeyStep);
        return;
    default:
        event.Skip();
        return;
    }
    // Alt stands for the second button: Alt+arrows move like a both-button drag.
    const DragGesture gesture = GestureForButtons(true, event.AltDown(), event.ControlDown(),
                                                  event.ShiftDown());
    if (gesture == DragGesture::TurnFourD && dx == 0) {
        return;  // a vertical four-dimensional drag turns nothing
    }
    ApplyKeyGesture(gesture, dx, dy);
}

void CSurfaceView::OnChar(wxKeyEvent& event)
{
    // + and - scale like a right drag of 10 pixels up or down.
    switch (event.GetUnicodeKey()) {
    case '+':
        ApplyKeyGesture(DragGesture::Scale, 0, -kKeyStep);
        break;
    case '-':
        ApplyKeyGesture(DragGesture::Scale, 0, kKeyStep);
        break;
    default:
        event.Skip();
        break;
    }
}

void CSurfaceView::OnMouseWheel(wxMouseEvent& event)
{
    if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL) {
        event.Skip();
        return;
    }
    // Smooth-scrolling wheels and touchpads send parts of a notch; they add up.
    const int delta = event.GetWheelDelta() > 0 ? event.GetWheelDelta() : 120;
    wheelRemainder += event.GetWheelRotation();
    const int notches = wheelRemainder / delta;
    wheelRemainder -= notches * delta;
    if (notches == 0 || GetClientSize().GetHeight() <= 0) {
        return;
    }
    // One notch up is a 10-pixel right drag to the right; down is its inverse.
    const auto factor = DragScaleFactor(kKeyStep, 0, GetClientSize().GetWidth());
    if (!factor || !MakeCurrent() || !IsGLReady()) {
        return;
    }
    // In a view a few pixels wide the inverse could go below a drag's tenth.
    const double down = std::max(1.0 / *factor, 0.1);
    bool changed = false;
    for (int i = 0; i < std::abs(notches); ++i) {
        changed = ScaleAboutPoint(notches > 0 ? *factor : down, event.GetPosition()) || changed;
    }
    if (changed) {
        Refresh(true);
    }
}

void CSurfaceView::OnZoomGesture(wxZoomGestureEvent& event)
{
    // The toolkit reports the zoom since the pinch began; each event scales
    // by its change since the previous one.
    if (event.IsGestureStart()) {
        lastZoomFactor = 1.0;
    }
    const double zoom = event.GetZoomFactor();
    if (!std::isfinite(zoom) || zoom <= 0.0 || !std::isfinite(lastZoomFactor)
        || lastZoomFactor <= 0.0) {
        return;
    }
    const double change = zoom / lastZoomFactor;
    lastZoomFactor = zoom;
    const wxSize size = GetClientSize();
    if (size.GetWidth() <= 0 || size.GetHeight() <= 0 || !std::isfinite(change)
        || !MakeCurrent() || !IsGLReady()) {
        return;
    }
    // No step below a tenth, as for a drag.
    if (ScaleAboutPoint(change < 0.1 ? 0.1 : change, event.GetPosition())) {
        Refresh(true);
    }
}

bool CSurfaceView::ScaleAboutPoint(double factor, const wxPoint& point)
{
    const wxSize size = GetClientSize();
    double eyeX = 0.0;
    double eyeY = 0.0;
    return PointInEye(point.x, point.y, size.GetWidth(), size.GetHeight(), eyeX, eyeY) &&
           ScaleBy(factor, eyeX, eyeY);
}

void CSurfaceView::OnClickFocus(wxMouseEvent& event)
{
    // Keys act on the view after any click on it.
    SetFocus();
    event.Skip();
}

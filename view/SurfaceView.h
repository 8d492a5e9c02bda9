#pragma once
// The OpenGL view: owns the rendering context, the four-dimensional
// orientation, the bar direction, the mouse state and the cached products of
// the projection, and runs the paint sequence.

#include "interaction/DragMath.h"
#include "interaction/Orientation4D.h"
#include "view/CoarseStandIn.h"
#include "view/DrawBuffers.h"
#include "view/FrameLog.h"
#include "view/Picture.h"
#include "view/ViewCaches.h"
#include "view/VisualAidScene.h"
#include "view/VisualAids.h"

#include <wx/glcanvas.h>

#include <cstddef>
#include <cstdint>
#include <memory>

class CSurfaceView : public wxGLCanvas {
public:
    // Asks for a double-buffered RGBA format with a 32-bit depth buffer and
    // falls back to 24 bits where 32 is refused. Check IsUsable() afterwards.
    explicit CSurfaceView(wxWindow* parent, wxWindowID id = wxID_ANY);
    ~CSurfaceView() override;

    // Whether the display offers a format the view can use at all; ask before
    // creating a view, which cannot be made without one.
    static bool DisplaySupportsOpenGL();

    // False when no OpenGL format or context could be had for this window.
    bool IsUsable() const { return renderContext != nullptr && renderContext->IsOK(); }
    // The depth buffer size that the format was chosen with.
    int DepthBits() const { return depthBits; }

    // Makes the view's context current; every GL call outside a paint goes
    // through here first.
    bool MakeCurrent();

    Orientation4D orientation = IdentityOrientation();
    std::unique_ptr<wxGLContext> renderContext;
    int32_t leftButtonDown = 0;
    int32_t rightButtonDown = 0;
    wxPoint lastMouse;
    int32_t projectedRevision = -1;  // meshRevision the projection was made from
    int32_t barBuiltRevision = -1;   // barRevision the bar was built from
    ProjectedMesh projection;        // projX ... faceNormalZ
    DrawBuffers drawBuffers;         // projection's draw arrays, held by OpenGL
    // The "表示" menu's "操作中は粗く描く": while a drag is under way and the
    // exact picture is slow, a coarser stand-in is drawn (see CoarseStandIn).
    bool coarseWhileDragging = true;
    CoarseStandIn standIn;
    double lastExactFrameMs = 0.0;  // paint to swap, of the last exact picture
    bool lastFrameExact = true;     // false: the last paint showed the stand-in
    std::size_t lastFrameFaces = 0;
    BarTube bar;                     // barX ... barNormalZ
    double barAxis[3] = {0.0, 0.0, 1.0};
    // The "表示" menu's aids: which are on, and what they draw.
    VisualAids visualAids;
    VisualAidScene aidScene;

    // Frames put on screen so far, exact or stand-in: the one timer checks
    // it to keep no more than one repaint queued.
    uint64_t FramesShown() const { return framesShown; }

    // True once the fixed GL state and the camera are set (at the first paint).
    bool IsGLReady() const { return glReady; }

    // One function per gesture: what a drag of (dx, dy) pixels does, whatever
    // produced it. True when something changed and the view needs a repaint.
    bool ApplyGesture(DragGesture gesture, int dx, int dy);
    // The four-dimensional turn in the bar's plane by an angle in radians.
    void TurnFourD(double angle);
    // Scales the figure about the eye's axis, or about the line of sight
    // through (eyeX, eyeY), which stays where it is on screen. Refuses
    // (false) a step that would take the scale beyond 1e-15 ... 1e15 of the
    // start's, where the single-precision modelview would lose the figure
    // for good.
    bool ScaleBy(double factor, double eyeX = 0.0, double eyeY = 0.0);

    // Back to the start: identity orientation, the bar along (0, 0, 1), the
    // start camera; the projection and the bar are rebuilt at the next
    // paint. A drag in progress ends here. Repaints.
    void ResetView();

    // The picture of the view at `scale` times its pixels (1: exactly what
    // is on screen), top row first. Empty with `error` set when it cannot be
    // made; `error` is a text for people.
    PictureResult RenderPicture(int scale);

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnEraseBackground(wxEraseEvent& event);

    // Mouse gestures: turn in 3D and 4D, turn the bar, move, scale.
    void OnLButtonDown(wxMouseEvent& event);
    void OnLButtonUp(wxMouseEvent& event);
    void OnRButtonDown(wxMouseEvent& event);
    void OnRButtonUp(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);

    // Keys and wheel (interaction/KeyHandlers.cpp): each key press is a
    // 10-pixel drag through ApplyGesture; the wheel and the pinch scale
    // through ScaleBy about the point under the pointer.
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnZoomGesture(wxZoomGestureEvent& event);
    void OnClickFocus(wxMouseEvent& event);
    // Performs a key's drag; false when the view has no area to act in.
    bool ApplyKeyGesture(DragGesture gesture, int dx, int dy);
    // Scales by factor about the view's point under the pointer.
    bool ScaleAboutPoint(double factor, const wxPoint& point);
    int wheelRemainder = 0;     // wheel rotation short of a whole notch
    double lastZoomFactor = 1;  // the pinch's zoom at its previous event
    void BeginDrag(const wxMouseEvent& event);
    void EndDragIfNoButton();
    // Applies the drag of the held buttons from lastMouse to point.
    void DragTo(const wxPoint& point, bool control, bool shift);
    // Carries the drag up to a press or release before the buttons change.
    void FinishMotionAt(const wxMouseEvent& event);
    wxPoint LatestDragPosition(const wxMouseEvent& event) const;

    // The first paint does the creation-time GL work: a GTK context can be
    // made current only once its window is shown.
    void InitGLOnce();
    void ApplyClientSizeToProjection();
    // The client size in device pixels, which the viewport is measured in.
    wxSize DevicePixelSize() const;
    // Brings the projection and the bar up to date and draws one frame: the
    // stand-in during a drag when it may be used, else the exact figure.
    // Pictures for saving and copying are always exact.
    void DrawFrame(bool standInAllowed = true);
    bool DrawStandInFrame();
    bool Dragging() const { return leftButtonDown != 0 || rightButtonDown != 0; }
    uint64_t turnSerial = 0;  // raised at every change of the orientation
    uint64_t framesShown = 0;
    FrameLog frameLog;

    // A four-dimensional turn or a bar turn raises the view's revision, but
    // raising it alone can bring it back level with the application's (a new
    // mesh, then a turn before the paint): these flags keep a marked cache
    // stale until the paint has rebuilt it.
    void MarkProjectionStale();
    void MarkBarStale();
    bool projectionStale = false;
    bool barStale = false;

    int depthBits = 0;
    bool glReady = false;
    double startScale = 1.0;  // the camera's modelview scale, which ScaleBy keeps in range of
};

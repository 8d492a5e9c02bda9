#include "view/SurfaceView.h"

#include "app/SurfaceApp.h"
#include "interaction/LookAt.h"
#include "view/Projection.h"
#include "resources/Strings.h"
#include "view/Renderer.h"

#include <wx/dcclient.h>

#include <GL/gl.h>

#include <chrono>
#include <cmath>

namespace {

wxGLAttributes PixelFormat(int depth)
{
    wxGLAttributes attributes;
    attributes.PlatformDefaults().RGBA().MinRGBA(8, 8, 8, 0).DoubleBuffer().Depth(depth).EndList();
    return attributes;
}

// 32-bit depth where the display offers it, else 24; 0 when neither is.
int ChooseDepthBits()
{
    static const int bits = [] {
        // On a display without GLX the toolkit's probe trips its own
        // assertion before answering "no"; the answer is all we need, so the
        // probe runs with assertions off.
        const wxAssertHandler_t previous = wxSetAssertHandler(nullptr);
        int found = 0;
        if (wxGLCanvas::IsDisplaySupported(PixelFormat(32))) {
            found = 32;
        } else if (wxGLCanvas::IsDisplaySupported(PixelFormat(24))) {
            found = 24;
        }
        wxSetAssertHandler(previous);
        return found;
    }();
    return bits;
}

}  // namespace

bool CSurfaceView::DisplaySupportsOpenGL()
{
    return ChooseDepthBits() != 0;
}

CSurfaceView::CSurfaceView(wxWindow* parent, wxWindowID id)
    : wxGLCanvas(parent, PixelFormat(ChooseDepthBits() == 0 ? 24 : ChooseDepthBits()), id,
                 wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS)
{
    depthBits = ChooseDepthBits();
    if (depthBits != 0) {
        auto context = std::make_unique<wxGLContext>(this);
        if (context->IsOK()) {
            renderContext = std::move(context);
        }
    }
    SetCursor(wxCursor(wxCURSOR_ARROW));

    Bind(wxEVT_PAINT, &CSurfaceView::OnPaint, this);
    Bind(wxEVT_SIZE, &CSurfaceView::OnSize, this);
    Bind(wxEVT_ERASE_BACKGROUND, &CSurfaceView::OnEraseBackground, this);
    Bind(wxEVT_LEFT_DOWN, &CSurfaceView::OnLButtonDown, this);
    Bind(wxEVT_LEFT_UP, &CSurfaceView::OnLButtonUp, this);
    Bind(wxEVT_RIGHT_DOWN, &CSurfaceView::OnRButtonDown, this);
    Bind(wxEVT_RIGHT_UP, &CSurfaceView::OnRButtonUp, this);
    Bind(wxEVT_MOTION, &CSurfaceView::OnMouseMove, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CSurfaceView::OnCaptureLost, this);
    // Keys, wheel and pinch; any press also takes the keyboard focus.
    Bind(wxEVT_KEY_DOWN, &CSurfaceView::OnKeyDown, this);
    Bind(wxEVT_CHAR, &CSurfaceView::OnChar, this);
    Bind(wxEVT_MOUSEWHEEL, &CSurfaceView::OnMouseWheel, this);
    Bind(wxEVT_GESTURE_ZOOM, &CSurfaceView::OnZoomGesture, this);
    EnableTouchEvents(wxTOUCH_ZOOM_GESTURE);
    Bind(wxEVT_RIGHT_DOWN, &CSurfaceView::OnClickFocus, this);
    Bind(wxEVT_MIDDLE_DOWN, &CSurfaceView::OnClickFocus, this);
}

CSurfaceView::~CSurfaceView()
{
    if (glReady && renderContext && SetCurrent(*renderContext)) {
        drawBuffers.Release();
        standIn.buffers.Release();
    }
    renderContext.reset();
    if (HasCapture()) {
        ReleaseMouse();
    }
}

bool CSurfaceView::MakeCurrent()
{
    if (!renderContext || !IsShownOnScreen()) {
        return false;
    }
    return SetCurrent(*renderContext);
}

void CSurfaceView::InitGLOnce()
{
    if (glReady) {
        return;
    }
    // InitGL positions the lights under the identity modelview, so it runs
    // before the camera is placed.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    InitGL();
    LookAt(kStartEye, kStartCentre);
    double modelview[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    startScale = ModelviewScale(modelview);
    glReady = true;
    ApplyClientSizeToProjection();
}

void CSurfaceView::ApplyClientSizeToProjection()
{
    // The viewport is in device pixels, which on a high-density screen are
    // more than the window's logical size; the extents depend only on the
    // aspect ratio.
    const wxSize size = DevicePixelSize();
    ApplyOrthoProjection(size.GetWidth(), size.GetHeight());
}

void CSurfaceView::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    if (!MakeCurrent()) {
        return;
    }
    InitGLOnce();
    const auto start = std::chrono::steady_clock::now();
    DrawFrame();
    glFlush();
    SwapBuffers();
    ++framesShown;
    if (lastFrameExact) {
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        lastExactFrameMs = took.count();
    }
    if (Dragging()) {
        frameLog.Shown(lastFrameFaces);
    }
    // The choice of draw path is timed on the first frames of a new mesh,
    // size or mode: they follow each other until it is made, and one more
    // on the chosen path gives the stand-in its measure.
    if (lastFrameExact && drawBuffers.lastFrameTrial) {
        Refresh(false);
    }
}

bool CSurfaceView::DrawStandInFrame()
{
    CSurfaceApp& app = TheSurfaceApp();
    if (!coarseWhileDragging || !Dragging() || lastExactFrameMs <= kSlowFrameMilliseconds ||
        !standIn.Update(app.GetResolutionSettings(), app.meshRevision, orientation, turnSerial)) {
        return false;
    }
    // The same aids as on the exact figure, from the stand-in's own faces.
    const AidDrawing aids =
        standIn.UpdateAids(visualAids, orientation, aidScene.MarkerCircuits());
    DrawSurface(app.GetDisplaySettings(), standIn.projection, bar, aids, &standIn.buffers);
    DropDrawCopyHeldBy(standIn.buffers, standIn.projection);
    lastFrameExact = false;
    lastFrameFaces = standIn.projection.faces.size();
    return true;
}

void CSurfaceView::DrawFrame(bool standInAllowed)
{
    CSurfaceApp& app = TheSurfaceApp();
    if (barStale || barBuiltRevision != app.barRevision) {
        BuildBar(barAxis, bar);
        barBuiltRevision = app.barRevision;
        barStale = false;
    }
    // The exact projection waits for the release: at millions of faces it
    // is most of what a four-dimensional turn costs.
    if (standInAllowed && DrawStandInFrame()) {
        return;
    }
    if (projectionStale || projectedRevision != app.meshRevision) {
        ProjectMesh(app.mesh, orientation, projection);
        projectedRevision = app.meshRevision;
        projectionStale = false;
    }
    // The visual aids follow the projection they were made from.
    aidScene.Update(visualAids, app.mesh, app.GetResolutionSettings(), app.meshRevision,
                    orientation, projection);
    // The faces change with the mesh alone, not with a turn in four dimensions.
    drawBuffers.facesKey = static_cast<uint64_t>(static_cast<uint32_t>(app.meshRevision)) + 1;
    DrawSurface(app.GetDisplaySettings(), projection, bar, aidScene.Drawing(visualAids),
                &drawBuffers);
    DropDrawCopyHeldBy(drawBuffers, projection);
    lastFrameExact = true;
    lastFrameFaces = projection.faces.size();
}

wxSize CSurfaceView::DevicePixelSize() const
{
    const wxSize logical = GetClientSize();
    const double scale = GetContentScaleFactor();
    return wxSize(static_cast<int>(std::lround(logical.GetWidth() * scale)),
                  static_cast<int>(std::lround(logical.GetHeight() * scale)));
}

void CSurfaceView::ResetView()
{
    // A drag in progress ends: the next motion starts nothing, so nothing jumps.
    leftButtonDown = 0;
    rightButtonDown = 0;
    if (HasCapture()) {
        ReleaseMouse();
    }
    orientation = IdentityOrientation();
    ++turnSerial;
    barAxis[0] = 0.0;
    barAxis[1] = 0.0;
    barAxis[2] = 1.0;
    // As at start: both caches differ from any application revision.
    projectedRevision = -1;
    barBuiltRevision = -1;
    // Before the first paint the start camera is still to come.
    if (glReady && MakeCurrent()) {
        LookAt(kStartEye, kStartCentre);
    }
    Refresh(true);
}

PictureResult CSurfaceView::RenderPicture(int scale)
{
    const wxSize size = DevicePixelSize();
    PictureResult result;
    if (size.GetWidth() <= 0 || size.GetHeight() <= 0) {
        result.error = kStrPictureEmptyView;
        return result;
    }
    if (!MakeCurrent()) {
        result.error = kStrPictureRenderFailed;
        return result;
    }
    InitGLOnce();
    const auto draw = [this] { DrawFrame(false); };
    if (scale <= 1) {
        return ReadBackPicture(size.GetWidth(), size.GetHeight(), draw);
    }
    result = RenderOffscreenPicture(size.GetWidth() * scale, size.GetHeight() * scale,
                                    depthBits, draw);
    ApplyClientSizeToProjection();
    return result;
}

void CSurfaceView::MarkProjectionStale()
{
    ++turnSerial;
    ++projectedRevision;
    projectionStale = true;
}

void CSurfaceView::MarkBarStale()
{
    ++barBuiltRevision;
    barStale = true;
}

void CSurfaceView::OnSize(wxSizeEvent& event)
{
    event.Skip();
    // Before the first paint the context cannot be made current on GTK; the
    // first paint applies the size then.
    if (glReady && MakeCurrent()) {
        ApplyClientSizeToProjection();
    }
    Refresh(false);
}

void CSurfaceView::OnEraseBackground(wxEraseEvent&)
{
    // The paint covers every pixel; erasing first would only flicker.
}

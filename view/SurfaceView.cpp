#include "view/SurfaceView.h"

#include "app/SurfaceApp.h"
#include "interaction/LookAt.h"
#include "view/Projection.h"
#include "view/Renderer.h"

#include <wx/dcclient.h>

#include <GL/gl.h>

#include <cmath>

namespace {

const double kEye[3] = {0.0, -6.0, 6.0};
const double kCentre[3] = {0.0, 0.0, 0.0};

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
}

CSurfaceView::~CSurfaceView()
{
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
    LookAt(kEye, kCentre);
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
    const wxSize logical = GetClientSize();
    const double scale = GetContentScaleFactor();
    const int width = static_cast<int>(std::lround(logical.GetWidth() * scale));
    const int height = static_cast<int>(std::lround(logical.GetHeight() * scale));
    ApplyOrthoProjection(width, height);
}

void CSurfaceView::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    if (!MakeCurrent()) {
        return;
    }
    InitGLOnce();

    CSurfaceApp& app = TheSurfaceApp();
    if (barStale || barBuiltRevision != app.barRevision) {
        BuildBar(barAxis, bar);
        barBuiltRevision = app.barRevision;
        barStale = false;
    }
    if (projectionStale || projectedRevision != app.meshRevision) {
        ProjectMesh(app.mesh, orientation, projection);
        projectedRevision = app.meshRevision;
        projectionStale = false;
    }
    DrawSurface(app.GetDisplaySettings(), projection, bar);
    glFlush();
    SwapBuffers();
}

void CSurfaceView::MarkProjectionStale()
{
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

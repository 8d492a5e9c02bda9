#pragma once
// Shared helpers of the window tests: pumping the toolkit's events, a shown
// main frame with its view ready to draw, and synthesised mouse input.

#include "app/MainFrame.h"
#include "app/SurfaceApp.h"
#include "view/SurfaceView.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/utils.h>

#include <GL/gl.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef None  // X11 names a macro so; DragGesture has a member of that name

#include <array>
#include <chrono>
#include <algorithm>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

// Runs the toolkit's pending events until done() holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
    return true;
}

inline void Pump(int milliseconds = 100)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
}

// A fresh application state and a shown main frame whose view has painted.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CSurfaceApp& app = TheSurfaceApp();
        app.SetResolutionSettings(ResolutionSettings{});
        app.SetDisplaySettings(DisplaySettings{});
        app.meshRevision = 0;
        app.barRevision = 0;
        ASSERT_EQ(app.Regenerate(), RegenerateResult::Rebuilt);
        frame = new CMainFrame;
        app.SetTopWindow(frame);
        frame->SetClientSize(400, 300);
        frame->Show(true);
        view = frame->view;
        ASSERT_TRUE(view->IsUsable());
        ASSERT_TRUE(PumpUntil([this] { return view->IsGLReady(); })) << "the view never painted";
        ASSERT_TRUE(PumpUntil([this] { return view->GetClientSize() == wxSize(400, 300); }));
        Pump(50);
    }

    void TearDown() override
    {
        if (frame != nullptr) {
            frame->Destroy();
            Pump(20);
        }
    }

    std::array<double, 16> Matrix(GLenum which)
    {
        std::array<double, 16> m{};
        EXPECT_TRUE(view->MakeCurrent());
        glGetDoublev(which, m.data());
        return m;
    }

    void Mouse(wxEventType type, int x, int y, bool left, bool right, bool ctrl = false,
               bool shift = false)
    {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(x, y));
        event.m_leftDown = left;
        event.m_rightDown = right;
        event.SetControlDown(ctrl);
        event.SetShiftDown(shift);
        event.SetEventObject(view);
        view->GetEventHandler()->ProcessEvent(event);
    }

    // A key press on the view: a key-down, or for a printable character the
    // character event the toolkit makes of it.
    void Key(int code, bool ctrl = false, bool shift = false, bool alt = false)
    {
        const bool character = code >= 32 && code < 127;
        wxKeyEvent event(character ? wxEVT_CHAR : wxEVT_KEY_DOWN);
        event.m_keyCode = code;
        event.m_uniChar = character ? code : 0;
        event.SetControlDown(ctrl);
        event.SetShiftDown(shift);
        event.SetAltDown(alt);
        event.SetEventObject(view);
        view->GetEventHandler()->ProcessEvent(event);
    }

    // A wheel turn with the pointer at (x, y) of the view, by default its centre.
    void Wheel(int rotation, int x = 200, int y = 150)
    {
        wxMouseEvent event(wxEVT_MOUSEWHEEL);
        event.SetPosition(wxPoint(x, y));
        event.m_wheelRotation = rotation;
        event.m_wheelDelta = 120;
        event.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
        event.SetEventObject(view);
        view->GetEventHandler()->ProcessEvent(event);
    }

    // Runs a menu command as the menu bar would.
    void Command(int id)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        event.SetEventObject(frame);
        frame->GetEventHandler()->ProcessEvent(event);
    }

    // What the screen shows in the view once pending paints are done, as RGB
    // rows top first, taken from the screen itself.
    std::vector<unsigned char> ScreenPixels()
    {
        view->Update();
        Pump(30);
        // Straight from the X server: the toolkit's screen DC may show older contents.
        const wxSize size = view->GetClientSize();
        const wxPoint origin = view->ClientToScreen(wxPoint(0, 0));
        std::vector<unsigned char> rgb;
        Display* display = XOpenDisplay(nullptr);
        XImage* shot = display == nullptr ? nullptr
            : XGetImage(display, DefaultRootWindow(display), origin.x, origin.y, size.x, size.y,
                        AllPlanes, ZPixmap);
        if (shot != nullptr) {
            for (int y = 0; y < size.y; ++y) {
                for (int x = 0; x < size.x; ++x) {
                    const unsigned long pixel = XGetPixel(shot, x, y);
                    rgb.push_back((pixel & shot->red_mask) >> 16);
                    rgb.push_back((pixel & shot->green_mask) >> 8);
                    rgb.push_back(pixel & shot->blue_mask);
                }
            }
            XDestroyImage(shot);
        }
        if (display != nullptr) {
            XCloseDisplay(display);
        }
        EXPECT_EQ(rgb.size(), std::size_t(size.x) * size.y * 3) << "no screenshot";
        return rgb;
    }

    // A real drag through the X server (xdotool): the buttons (1 left, 3
    // right) are pressed at `from` in view coordinates, the pointer moves
    // `steps` times by `step` with `pauseSeconds` between moves (0: one
    // burst), and the buttons are released. The toolkit then delivers it as
    // it delivers a hand's: motion hints, coalesced, some never. Returns once
    // the view has seen the release.
    bool RealDrag(const std::vector<int>& buttons, wxPoint from, wxPoint step, int steps,
                  double pauseSeconds)
    {
        const wxPoint start = view->ClientToScreen(from);
        std::string command = "xdotool mousemove " + std::to_string(start.x) + " " +
                              std::to_string(start.y) + " sleep 0.1";
        for (int button : buttons) {
            command += " mousedown " + std::to_string(button);
        }
        for (int i = 1; i <= steps; ++i) {
            if (pauseSeconds > 0) {
                command += " sleep " + std::to_string(pauseSeconds);
            }
            command += " mousemove " + std::to_string(start.x + step.x * i) + " " +
                       std::to_string(start.y + step.y * i);
        }
        for (auto b = buttons.rbegin(); b != buttons.rend(); ++b) {
            command += " mouseup " + std::to_string(*b);
        }
        const std::string done = "/tmp/tarvo-ui-drag-" + std::to_string(getpid());
        if (std::system(("(" + command + "; touch " + done + ") &").c_str()) != 0) {
            return false;
        }
        // Both the command's end and the view's release: the toolkit may
        // hold events back until its next frame.
        const bool finished =
            PumpUntil([&] { return std::remove(done.c_str()) == 0; }, 10000) &&
            PumpUntil([&] { return view->leftButtonDown == 0 && view->rightButtonDown == 0; });
        Pump(100);
        return finished;
    }

    CMainFrame* frame = nullptr;
    CSurfaceView* view = nullptr;
};

// Counts the paints of a window and makes each take `delayMilliseconds`
// longer (as a large figure does), for as long as it lives.
class PaintWatch : public wxEvtHandler {
public:
    explicit PaintWatch(wxWindow* window, int delayMilliseconds = 0) : window_(window)
    {
        Bind(wxEVT_PAINT, [this, delayMilliseconds](wxPaintEvent& event) {
            ++paints;
            wxMilliSleep(delayMilliseconds);
            event.Skip();
        });
        window_->PushEventHandler(this);
    }
    ~PaintWatch() override { window_->PopEventHandler(); }

    int paints = 0;

private:
    wxWindow* window_;
};

// Column-major product a . b of two OpenGL matrices.
inline std::array<double, 16> GLProduct(const std::array<double, 16>& a,
                                        const std::array<double, 16>& b)
{
    std::array<double, 16> r{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += a[4 * k + row] * b[4 * col + k];
            }
            r[4 * col + row] = sum;
        }
    }
    return r;
}

inline void ExpectMatrixNear(const std::array<double, 16>& actual,
                             const std::array<double, 16>& expected, double tol = 1e-6)
{
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tol) << "element " << i;
    }
}

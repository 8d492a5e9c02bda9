// The view on a high-density screen: run with GDK_SCALE=2, so that every
// logical pixel of the window is two device pixels along each axis.

#include "../ui/UiTestSupport.h"

#include "surfaces/Pi.h"
#include "view/Renderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {


// The box around every pixel that differs from the black background.
struct PixelBox {
    int left = -1, right = -1, bottom = -1, top = -1;
    bool Empty() const { return left < 0; }
};

PixelBox FigureBox(const std::vector<unsigned char>& rgba, int width, int height)
{
    PixelBox box;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &rgba[(std::size_t(y) * width + x) * 4];
            if (p[0] + p[1] + p[2] < 24) {
                continue;
            }
            if (box.Empty()) {
                box = {x, x, y, y};
            }
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.bottom = std::min(box.bottom, y);
            box.top = std::max(box.top, y);
        }
    }
    return box;
}

}  // namespace

class HiDpiTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(view->GetContentScaleFactor(), 2.0)
            << "this test wants GDK_SCALE=2 in its environment";
    }
};

TEST_F(HiDpiTest, ViewportCoversEveryDevicePixel)
{
    ASSERT_TRUE(view->MakeCurrent());
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
}

TEST_F(HiDpiTest, ResizeKeepsTheExtentsInDevicePixels)
{
    struct Case {
        int width, height;
        double vertical;
    };
    for (const Case c : {Case{400, 200, 0.5}, Case{250, 500, 2.0}, Case{300, 300, 1.0}}) {
        frame->SetClientSize(c.width, c.height);
        ASSERT_TRUE(PumpUntil([&] { return view->GetClientSize() == wxSize(c.width, c.height); }));
        Pump(30);
        const auto p = Matrix(GL_PROJECTION_MATRIX);
        EXPECT_NEAR(p[0], 1.0, 1e-12) << "horizontal extent stays -1 ... 1";
        EXPECT_NEAR(p[5], 1.0 / c.vertical, 1e-12) << c.width << "x" << c.height;
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 2 * c.width);
        EXPECT_EQ(viewport[3], 2 * c.height);
    }
}

TEST_F(HiDpiTest, PictureFillsThePixelFramebuffer)
{
    // Draw once more into the back buffer with the state the view left and
    // read it back before any swap can make it undefined.
    ASSERT_TRUE(view->MakeCurrent());
    DrawSurface(TheSurfaceApp().GetDisplaySettings(), view->projection, view->bar, {},
                &view->drawBuffers);
    glFinish();
    const int width = 800;
    const int height = 600;
    std::vector<unsigned char> rgba(std::size_t(width) * height * 4, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    const PixelBox box = FigureBox(rgba, width, height);
    ASSERT_FALSE(box.Empty()) << "nothing was drawn";
    // Drawn into the logical size only, the figure would sit in the lower
    // left quarter, centred near (200, 150).
    EXPECT_GT(box.right, width / 2 + width / 8) << "the figure reaches the right half";
    EXPECT_GT(box.top, height / 2 + height / 8) << "the figure reaches the upper half";
    EXPECT_NEAR((box.left + box.right) / 2.0, width / 2.0, width * 0.1);
    EXPECT_LT(box.bottom, height / 2) << "and crosses the middle (the bar may leave at the top)";
}

TEST_F(HiDpiTest, DragsCountLogicalPixels)
{
    // 100 logical pixels to the right turn by 40 degrees about the screen's
    // vertical axis, the same as on a screen of scale 1.
    const auto before = Matrix(GL_MODELVIEW_MATRIX);
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false);
    Mouse(wxEVT_MOTION, 200, 100, true, false);
    Mouse(wxEVT_LEFT_UP, 200, 100, false, false);
    const double a = 40.0 * kPi / 180.0;
    const std::array<double, 16> turn = {std::cos(a), 0, -std::sin(a), 0, 0, 1, 0, 0,
                                         std::sin(a), 0, std::cos(a),  0, 0, 0, 0, 1};
    ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), GLProduct(turn, before));
}

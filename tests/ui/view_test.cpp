// The real view in a real frame on an X server: first paint, projection
// extents after resizes, the camera, and re-projection on a new mesh.

#include "UiTestSupport.h"

#include "app/PictureFile.h"
#include "interaction/LookAt.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"

#include <wx/clipbrd.h>
#include <wx/dir.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/menu.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// Applies a column-major matrix to a point (w = 1).
std::array<double, 3> Apply(const std::array<double, 16>& m, double x, double y, double z)
{
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}

}  // namespace

TEST_F(FrameTest, FirstPaintBuildsBarAndProjection)
{
    EXPECT_EQ(view->projectedRevision, 0);
    EXPECT_EQ(view->barBuiltRevision, 0);
    EXPECT_EQ(view->projection.projX.size(), 3600u);
    EXPECT_EQ(view->projection.faces.size(), 1794u);
    EXPECT_EQ(view->projection.faceNormalZ.size(), 1794u);
    EXPECT_EQ(view->bar.barX.size(), 60u);
    EXPECT_EQ(view->bar.barFaces.size(), 30u);
    EXPECT_TRUE(view->DepthBits() == 32 || view->DepthBits() == 24);
    EXPECT_EQ(frame->GetTitle(), "Tarvo");
    EXPECT_EQ(frame->GetMenuBar()->GetMenuCount(), 4u);
}

TEST_F(FrameTest, CameraLooksFromAboveTheFrontAtTheOrigin)
{
    const auto mv = Matrix(GL_MODELVIEW_MATRIX);
    const auto eye = Apply(mv, kStartEye[0], kStartEye[1], kStartEye[2]);
    EXPECT_NEAR(eye[0], 0.0, 1e-6);
    EXPECT_NEAR(eye[1], 0.0, 1e-6);
    EXPECT_NEAR(eye[2], 1.0, 1e-6);
    const auto origin = Apply(mv, kStartCentre[0], kStartCentre[1], kStartCentre[2]);
    EXPECT_NEAR(std::hypot(origin[0], origin[1], origin[2]), 0.0, 1e-6);
}

TEST_F(FrameTest, ProjectionFollowsTheAspectRatio)
{
    struct Case {
        int width, height;
        double vertical;
    };
    for (const Case c : {Case{400, 200, 0.5}, Case{300, 600, 2.0}, Case{300, 300, 1.0}}) {
        frame->SetClientSize(c.width, c.height);
        ASSERT_TRUE(PumpUntil([&] { return view->GetClientSize() == wxSize(c.width, c.height); }));
        Pump(30);
        const auto p = Matrix(GL_PROJECTION_MATRIX);
        EXPECT_NEAR(p[0], 1.0, 1e-12) << "horizontal extent stays -1 ... 1";
        EXPECT_NEAR(p[5], 1.0 / c.vertical, 1e-12) << c.width << "x" << c.height;
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], c.width);
        EXPECT_EQ(viewport[3], c.height);
    }
}

TEST_F(FrameTest, FullScreenFillsTheScreenAndLeavingRestoresTheSize)
{
    const wxSize windowed = frame->GetSize();
    Command(ID_FULL_SCREEN);
    EXPECT_TRUE(frame->IsFullScreen());
    ASSERT_TRUE(PumpUntil([&] { return view->GetClientSize().GetWidth() > 1000; }));
    Pump(30);
    GLint viewport[4] = {};
    ASSERT_TRUE(view->MakeCurrent());
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], view->GetClientSize().GetWidth()) << "the viewport follows";
    frame->SetSize(900, 700);
    Pump(30);
    frame->LeaveFullScreen();
    EXPECT_FALSE(frame->IsFullScreen());
    ASSERT_TRUE(PumpUntil([&] { return frame->GetSize() == windowed; }));
}

TEST_F(FrameTest, ResizeLeavesProjectionCurrentAndDrawingUsesTheModelview)
{
    const auto modelviewBefore = Matrix(GL_MODELVIEW_MATRIX);
    wxSizeEvent size(wxSize(400, 300), view->GetId());
    size.SetEventObject(view);
    view->GetEventHandler()->ProcessEvent(size);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);

    // A plain drag still turns the modelview, not the projection.
    const auto projectionBefore = Matrix(GL_PROJECTION_MATRIX);
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false);
    Mouse(wxEVT_MOTION, 150, 100, true, false);
    Mouse(wxEVT_LEFT_UP, 150, 100, false, false);
    Pump(30);
    ExpectMatrixNear(Matrix(GL_PROJECTION_MATRIX), projectionBefore, 0.0);
    EXPECT_GT(std::fabs(Matrix(GL_MODELVIEW_MATRIX)[0] - modelviewBefore[0]), 0.001);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW) << "the paint selects the modelview itself";
}

TEST_F(FrameTest, NewMeshRevisionIsProjectedAtTheNextPaint)
{
    CSurfaceApp& app = TheSurfaceApp();
    ResolutionSettings s;
    s.surfaceKind = kFourDBottle;
    s.thetaCount = 40;
    s.phiCount = 30;
    ASSERT_EQ(app.ApplyResolution(s), RegenerateResult::Rebuilt);
    EXPECT_EQ(app.meshRevision, 1);
    app.RequestRepaint();
    ASSERT_TRUE(PumpUntil([&] { return view->projectedRevision == 1; }));
    EXPECT_EQ(view->projection.projX.size(), 1200u);
    EXPECT_EQ(view->barBuiltRevision, 0) << "the bar is not rebuilt for a new mesh";

    // Refused counts keep the shown mesh and the settings that made it.
    ResolutionSettings bad = s;
    bad.thetaCount = -3;
    EXPECT_EQ(app.ApplyResolution(bad), RegenerateResult::BadCounts);
    EXPECT_EQ(app.thetaCount, 40);
    EXPECT_EQ(app.mesh.VertexCount(), 1200u);
}

TEST_F(FrameTest, SavedPictureEqualsTheScreenAndLargerOnesKeepTheExtents)
{
    const std::string folder = "/tmp/tarvo-save-" + std::to_string(::getpid());
    ASSERT_TRUE(wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false);
    Mouse(wxEVT_MOTION, 140, 120, true, false);
    Mouse(wxEVT_LEFT_UP, 140, 120, false, false);
    const auto screen = ScreenPixels();
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
        wxImage::AddHandler(new wxPNGHandler);  // for reading the files back
    }

    ASSERT_EQ(SaveViewPicture(*view, folder + "/one.png", 1), "");
    wxImage one(folder + "/one.png", wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(one.IsOk());
    ASSERT_EQ(one.GetSize(), wxSize(400, 300));
    EXPECT_TRUE(std::equal(screen.begin(), screen.end(), one.GetData()));

    // The copy is the same picture.
    ASSERT_EQ(CopyViewPicture(*view), "");
    wxBitmapDataObject copied;
    ASSERT_TRUE(wxTheClipboard->Open());
    EXPECT_TRUE(wxTheClipboard->GetData(copied));
    wxTheClipboard->Close();
    const wxImage pasted = copied.GetBitmap().ConvertToImage();
    ASSERT_EQ(pasted.GetSize(), wxSize(400, 300));
    EXPECT_TRUE(std::equal(screen.begin(), screen.end(), pasted.GetData()));

    // 2x: twice the pixels of the same picture; a 2x2 block's average is near the pixel.
    ASSERT_EQ(SaveViewPicture(*view, folder + "/two.png", 2), "");
    wxImage two(folder + "/two.png", wxBITMAP_TYPE_PNG);
    ASSERT_EQ(two.GetSize(), wxSize(800, 600));
    const wxImage halved = two.Scale(400, 300, wxIMAGE_QUALITY_BOX_AVERAGE);
    long far = 0;
    for (std::size_t i = 0; i < screen.size(); ++i) {
        far += std::abs(int(halved.GetData()[i]) - int(screen[i])) > 64;
    }
    EXPECT_LT(far, long(screen.size() / 100)) << "only edges may differ";
    EXPECT_EQ(ScreenPixels(), screen) << "saving leaves the screen and the projection as they were";
    wxFileName::Rmdir(folder, wxPATH_RMDIR_RECURSIVE);
}

// Run as root, a read-only folder is still writable; a folder that is a
// file and a write cut short by the file size limit fail for everyone.
TEST_F(FrameTest, FailedSaveNamesFileAndReasonAndKeepsTheOldFile)
{
    const std::string folder = "/tmp/tarvo-fail-" + std::to_string(::getpid());
    ASSERT_TRUE(wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    const std::string old = folder + "/tarvo.png";
    { std::ofstream(old) << "old picture"; }

    const std::string inFile = old + "/tarvo.png";
    std::string message = SaveViewPicture(*view, inFile, 1);
    EXPECT_NE(message.find(inFile), std::string::npos) << message;
    EXPECT_NE(message.find(kStrSaveNoFolder), std::string::npos) << message;

    struct rlimit limit = {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const struct rlimit small = {100, limit.rlim_max};
    const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    message = SaveViewPicture(*view, old, 2);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousSignal);
    EXPECT_NE(message.find(old), std::string::npos) << message;
    std::ifstream kept(old);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "old picture");
    wxArrayString left;
    EXPECT_EQ(wxDir::GetAllFiles(folder, &left, "", wxDIR_FILES | wxDIR_HIDDEN), 1u)
        << "no temporary file stays";

    // A view of no area saves nothing and says why.
    view->SetSize(0, 0);
    message = SaveViewPicture(*view, folder + "/empty.png", 1);
    EXPECT_NE(message.find(kStrPictureEmptyView), std::string::npos) << message;
    EXPECT_FALSE(wxFileExists(folder + "/empty.png"));
    wxFileName::Rmdir(folder, wxPATH_RMDIR_RECURSIVE);
}

// What protected the file saved over stays, a link is written through, and
// a name as long as the system takes is saved (the temporary name fits too).
TEST_F(FrameTest, SavingOverAFileKeepsItsProtectionAndWritesThroughLinks)
{
    const std::string folder = "/tmp/tarvo-over-" + std::to_string(::getpid());
    ASSERT_TRUE(wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    const std::string target = folder + "/private.png";
    { std::ofstream(target) << "old picture"; }
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("private.png", (folder + "/link.png").c_str()), 0);

    ASSERT_EQ(SaveViewPicture(*view, folder + "/link.png", 1), "");
    struct stat saved = {};
    ASSERT_EQ(::lstat((folder + "/link.png").c_str(), &saved), 0);
    EXPECT_TRUE(S_ISLNK(saved.st_mode)) << "the link was replaced by a file";
    ASSERT_EQ(::stat(target.c_str(), &saved), 0);
    EXPECT_EQ(saved.st_mode & 0777, 0600u) << "the private file became readable by others";
    EXPECT_GT(saved.st_size, 1000);

    const std::string longName = folder + "/" + std::string(248, 'n');
    EXPECT_EQ(SaveViewPicture(*view, longName, 1), "");
    EXPECT_TRUE(wxFileExists(longName));
    wxFileName::Rmdir(folder, wxPATH_RMDIR_RECURSIVE);
}

// Guards the German-locale run of the dialog tests: it only means something
// if the toolkit really switched the process to a decimal comma.
TEST(LocaleTest, ToolkitTookTheLocaleOfTheEnvironment)
{
    const char* requested = std::getenv("LC_ALL");
    if (requested == nullptr || std::string(requested).rfind("de_DE", 0) != 0) {
        GTEST_SKIP() << "not the German-locale run";
    }
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
}

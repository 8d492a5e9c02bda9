// The program in English as well as Japanese, on the X server: every text of
// every dialog fits its control in both languages (also at twice the scale,
// as a separate run under GDK_SCALE=2), a switch while running changes the
// menus and an open dialog at once and nothing else, and numbers keep their
// form in English (also run under a German locale).

#include "app/AboutDlg.h"
#include "app/ColorDlg.h"
#include "app/ControlsHelpDlg.h"
#include "app/DataExchange.h"
#include "app/DialogBuilder.h"
#include "app/LanguageChoice.h"
#include "app/LanguageMenu.h"
#include "app/ResolutionDlg.h"
#include "app/Translations.h"
#include "app/VisualAidMenu.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "DialogTextFit.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

wxString Shown(const Text& text)
{
    return wxString::FromUTF8(std::string(text));
}

// Back to Japanese after each test, whatever it switched to.
class LanguageTest : public ::testing::Test {
protected:
    void TearDown() override { UseLanguage(kJapanese); }
};

using DialogMaker = std::function<CTemplateDialog*()>;

const std::vector<std::pair<const char*, DialogMaker>>& AllDialogs()
{
    static const std::vector<std::pair<const char*, DialogMaker>> dialogs = {
        {"about", [] { return new CAboutDlg; }},
        {"resolution", [] { return new CResolutionDlg; }},
        {"colour", [] { return new CColorDlg; }},
        {"controls help", [] { return new CControlsHelpDlg; }},
    };
    return dialogs;
}

void ExpectTextsFit(CTemplateDialog& dialog)
{
    for (const std::string& problem : TextFitProblems(dialog)) {
        ADD_FAILURE() << problem;
    }
}

}  // namespace

TEST_F(LanguageTest, EveryDialogTextFitsItsControlInBothLanguages)
{
    for (const char* language : {kJapanese, kEnglish}) {
        ASSERT_TRUE(UseLanguage(language));
        for (const auto& [name, make] : AllDialogs()) {
            SCOPED_TRACE(std::string(language) + ": the " + name + " dialog");
            CTemplateDialog* dialog = make();
            dialog->OnInitDialog();
            dialog->Show(true);
            Pump(30);
            ExpectTextsFit(*dialog);
            EXPECT_EQ(dialog->GetTitle(), Shown(dialog->Layout().caption));
            if (auto* ok = dialog->FindWindow(wxID_OK); name == std::string("controls help")) {
                // Centred under the table, however wide the table grew.
                const wxRect rect = ok->GetRect();
                EXPECT_NEAR(rect.x + rect.width / 2.0, dialog->GetClientSize().x / 2.0, 1.0);
            }
            dialog->Destroy();
            Pump(10);
        }
    }
}

TEST_F(LanguageTest, EnglishTextsComeFromTheBuiltInCatalogue)
{
    EXPECT_EQ(CatalogueLanguages(), std::vector<std::string>{kEnglish});
    EXPECT_FALSE(UseLanguage("xx"));
    EXPECT_EQ(CurrentLanguage(), kJapanese);
    EXPECT_EQ(std::string(kStrKindFourDBottle), kStrKindFourDBottle.Id());
    ASSERT_TRUE(UseLanguage(kEnglish));
    EXPECT_EQ(CurrentLanguage(), kEnglish);
    EXPECT_EQ(std::string(kStrKindMobius), "Möbius strip");
    EXPECT_EQ(std::string(kStrKindBottle), "Tarvo bottle");
    EXPECT_EQ(std::string(kStrKindFourDBottle), "Tarvo bottle in four dimensions");
    EXPECT_EQ(std::string(kStrMenuSavePicture), "&Save Picture...\tCtrl+S");
    EXPECT_EQ(FourDBottleCountsMessage(),
              "Please enter whole numbers of 0 or more for θ and φ whose product is at most "
              "4,000,000.");
    EXPECT_EQ(PictureTooLargeMessage(9000, 600, 8192),
              "A picture of 9000 × 600 pixels cannot be drawn: this OpenGL implementation draws "
              "at most 8192 pixels in width and height.");
}

// Numbers shown and parsed the same in English, also under a German locale.
TEST_F(LanguageTest, EnglishDialogKeepsNumbersAndRefusesInEnglish)
{
    ASSERT_TRUE(UseLanguage(kEnglish));
    std::vector<wxString> messages;
    const DialogMessageHook previous = SetDialogMessageHook(
        [&messages](wxWindow*, const wxString& text) { messages.push_back(text); });
    CResolutionDlg dialog;
    dialog.SetSettings(ResolutionSettings{});
    dialog.OnInitDialog();
    auto* ratio = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(IDC_HOLE_RATIO));
    auto* theta = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(IDC_THETA_COUNT));
    ASSERT_NE(ratio, nullptr);
    ASSERT_NE(theta, nullptr);
    EXPECT_EQ(ratio->GetValue(), "0.333");
    ratio->ChangeValue("0.25");
    theta->ChangeValue("x");
    EXPECT_FALSE(dialog.OnOK());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Please enter a whole number.");
    theta->ChangeValue("40");
    EXPECT_TRUE(dialog.OnOK());
    EXPECT_EQ(dialog.GetSettings().holeRatio, 0.25);
    SetDialogMessageHook(previous);
}

class LanguageSwitchTest : public FrameTest {
protected:
    void TearDown() override
    {
        UseLanguage(kJapanese);
        FrameTest::TearDown();
    }

    bool Checked(int id) { return frame->GetMenuBar()->IsChecked(id); }
};

TEST_F(LanguageSwitchTest, MenusAndOpenDialogsChangeAtOnceTheFigureAndTicksStay)
{
    wxMenuBar* bar = frame->GetMenuBar();
    EXPECT_EQ(bar->GetMenuLabel(0), Shown(kStrMenuFile));
    EXPECT_TRUE(Checked(ID_LANGUAGE_JAPANESE));
    frame->visualAids->Set(ID_BACK_COLOUR, true);
    bar->Check(ID_COARSE_WHILE_DRAGGING, false);
    const std::vector<unsigned char> before = ScreenPixels();

    // An open dialog with a value typed but not confirmed.
    auto* dialog = new CResolutionDlg(frame);
    dialog->SetSettings(ResolutionSettings{});
    dialog->OnInitDialog();
    dialog->Show(true);
    auto* theta = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(IDC_THETA_COUNT));
    ASSERT_NE(theta, nullptr);
    theta->ChangeValue("77");
    const wxSize japaneseSize = dialog->GetClientSize();

    ASSERT_TRUE(SwitchLanguage(*frame, kEnglish));
    Pump(50);
    EXPECT_EQ(frame->GetMenuBar(), bar) << "the menu bar itself stays";
    EXPECT_EQ(bar->GetMenuLabel(0), "&File");
    EXPECT_EQ(bar->GetMenuLabel(1), "&Settings");
    EXPECT_EQ(bar->GetMenuLabel(2), "&View");
    EXPECT_EQ(bar->GetMenuLabel(3), "&Help");
    EXPECT_EQ(bar->GetLabel(ID_RESET_VIEW), "&Reset View\tHome");
    EXPECT_EQ(bar->GetLabel(ID_CONTROLS_HELP), "Mouse and &Keys...\tF1");
    EXPECT_TRUE(Checked(ID_LANGUAGE_ENGLISH));
    EXPECT_FALSE(Checked(ID_LANGUAGE_JAPANESE));
    EXPECT_TRUE(Checked(ID_BACK_COLOUR));
    EXPECT_FALSE(Checked(ID_COARSE_WHILE_DRAGGING));
    EXPECT_TRUE(frame->view->visualAids.backColour);

    EXPECT_EQ(dialog->GetTitle(), "Surface and Resolution");
    // From UTF-8: in the POSIX locale a narrow literal is not read as UTF-8.
    EXPECT_EQ(dialog->FindWindow(IDC_THETA_LABEL)->GetLabel(),
              wxString::FromUTF8("θ direction"));
    EXPECT_EQ(dialog->FindWindow(IDC_KIND_FOURD_BOTTLE)->GetLabel(),
              "Tarvo bottle in four dimensions");
    EXPECT_EQ(theta->GetValue(), "77");
    EXPECT_GT(dialog->GetClientSize().x, japaneseSize.x) << "not widened for the English texts";
    ExpectTextsFit(*dialog);

    // Back to Japanese: the dialog as its template has it again.
    ASSERT_TRUE(SwitchLanguage(*frame, kJapanese));
    Pump(50);
    EXPECT_EQ(bar->GetMenuLabel(0), Shown(kStrMenuFile));
    EXPECT_EQ(dialog->GetTitle(), Shown(kStrResolutionCaption));
    EXPECT_EQ(dialog->GetClientSize(), japaneseSize);
    EXPECT_TRUE(Checked(ID_BACK_COLOUR));
    dialog->Destroy();
    Pump(50);

    // The figure is drawn the same whatever the language.
    frame->view->Refresh();
    EXPECT_EQ(ScreenPixels(), before);
    EXPECT_EQ(TheSurfaceApp().GetResolutionSettings().thetaCount, ResolutionSettings{}.thetaCount);
}

TEST_F(LanguageSwitchTest, TheSubmenuSwitchesWhenItsItemIsChosen)
{
    Command(ID_LANGUAGE_ENGLISH);
    ASSERT_TRUE(PumpUntil([] { return CurrentLanguage() == kEnglish; }, 2000));
    Pump(30);
    EXPECT_EQ(frame->GetMenuBar()->GetMenuLabel(2), "&View");
    Command(ID_LANGUAGE_JAPANESE);
    ASSERT_TRUE(PumpUntil([] { return CurrentLanguage() == kJapanese; }, 2000));
    Pump(30);
    EXPECT_EQ(frame->GetMenuBar()->GetMenuLabel(2), Shown(kStrMenuView));
}

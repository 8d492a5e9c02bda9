// The three dialogs, built for real on the X server and driven in code: the
// data exchange in both directions, the refusals, the enabling of the
// resolution parameters, the modal ends and the layout.

#include "app/AboutDlg.h"
#include "app/ColorDlg.h"
#include "app/ControlsHelpDlg.h"
#include "app/DialogBuilder.h"
#include "app/ResolutionDlg.h"
#include "resources/DialogTemplates.h"
#include "resources/Strings.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <functional>
#include <string>
#include <vector>

namespace {

wxString U8(const std::string& text)
{
    return wxString::FromUTF8(text);
}

void PumpEvents(int milliseconds = 30)
{
    Pump(milliseconds);
}

bool PumpEventsUntil(const std::function<bool()>& done, int milliseconds = 3000)
{
    return PumpUntil(done, milliseconds);
}

// A click on a radio button as the user makes it: the button turns on and
// the dialog hears about it.
void ClickRadio(wxWindow* dialog, int id)
{
    auto* radio = dynamic_cast<wxRadioButton*>(dialog->FindWindow(id));
    ASSERT_NE(radio, nullptr) << id;
    radio->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, id);
    event.SetEventObject(radio);
    event.SetInt(1);
    radio->GetEventHandler()->ProcessEvent(event);
}

void PressButton(wxWindow* dialog, int id)
{
    wxWindow* button = dialog->FindWindow(id);
    ASSERT_NE(button, nullptr) << id;
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
}

// Runs the dialog modally while actions run inside its loop. A dialog that
// fails to end is ended from outside after a while, with kStuck, so a fault
// fails the test instead of hanging it.
constexpr int kStuck = -77;

int RunModal(wxDialog& dialog, const std::function<void()>& actions)
{
    wxTimer guard;
    guard.Bind(wxEVT_TIMER, [&dialog](wxTimerEvent&) {
        if (dialog.IsModal()) {
            dialog.EndModal(kStuck);
        }
    });
    guard.StartOnce(5000);
    dialog.CallAfter(actions);
    const int result = dialog.ShowModal();
    guard.Stop();
    return result;
}

void PressEscape(wxWindow* dialog)
{
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = WXK_ESCAPE;
    event.SetEventObject(dialog);
    dialog->GetEventHandler()->ProcessEvent(event);
}

// Replaces the data exchange's message box with a record of what it would
// have shown, for the life of a test.
class DialogTest : public ::testing::Test {
protected:
    struct Message {
        wxWindow* dialog;
        wxString text;
    };

    void SetUp() override
    {
        previousHook_ = SetDialogMessageHook([this](wxWindow* dialog, const wxString& text) {
            messages.push_back({dialog, text});
        });
    }

    void TearDown() override
    {
        SetDialogMessageHook(previousHook_);
        PumpEvents(10);
    }

    std::vector<Message> messages;

private:
    DialogMessageHook previousHook_;
};

// The resolution dialog as the command opens it with the start settings,
// shown (not modally) with its controls filled.
class ResolutionDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        dialog = new CResolutionDlg();
        dialog->thetaCount = 100;
        dialog->phiCount = 100;
        dialog->holeRatio = 0.333;
        dialog->surfaceKind = 0;
        dialog->Show();
        ASSERT_TRUE(PumpEventsUntil([this] { return Edit(IDC_THETA_COUNT)->GetValue() == "100"; }))
            << "showing the dialog did not fill its controls";
    }

    void TearDown() override
    {
        dialog->Destroy();
        DialogTest::TearDown();
    }

    wxTextCtrl* Edit(int id) { return dynamic_cast<wxTextCtrl*>(dialog->FindWindow(id)); }

    bool Checked(int id)
    {
        return dynamic_cast<wxRadioButton*>(dialog->FindWindow(id))->GetValue();
    }

    // Whether all six parameter controls are in the given state.
    void ExpectParametersEnabled(bool enabled)
    {
        for (int id : {IDC_THETA_COUNT, IDC_PHI_COUNT, IDC_HOLE_RATIO, IDC_THETA_LABEL,
                       IDC_PHI_LABEL, IDC_HOLE_RATIO_LABEL}) {
            EXPECT_EQ(dialog->FindWindow(id)->IsEnabled(), enabled) << "control " << id;
        }
    }

    void ExpectMembersUnchanged()
    {
        EXPECT_EQ(dialog->thetaCount, 100);
        EXPECT_EQ(dialog->phiCount, 100);
        EXPECT_EQ(dialog->holeRatio, 0.333);
        EXPECT_EQ(dialog->surfaceKind, 0);
    }

    // OK was refused: one message, the dialog open, focus where asked.
    void ExpectRefused(const std::string& message, int focusId)
    {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, wxString::FromUTF8(message));
        EXPECT_EQ(messages[0].dialog, dialog);
        EXPECT_TRUE(dialog->IsShown());
        wxTextCtrl* edit = Edit(focusId);
        if (edit->IsEnabled()) {
            PumpEvents();
            EXPECT_EQ(wxWindow::FindFocus(), edit) << "focus not on control " << focusId;
        }
        messages.clear();
    }

    CResolutionDlg* dialog = nullptr;
};

}  // namespace

TEST_F(ResolutionDialogTest, StartSettingsShowTheStripWithDisabledParameters)
{
    EXPECT_TRUE(Checked(IDC_KIND_MOBIUS));
    EXPECT_FALSE(Checked(IDC_KIND_BOTTLE));
    EXPECT_FALSE(Checked(IDC_KIND_FOURD_BOTTLE));
    EXPECT_EQ(Edit(IDC_THETA_COUNT)->GetValue(), "100");
    EXPECT_EQ(Edit(IDC_PHI_COUNT)->GetValue(), "100");
    EXPECT_EQ(Edit(IDC_HOLE_RATIO)->GetValue(), "0.333");
    EXPECT_EQ(dialog->FindWindow(IDC_THETA_LABEL)->GetLabel(), U8(kStrThetaLabel));
    EXPECT_EQ(dialog->FindWindow(IDC_PHI_LABEL)->GetLabel(), U8(kStrPhiLabel));
    EXPECT_EQ(dialog->FindWindow(IDC_HOLE_RATIO_LABEL)->GetLabel(), U8(kStrHoleRatioLabel));
    EXPECT_EQ(dialog->GetTitle(), U8(kStrResolutionCaption));
    ExpectParametersEnabled(false);
}

TEST_F(ResolutionDialogTest, OnlyTheFourDimensionalBottleEnablesTheParameters)
{
    ClickRadio(dialog, IDC_KIND_FOURD_BOTTLE);
    ExpectParametersEnabled(true);
    ClickRadio(dialog, IDC_KIND_BOTTLE);
    ExpectParametersEnabled(false);
    ClickRadio(dialog, IDC_KIND_FOURD_BOTTLE);
    ExpectParametersEnabled(true);
    ClickRadio(dialog, IDC_KIND_MOBIUS);
    ExpectParametersEnabled(false);

    // Opening with the four-dimensional bottle chosen starts enabled.
    dialog->surfaceKind = 2;
    dialog->OnInitDialog();
    EXPECT_TRUE(Checked(IDC_KIND_FOURD_BOTTLE));
    EXPECT_FALSE(Checked(IDC_KIND_MOBIUS));
    ExpectParametersEnabled(true);
}

TEST_F(ResolutionDialogTest, DisabledFieldsAreStillReadAndValidated)
{
    ClickRadio(dialog, IDC_KIND_FOURD_BOTTLE);
    Edit(IDC_THETA_COUNT)->ChangeValue("abc");
    ClickRadio(dialog, IDC_KIND_MOBIUS);
    ASSERT_FALSE(Edit(IDC_THETA_COUNT)->IsEnabled());

    EXPECT_FALSE(dialog->OnOK());
    ExpectRefused(kStrEnterInteger, IDC_THETA_COUNT);
    ExpectMembersUnchanged();

    // A valid value in the disabled field is stored.
    Edit(IDC_THETA_COUNT)->ChangeValue("\t 12  ");
    EXPECT_TRUE(dialog->OnOK());
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_EQ(dialog->GetReturnCode(), wxID_OK);
    EXPECT_EQ(dialog->thetaCount, 12);
    EXPECT_EQ(dialog->phiCount, 100);
    EXPECT_EQ(dialog->surfaceKind, 0);
}

TEST_F(ResolutionDialogTest, UnreadableTextRefusesOkWithFocusOnTheField)
{
    ClickRadio(dialog, IDC_KIND_FOURD_BOTTLE);

    Edit(IDC_PHI_COUNT)->ChangeValue("12a");
    EXPECT_FALSE(dialog->OnOK());
    ExpectRefused(kStrEnterInteger, IDC_PHI_COUNT);
    ExpectMembersUnchanged();

    // The θ count after a valid φ count: nothing is stored, not even φ.
    Edit(IDC_PHI_COUNT)->ChangeValue("50");
    Edit(IDC_THETA_COUNT)->ChangeValue("1.5");
    EXPECT_FALSE(dialog->OnOK());
    ExpectRefused(kStrEnterInteger, IDC_THETA_COUNT);
    ExpectMembersUnchanged();

    Edit(IDC_THETA_COUNT)->ChangeValue("60");
    Edit(IDC_HOLE_RATIO)->ChangeValue("0.5x");
    EXPECT_FALSE(dialog->OnOK());
    ExpectRefused(kStrEnterNumber, IDC_HOLE_RATIO);
    ExpectMembersUnchanged();

    Edit(IDC_HOLE_RATIO)->ChangeValue("nan");
    EXPECT_FALSE(dialog->OnOK());
    ExpectRefused(kStrEnterNumber, IDC_HOLE_RATIO);

    Edit(IDC_HOLE_RATIO)->ChangeValue("1e-1");
    EXPECT_TRUE(dialog->OnOK());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(dialog->phiCount, 50);
    EXPECT_EQ(dialog->thetaCount, 60);
    EXPECT_EQ(dialog->holeRatio, 0.1);
    EXPECT_EQ(dialog->surfaceKind, 2);
}

TEST_F(ResolutionDialogTest, CountsTheBottleCannotUseAreRefusedForEveryKind)
{
    const std::string refusal = FourDBottleCountsMessage();
    // The strip stays selected: the counts are stored whatever the kind.
    Edit(IDC_PHI_COUNT)->ChangeValue("-1");
    EXPECT_FALSE(dialog->OnOK());
    ExpectRefused(refusal, IDC_PHI_COUNT);

    Edit(IDC_PHI_COUNT)->ChangeValue("100");
    Edit(IDC_THETA_COUNT)->ChangeValue("-2147483648");
    EXPECT_FALSE(dialog->OnOK());
    ExpectRefused(refusal, IDC_THETA_COUNT);

    ClickRadio(dialog, IDC_KIND_FOURD_BOTTLE);
    // One face over the limit; the larger count takes the blame.
    Edit(IDC_THETA_COUNT)->ChangeValue("4000001");
    Edit(IDC_PHI_COUNT)->ChangeValue("1");
    EXPECT_FALSE(dialog->OnOK());
    ExpectRefused(refusal, IDC_THETA_COUNT);

    Edit(IDC_THETA_COUNT)->ChangeValue("2000");
    Edit(IDC_PHI_COUNT)->ChangeValue("2001");
    EXPECT_FALSE(dialog->OnOK());
    ExpectRefused(refusal, IDC_PHI_COUNT);

    Edit(IDC_THETA_COUNT)->ChangeValue("2147483647");
    Edit(IDC_PHI_COUNT)->ChangeValue("2147483647");
    EXPECT_FALSE(dialog->OnOK());
    ExpectRefused(refusal, IDC_PHI_COUNT);
    ExpectMembersUnchanged();

    // Exactly at the limit, and zero, are accepted.
    Edit(IDC_THETA_COUNT)->ChangeValue("2000");
    Edit(IDC_PHI_COUNT)->ChangeValue("2000");
    EXPECT_TRUE(dialog->OnOK());
    EXPECT_EQ(dialog->thetaCount, 2000);
    EXPECT_EQ(dialog->phiCount, 2000);

    dialog->Show();
    Edit(IDC_THETA_COUNT)->ChangeValue("0");
    Edit(IDC_PHI_COUNT)->ChangeValue("0");
    EXPECT_TRUE(dialog->OnOK());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(dialog->thetaCount, 0);
    EXPECT_EQ(dialog->phiCount, 0);
}

TEST_F(ResolutionDialogTest, CancelStoresNothing)
{
    ClickRadio(dialog, IDC_KIND_FOURD_BOTTLE);
    Edit(IDC_THETA_COUNT)->ChangeValue("7");
    Edit(IDC_HOLE_RATIO)->ChangeValue("junk");
    PressButton(dialog, wxID_CANCEL);
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_EQ(dialog->GetReturnCode(), wxID_CANCEL);
    EXPECT_TRUE(messages.empty());
    ExpectMembersUnchanged();
}

// The modal path the command handler takes: ShowModal, with the user's
// actions arriving from inside the modal loop.
TEST_F(DialogTest, ResolutionDialogEndsModallyWithOkOnlyWhenTheDataIsGood)
{
    CResolutionDlg dialog;
    dialog.thetaCount = 100;
    dialog.phiCount = 100;
    dialog.holeRatio = 0.333;
    dialog.surfaceKind = 0;
    bool sawFilledControls = false;
    const int result = RunModal(dialog, [&] {
        auto* theta = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(IDC_THETA_COUNT));
        sawFilledControls = theta->GetValue() == "100" && !theta->IsEnabled();
        ClickRadio(&dialog, IDC_KIND_FOURD_BOTTLE);
        theta->ChangeValue("x");
        PressButton(&dialog, wxID_OK);  // refused: the loop goes on
        theta->ChangeValue(" 12 ");
        PressButton(&dialog, wxID_OK);
    });
    EXPECT_EQ(result, wxID_OK);
    EXPECT_TRUE(sawFilledControls);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, U8(kStrEnterInteger));
    EXPECT_EQ(dialog.thetaCount, 12);
    EXPECT_EQ(dialog.surfaceKind, 2);
}

TEST_F(DialogTest, EscapeAndTheCloseBoxCancelWithoutExchanging)
{
    for (bool useEscape : {true, false}) {
        SCOPED_TRACE(useEscape ? "Esc" : "close box");
        CResolutionDlg dialog;
        dialog.thetaCount = 100;
        dialog.phiCount = 100;
        dialog.holeRatio = 0.333;
        dialog.surfaceKind = 0;
        const int result = RunModal(dialog, [&] {
            ClickRadio(&dialog, IDC_KIND_BOTTLE);
            dynamic_cast<wxTextCtrl*>(dialog.FindWindow(IDC_PHI_COUNT))->ChangeValue("junk");
            if (useEscape) {
                PressEscape(&dialog);
            } else {
                dialog.Close();
            }
        });
        EXPECT_EQ(result, wxID_CANCEL);
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(dialog.phiCount, 100);
        EXPECT_EQ(dialog.surfaceKind, 0);
    }
}

// Both dialogs open with the focus on OK, whichever radio button is checked,
// so that no first arrow key changes a choice; Tab then runs in template
// order and enters each radio group at its checked button.
TEST_F(DialogTest, DialogsOpenWithFocusOnOkAndTabFollowsTheTemplate)
{
    CResolutionDlg resolution;
    resolution.thetaCount = 100;
    resolution.phiCount = 100;
    resolution.holeRatio = 0.333;
    resolution.surfaceKind = 2;
    CColorDlg color;
    color.colorIndex = 4;
    const std::vector<int> resolutionOrder = {wxID_OK, wxID_CANCEL, IDC_THETA_COUNT, IDC_PHI_COUNT,
                                              IDC_HOLE_RATIO, IDC_KIND_FOURD_BOTTLE, wxID_OK};
    const std::vector<int> colorOrder = {wxID_OK, wxID_CANCEL, IDC_COLOR_LIGHT_BLUE, IDC_TRANSLUCENT,
                                         IDC_WHITE_BACKGROUND, IDC_NO_BARS, wxID_OK};
    for (auto [dialog, order] : {std::make_pair<wxDialog*>(&resolution, resolutionOrder),
                                 std::make_pair<wxDialog*>(&color, colorOrder)}) {
        std::vector<int> visited;
        RunModal(*dialog, [&, dialog = dialog] {
            PumpEvents(100);
            for (std::size_t i = 0; i < order.size(); ++i) {
                wxWindow* focus = wxWindow::FindFocus();
                visited.push_back(focus != nullptr ? focus->GetId() : 0);
                if (focus != nullptr) {
                    focus->Navigate(wxNavigationKeyEvent::IsForward);
                }
                PumpEvents(20);
            }
            dialog->EndModal(wxID_CANCEL);
        });
        EXPECT_EQ(visited, order) << dialog->GetTitle();
    }
}

// Return on a radio button ends the dialog with OK only when the key comes
// up, as a focused button does; closed on the press, the keys typed right
// after it were lost.
TEST_F(DialogTest, ReturnOnAControlEndsTheDialogWhenTheKeyComesUp)
{
    CColorDlg dialog;
    dialog.colorIndex = 2;
    bool openAfterPress = false;
    const int result = RunModal(dialog, [&] {
        wxWindow* radio = dialog.FindWindow(IDC_COLOR_GREEN);
        radio->SetFocus();
        wxKeyEvent press(wxEVT_CHAR_HOOK);
        press.m_keyCode = WXK_RETURN;
        press.SetEventObject(radio);
        dialog.GetEventHandler()->ProcessEvent(press);
        openAfterPress = dialog.IsModal();
        wxKeyEvent release(wxEVT_KEY_UP);
        release.m_keyCode = WXK_RETURN;
        release.SetEventObject(radio);
        radio->GetEventHandler()->ProcessEvent(release);
    });
    EXPECT_TRUE(openAfterPress);
    EXPECT_EQ(result, wxID_OK);
    EXPECT_EQ(dialog.colorIndex, 2);
}

namespace {

class ColorDialogTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        dialog = new CColorDlg();
        dialog->colorIndex = 0;
        dialog->Show();
        PumpEvents();
    }

    void TearDown() override
    {
        dialog->Destroy();
        DialogTest::TearDown();
    }

    wxRadioButton* Radio(int id) { return dynamic_cast<wxRadioButton*>(dialog->FindWindow(id)); }
    wxCheckBox* Check(int id) { return dynamic_cast<wxCheckBox*>(dialog->FindWindow(id)); }

    CColorDlg* dialog = nullptr;
};

const int kColorRadios[] = {IDC_COLOR_RED,        IDC_COLOR_YELLOW, IDC_COLOR_GREEN,
                            IDC_COLOR_GREY,       IDC_COLOR_LIGHT_BLUE, IDC_COLOR_WHITE,
                            IDC_COLOR_BLACK};

}  // namespace

TEST_F(ColorDialogTest, StartSettingsShowRedAndNoChecks)
{
    EXPECT_EQ(dialog->GetTitle(), U8(kStrColorCaption));
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(Radio(kColorRadios[i])->GetValue(), i == 0) << "radio " << kColorRadios[i];
    }
    for (int id : {IDC_TRANSLUCENT, IDC_WHITE_BACKGROUND, IDC_NO_BARS}) {
        EXPECT_FALSE(Check(id)->GetValue()) << id;
    }
}

TEST_F(ColorDialogTest, WhiteAndBlackStoreFiveAndSix)
{
    ClickRadio(dialog, IDC_COLOR_WHITE);
    ASSERT_TRUE(dialog->OnOK());
    EXPECT_EQ(dialog->colorIndex, 5);

    dialog->Show();
    ClickRadio(dialog, IDC_COLOR_BLACK);
    ASSERT_TRUE(dialog->OnOK());
    EXPECT_EQ(dialog->colorIndex, 6);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ColorDialogTest, EveryCheckCombinationGoesWithEveryColour)
{
    for (int colour = 0; colour < 7; ++colour) {
        for (int flags = 0; flags < 8; ++flags) {
            SCOPED_TRACE("colour " + std::to_string(colour) + ", flags " + std::to_string(flags));
            // Loading shows the members.
            dialog->colorIndex = colour;
            dialog->translucent = flags & 1;
            dialog->whiteBackground = (flags >> 1) & 1;
            dialog->noBars = (flags >> 2) & 1;
            dialog->Show();
            dialog->OnInitDialog();
            for (int i = 0; i < 7; ++i) {
                EXPECT_EQ(Radio(kColorRadios[i])->GetValue(), i == colour);
            }
            EXPECT_EQ(Check(IDC_TRANSLUCENT)->GetValue(), (flags & 1) != 0);
            EXPECT_EQ(Check(IDC_WHITE_BACKGROUND)->GetValue(), (flags & 2) != 0);
            EXPECT_EQ(Check(IDC_NO_BARS)->GetValue(), (flags & 4) != 0);

            // Saving reads what the user set, whatever the members held.
            const int other = 6 - colour;
            const int inverse = 7 - flags;
            ClickRadio(dialog, kColorRadios[other]);
            Check(IDC_TRANSLUCENT)->SetValue((inverse & 1) != 0);
            Check(IDC_WHITE_BACKGROUND)->SetValue((inverse & 2) != 0);
            Check(IDC_NO_BARS)->SetValue((inverse & 4) != 0);
            ASSERT_TRUE(dialog->OnOK());
            EXPECT_EQ(dialog->colorIndex, other);
            EXPECT_EQ(dialog->translucent, inverse & 1);
            EXPECT_EQ(dialog->whiteBackground, (inverse >> 1) & 1);
            EXPECT_EQ(dialog->noBars, (inverse >> 2) & 1);
        }
    }
}

TEST_F(ColorDialogTest, CancelStoresNothing)
{
    ClickRadio(dialog, IDC_COLOR_GREEN);
    Check(IDC_NO_BARS)->SetValue(true);
    PressButton(dialog, wxID_CANCEL);
    EXPECT_EQ(dialog->GetReturnCode(), wxID_CANCEL);
    EXPECT_EQ(dialog->colorIndex, 0);
    EXPECT_EQ(dialog->noBars, 0);
}

namespace {

// Every control sits where its template puts it, converted from dialog
// units in the dialog's own font, and the children come in template order,
// which is also the tab order.
void ExpectLaidOutFromTemplate(CTemplateDialog& dialog)
{
    const DialogTemplate& layout = dialog.Layout();
    EXPECT_EQ(dialog.GetTitle(), U8(layout.caption));
    EXPECT_EQ(dialog.GetFont().GetPointSize(), layout.fontPoints);
    EXPECT_EQ(dialog.GetFont().GetFaceName(),
              ChooseDialogFontFace(U8(layout.fontName)));
    EXPECT_EQ(dialog.GetClientSize(),
              dialog.ConvertDialogToPixels(wxSize(layout.width, layout.height)));

    const wxWindowList& children = dialog.GetChildren();
    ASSERT_EQ(children.size(), layout.controlCount);
    std::size_t i = 0;
    for (wxWindow* child : children) {
        const ControlTemplate& c = layout.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + std::to_string(c.id) + ")");
        if (c.id != IDC_TEMPLATE_STATIC) {
            EXPECT_EQ(child->GetId(), WindowIdFromTemplateId(c.id));
        }
        EXPECT_EQ(child, dialog.TemplateControls()[i]);
        EXPECT_EQ(child->GetPosition(), dialog.ConvertDialogToPixels(wxPoint(c.x, c.y)));
        if (c.kind != ControlKind::StaticIcon) {
            EXPECT_EQ(child->GetSize(), dialog.ConvertDialogToPixels(wxSize(c.width, c.height)));
        }
        switch (c.kind) {
        case ControlKind::DefaultPushButton:
            EXPECT_EQ(dialog.GetDefaultItem(), child);
            [[fallthrough]];
        case ControlKind::PushButton:
            EXPECT_NE(dynamic_cast<wxButton*>(child), nullptr);
            EXPECT_EQ(child->GetLabel(), U8(c.text));
            break;
        case ControlKind::StaticText:
            EXPECT_NE(dynamic_cast<wxStaticText*>(child), nullptr);
            EXPECT_EQ(child->GetLabel(), U8(c.text));
            break;
        case ControlKind::Edit:
            EXPECT_NE(dynamic_cast<wxTextCtrl*>(child), nullptr);
            break;
        case ControlKind::AutoRadioButton:
            ASSERT_NE(dynamic_cast<wxRadioButton*>(child), nullptr);
            EXPECT_EQ(child->HasFlag(wxRB_GROUP), (c.style & kCtlGroup) != 0);
            EXPECT_EQ(child->GetLabel(), U8(c.text));
            break;
        case ControlKind::AutoCheckBox:
            EXPECT_NE(dynamic_cast<wxCheckBox*>(child), nullptr);
            EXPECT_EQ(child->GetLabel(), U8(c.text));
            break;
        case ControlKind::StaticIcon:
            ASSERT_NE(dynamic_cast<wxStaticBitmap*>(child), nullptr);
            EXPECT_TRUE(dynamic_cast<wxStaticBitmap*>(child)->GetBitmap().IsOk());
            break;
        }
        ++i;
    }
}

}  // namespace

TEST_F(DialogTest, ControlsStandWhereTheirTemplatesPutThem)
{
    {
        CResolutionDlg dialog;
        ExpectLaidOutFromTemplate(dialog);
    }
    {
        CColorDlg dialog;
        ExpectLaidOutFromTemplate(dialog);
    }
    {
        CAboutDlg dialog;
        ExpectLaidOutFromTemplate(dialog);
    }
    {
        CControlsHelpDlg dialog;
        ExpectLaidOutFromTemplate(dialog);
    }
    // The Japanese texts need a face that has them; one is installed here.
    EXPECT_FALSE(ChooseDialogFontFace(U8("ＭＳ Ｐゴシック")).empty());
}

TEST_F(DialogTest, AboutBoxShowsVersionAndClosesEveryWay)
{
    CAboutDlg dialog;
    EXPECT_EQ(dialog.GetTitle(), U8(kStrAboutCaption));
    std::vector<wxString> texts;
    for (wxWindow* child : dialog.GetChildren()) {
        if (dynamic_cast<wxStaticText*>(child) != nullptr) {
            texts.push_back(child->GetLabel());
        }
    }
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "Tarvo Version 1.0");
    EXPECT_EQ(texts[1], U8(kStrAboutDescription));
    EXPECT_FALSE(texts[1].empty());

    const std::function<void()> ways[] = {
        [&] { PressButton(&dialog, wxID_OK); },
        [&] { PressEscape(&dialog); },
        [&] { dialog.Close(); },
    };
    for (const auto& close : ways) {
        // With no Cancel button, Esc and the close box act as OK does.
        EXPECT_EQ(RunModal(dialog, close), wxID_OK);
        EXPECT_FALSE(dialog.IsShown());
    }
}

// The exchange on a dialog of its own: two radio groups with a check box
// inside the first, and an exchange that stops at its first refusal.
TEST_F(DialogTest, ExchangeCountsOnlyTheRadioButtonsOfItsGroupAndStopsAtARefusal)
{
    wxDialog dialog(nullptr, wxID_ANY, "exchange");
    new wxRadioButton(&dialog, 2001, "a0", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    new wxRadioButton(&dialog, 2002, "a1");
    new wxCheckBox(&dialog, 2003, "inside");
    new wxRadioButton(&dialog, 2004, "a2");
    new wxRadioButton(&dialog, 2005, "b0", wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    new wxRadioButton(&dialog, 2006, "b1");
    auto* count = new wxTextCtrl(&dialog, 2007, "");
    auto* ratio = new wxTextCtrl(&dialog, 2008, "");

    int32_t first = 2;
    int32_t second = 1;
    int32_t flag = 7;
    int32_t number = -5;
    double fraction = 0.25;
    {
        DataExchange load(&dialog, false);
        load.DDX_Radio(2001, first);
        load.DDX_Radio(2005, second);
        load.DDX_Check(2003, flag);
        load.DDX_Text(2007, number);
        load.DDX_Text(2008, fraction);
        EXPECT_FALSE(load.Failed());
    }
    EXPECT_TRUE(dynamic_cast<wxRadioButton*>(dialog.FindWindow(2004))->GetValue());
    EXPECT_TRUE(dynamic_cast<wxRadioButton*>(dialog.FindWindow(2006))->GetValue());
    EXPECT_TRUE(dynamic_cast<wxCheckBox*>(dialog.FindWindow(2003))->GetValue());
    EXPECT_EQ(count->GetValue(), "-5");
    EXPECT_EQ(ratio->GetValue(), "0.25");
    {
        // An index past the first group's three buttons reaches no button
        // of the second group.
        int32_t outside = 3;
        DataExchange load(&dialog, false);
        load.DDX_Radio(2001, outside);
    }
    EXPECT_FALSE(dynamic_cast<wxRadioButton*>(dialog.FindWindow(2005))->GetValue());
    EXPECT_TRUE(dynamic_cast<wxRadioButton*>(dialog.FindWindow(2006))->GetValue());

    ClickRadio(&dialog, 2002);
    count->ChangeValue("x");
    ratio->ChangeValue("0.75");
    {
        DataExchange save(&dialog, true);
        save.DDX_Radio(2001, first);
        save.DDX_Check(2003, flag);
        save.DDX_Text(2007, number);
        save.DDX_Text(2008, fraction);  // not reached: the exchange has stopped
        save.DDX_Radio(2005, second);
        EXPECT_TRUE(save.Failed());
        EXPECT_EQ(save.FailedControlId(), 2007);
    }
    EXPECT_EQ(first, 1);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(number, -5);
    EXPECT_EQ(fraction, 0.25);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, U8(kStrEnterInteger));
    EXPECT_EQ(messages[0].dialog, &dialog);
}

namespace {

// The two settings commands on the shown frame, their real dialogs driven
// from inside the modal loop. The dialog is first moved off the frame, so
// that its closing exposes nothing: every paint counted after that is one
// the command asked for.
class SettingsCommandTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        previousHook_ = SetDialogMessageHook([](wxWindow*, const wxString&) {});
        // Turn and move the figure first: the commands must keep both.
        Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false, false, true);
        Mouse(wxEVT_MOTION, 140, 100, true, false, false, true);
        Mouse(wxEVT_LEFT_UP, 140, 100, false, false);
        Mouse(wxEVT_LEFT_DOWN, 100, 100, true, false);
        Mouse(wxEVT_RIGHT_DOWN, 100, 100, true, true);
        Mouse(wxEVT_MOTION, 130, 90, true, true);
        Mouse(wxEVT_RIGHT_UP, 130, 90, true, false);
        Mouse(wxEVT_LEFT_UP, 130, 90, false, false);
        ASSERT_TRUE(PumpUntil([this] { return view->projectedRevision == TheSurfaceApp().meshRevision; }));
        modelview = Matrix(GL_MODELVIEW_MATRIX);
        orientation = view->orientation;
    }

    void TearDown() override
    {
        SetDialogMessageHook(previousHook_);
        FrameTest::TearDown();
    }

    // Runs the command; `actions` get its dialog once it stands off the
    // frame. Returns the paints that followed the actions.
    int RunCommand(void (CSurfaceApp::*command)(), const std::function<void(wxDialog*)>& actions)
    {
        PaintWatch watch(view);
        wxTimer act;
        wxDialog* dialog = nullptr;
        act.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            watch.paints = 0;
            actions(dialog);
            if (dialog->IsModal()) {
                dialog->EndModal(kStuck);  // the actions failed to end it
            }
        });
        wxTheApp->CallAfter([&] {
            for (wxWindow* window : wxTopLevelWindows) {
                if (auto* modal = dynamic_cast<wxDialog*>(window); modal && modal->IsModal()) {
                    dialog = modal;
                }
            }
            dialog->Move(800, 600);
            act.StartOnce(300);
        });
        (TheSurfaceApp().*command)();
        Pump(300);
        return watch.paints;
    }

    void ExpectPlacementKept()
    {
        ExpectMatrixNear(Matrix(GL_MODELVIEW_MATRIX), modelview, 0.0);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(view->orientation[i], orientation[i]) << i;
        }
    }

    std::array<double, 16> modelview{};
    Orientation4D orientation{};

private:
    DialogMessageHook previousHook_;
};

}  // namespace

TEST_F(SettingsCommandTest, ResolutionCommandStoresAndRegeneratesOnlyOnOk)
{
    CSurfaceApp& app = TheSurfaceApp();
    const ResolutionSettings settings = app.GetResolutionSettings();
    const int32_t revision = app.meshRevision;
    const std::vector<double> meshZ = app.mesh.z;

    const int cancelPaints = RunCommand(&CSurfaceApp::OnResolution, [](wxDialog* dialog) {
        ClickRadio(dialog, IDC_KIND_FOURD_BOTTLE);
        dynamic_cast<wxTextCtrl*>(dialog->FindWindow(IDC_THETA_COUNT))->ChangeValue("7");
        PressButton(dialog, wxID_CANCEL);
    });
    EXPECT_EQ(cancelPaints, 0) << "Cancel repaints nothing";
    EXPECT_EQ(app.GetResolutionSettings().surfaceKind, settings.surfaceKind);
    EXPECT_EQ(app.GetResolutionSettings().thetaCount, settings.thetaCount);
    EXPECT_EQ(app.meshRevision, revision);

    const int okPaints = RunCommand(&CSurfaceApp::OnResolution,
                                    [](wxDialog* dialog) { PressButton(dialog, wxID_OK); });
    EXPECT_GE(okPaints, 1);
    EXPECT_EQ(app.meshRevision, revision + 1);
    EXPECT_EQ(app.mesh.z, meshZ) << "the same mesh, rebuilt";
    EXPECT_EQ(view->projectedRevision, app.meshRevision);
    ExpectPlacementKept();
}

TEST_F(SettingsCommandTest, ColorCommandStoresOnlyOnOkAndRegeneratesNothing)
{
    CSurfaceApp& app = TheSurfaceApp();
    const int32_t revision = app.meshRevision;
    const auto changeAndPress = [](int button) {
        return [button](wxDialog* dialog) {
            ClickRadio(dialog, IDC_COLOR_WHITE);
            dynamic_cast<wxCheckBox*>(dialog->FindWindow(IDC_NO_BARS))->SetValue(true);
            PressButton(dialog, button);
        };
    };

    EXPECT_EQ(RunCommand(&CSurfaceApp::OnChangeColor, changeAndPress(wxID_CANCEL)), 0);
    EXPECT_EQ(app.GetDisplaySettings().colorIndex, 0);
    EXPECT_EQ(app.GetDisplaySettings().noBars, 0);

    EXPECT_GE(RunCommand(&CSurfaceApp::OnChangeColor, changeAndPress(wxID_OK)), 1);
    EXPECT_EQ(app.GetDisplaySettings().colorIndex, 5);
    EXPECT_EQ(app.GetDisplaySettings().noBars, 1);
    EXPECT_EQ(app.meshRevision, revision);
    EXPECT_EQ(view->projectedRevision, revision) << "nothing re-projected";
    ExpectPlacementKept();
}

#include "resources/DialogTemplates.h"

#include "resources/ControlsTable.h"
#include "resources/Strings.h"
#include "surfaces/SurfaceKinds.h"

#include <iterator>
#include <vector>

namespace {

constexpr char kDialogFont[] = "ＭＳ Ｐゴシック";
constexpr int kDialogFontPoints = 9;

constexpr ControlKind kDefButton = ControlKind::DefaultPushButton;
constexpr ControlKind kButton = ControlKind::PushButton;
constexpr ControlKind kStatic = ControlKind::StaticText;
constexpr ControlKind kEdit = ControlKind::Edit;
constexpr ControlKind kRadio = ControlKind::AutoRadioButton;
constexpr ControlKind kCheck = ControlKind::AutoCheckBox;
constexpr ControlKind kIcon = ControlKind::StaticIcon;

constexpr unsigned kEditStyle = kCtlBorder | kCtlTabStop;

const ControlTemplate kAboutControls[] = {
    {IDC_TEMPLATE_STATIC, kIcon, "", 11, 17, 20, 20, 0},
    {IDC_TEMPLATE_STATIC, kStatic, kStrAboutVersion, 40, 10, 119, 8, kCtlNoPrefix},
    {IDC_TEMPLATE_STATIC, kStatic, kStrAboutDescription, 40, 25, 119, 8, 0},
    {IDC_TEMPLATE_OK, kDefButton, kStrOk, 178, 7, 50, 14, kCtlTabStop},
};

// The radio buttons of the surface kinds follow these, one per kind.
const ControlTemplate kResolutionControls[] = {
    {IDC_TEMPLATE_OK, kDefButton, kStrOk, 185, 10, 50, 14, kCtlTabStop},
    {IDC_TEMPLATE_CANCEL, kButton, kStrCancel, 185, 27, 50, 14, kCtlTabStop},
    {IDC_THETA_LABEL, kStatic, kStrThetaLabel, 50, 71, 35, 10, kCtlGroup},
    {IDC_PHI_LABEL, kStatic, kStrPhiLabel, 50, 91, 35, 10, kCtlGroup},
    {IDC_THETA_COUNT, kEdit, "", 90, 65, 40, 15, kEditStyle},
    {IDC_PHI_COUNT, kEdit, "", 90, 85, 40, 15, kEditStyle},
    {IDC_HOLE_RATIO_LABEL, kStatic, kStrHoleRatioLabel, 50, 117, 35, 10, kCtlGroup},
    {IDC_HOLE_RATIO, kEdit, "", 90, 111, 40, 15, kEditStyle},
};

const ControlTemplate kColorControls[] = {
    {IDC_TEMPLATE_OK, kDefButton, kStrOk, 220, 15, 50, 14, kCtlTabStop},
    {IDC_TEMPLATE_CANCEL, kButton, kStrCancel, 220, 32, 50, 14, kCtlTabStop},
    {IDC_COLOR_RED, kRadio, kStrColorRed, 10, 10, 23, 10, kCtlGroup},
    {IDC_COLOR_YELLOW, kRadio, kStrColorYellow, 10, 25, 23, 10, 0},
    {IDC_COLOR_GREEN, kRadio, kStrColorGreen, 10, 40, 23, 10, 0},
    {IDC_COLOR_GREY, kRadio, kStrColorGrey, 60, 10, 30, 10, 0},
    {IDC_COLOR_LIGHT_BLUE, kRadio, kStrColorLightBlue, 60, 25, 30, 10, 0},
    {IDC_COLOR_WHITE, kRadio, kStrColorWhite, 105, 10, 35, 10, 0},
    {IDC_COLOR_BLACK, kRadio, kStrColorBlack, 105, 25, 40, 10, 0},
    {IDC_TRANSLUCENT, kCheck, kStrTranslucent, 60, 65, 45, 10, kCtlTabStop},
    {IDC_WHITE_BACKGROUND, kCheck, kStrWhiteBackground, 170, 65, 45, 10, kCtlTabStop},
    {IDC_NO_BARS, kCheck, kStrNoBars, 110, 65, 45, 10, kCtlTabStop},
};

const DialogTemplate kAbout = {
    kStrAboutCaption, 235, 55, kDialogFont, kDialogFontPoints,
    kAboutControls, std::size(kAboutControls),
};

const DialogTemplate kColor = {
    kStrColorCaption, 279, 91, kDialogFont, kDialogFontPoints,
    kColorControls, std::size(kColorControls),
};

}  // namespace

const DialogTemplate& AboutDialogTemplate()
{
    return kAbout;
}

const DialogTemplate& ResolutionDialogTemplate()
{
    // The kinds' radio buttons one below the other in kind order, so a
    // button's index in its group is the kind it stands for.
    static const std::vector<ControlTemplate> controls = [] {
        std::vector<ControlTemplate> table(std::begin(kResolutionControls),
                                           std::end(kResolutionControls));
        for (const SurfaceKindEntry& entry : kSurfaceKinds) {
            table.push_back({entry.radioId, kRadio, entry.radioText, 10, 10 + 15 * entry.kind,
                             entry.radioWidth, 10, entry.kind == 0 ? kCtlGroup : 0u});
        }
        return table;
    }();
    static const DialogTemplate layout = {
        kStrResolutionCaption, 246, 135, kDialogFont, kDialogFontPoints,
        controls.data(), controls.size(),
    };
    return layout;
}

const DialogTemplate& ColorDialogTemplate()
{
    return kColor;
}

const DialogTemplate& ControlsHelpDialogTemplate()
{
    constexpr int kInputX = 10, kInputWidth = 125, kEffectX = 140, kEffectWidth = 180;
    constexpr int kTop = 7, kRowHeight = 11, kTextHeight = 8;
    constexpr int kRows = static_cast<int>(std::size(kControlsRows));
    constexpr int kButtonY = kTop + (kRows + 1) * kRowHeight + 6;
    constexpr int kWidth = kEffectX + kEffectWidth + 10;
    static const std::vector<ControlTemplate> controls = [] {
        std::vector<ControlTemplate> table;
        const auto addRow = [&table](int y, Text input, Text effect) {
            table.push_back({IDC_TEMPLATE_STATIC, kStatic, input, kInputX, y, kInputWidth,
                             kTextHeight, kCtlNoPrefix});
            table.push_back({IDC_TEMPLATE_STATIC, kStatic, effect, kEffectX, y, kEffectWidth,
                             kTextHeight, kCtlNoPrefix});
        };
        addRow(kTop, kStrControlsInput, kStrControlsEffect);
        for (int i = 0; i < kRows; ++i) {
            addRow(kTop + (i + 1) * kRowHeight, kControlsRows[i].input,
                   kControlsRows[i].effect);
        }
        table.push_back({IDC_TEMPLATE_OK, kDefButton, kStrOk, (kWidth - 50) / 2, kButtonY, 50, 14,
                         kCtlTabStop});
        return table;
    }();
    static const DialogTemplate layout = {
        kStrControlsCaption, kWidth, kButtonY + 21, kDialogFont,
        kDialogFontPoints, controls.data(), controls.size(),
    };
    return layout;
}

#pragma once
// The three dialog layouts as data: caption, size and font of each dialog and
// its controls in template order, which is also the creation, tab and group
// order. Positions and sizes are in dialog units (a quarter of the average
// character width, an eighth of the character height of the dialog's font).
// The window side builds real dialogs from these; nothing here depends on the
// toolkit.

#include "resources/Strings.h"

#include <cstddef>

// Template ids of the two standard buttons and of controls nobody refers
// to; the builder maps the first two to the toolkit's OK and Cancel ids.
enum : int {
    IDC_TEMPLATE_OK = 1,
    IDC_TEMPLATE_CANCEL = 2,
    IDC_TEMPLATE_STATIC = -1,
};

// Resolution dialog controls.
enum : int {
    IDC_THETA_COUNT = 1003,
    IDC_PHI_COUNT = 1004,
    IDC_HOLE_RATIO = 1005,
    IDC_KIND_MOBIUS = 1015,  // the kinds' radio buttons: surfaces/SurfaceKinds.h
    IDC_KIND_BOTTLE = 1016,
    IDC_KIND_FOURD_BOTTLE = 1017,
    IDC_THETA_LABEL = 1018,
    IDC_PHI_LABEL = 1019,
    IDC_HOLE_RATIO_LABEL = 1020,
};

// Colour dialog controls. There is no 1010: the radio index of white is 5.
enum : int {
    IDC_COLOR_RED = 1005,  // starts the radio group; index = colour index
    IDC_COLOR_YELLOW = 1006,
    IDC_COLOR_GREEN = 1007,
    IDC_COLOR_GREY = 1008,
    IDC_COLOR_LIGHT_BLUE = 1009,
    IDC_COLOR_WHITE = 1011,
    IDC_COLOR_BLACK = 1012,
    IDC_TRANSLUCENT = 1014,
    IDC_WHITE_BACKGROUND = 1015,
    IDC_NO_BARS = 1016,
};

enum class ControlKind {
    DefaultPushButton,
    PushButton,
    StaticText,
    Edit,
    AutoRadioButton,
    AutoCheckBox,
    StaticIcon,
};

// Style notes of a control, combined with |.
enum : unsigned {
    kCtlGroup = 1u << 0,        // starts a group (for a radio button: a new radio group)
    kCtlTabStop = 1u << 1,
    kCtlNoPrefix = 1u << 2,     // static text shown as written, '&' included
    kCtlBorder = 1u << 3,
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    Text text;  // empty for edits and the icon
    int x, y, width, height;
    unsigned style;
};

struct DialogTemplate {
    Text caption;
    int width, height;    // client area, dialog units
    const char* fontName;  // UTF-8; the face asked for, which may not exist
    int fontPoints;
    const ControlTemplate* controls;
    std::size_t controlCount;
};

const DialogTemplate& AboutDialogTemplate();
const DialogTemplate& ResolutionDialogTemplate();
const DialogTemplate& ColorDialogTemplate();
// The gestures and keys in two columns, a heading row first, and OK.
const DialogTemplate& ControlsHelpDialogTemplate();

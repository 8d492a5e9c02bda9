#pragma once
// Every mouse gesture and key of the view with what it does: the one table
// the controls help shows, and the one the README's tables and the manual
// page's MOUSE and KEYS sections are checked against
// (tests/unit/controls_table_test.cpp), so that none of them drifts.
// The texts shown are in the table of texts; `doc` is how the English
// documents name the row, and is never shown by the program.

#include "resources/Strings.h"

enum class InputKind { Mouse, Key };

struct ControlsRow {
    InputKind kind;
    const char* doc;     // the README's first column and the manual page's tag
    Text input;          // the help's first column
    Text effect;         // the help's second column
};

inline constexpr ControlsRow kControlsRows[] = {
    {InputKind::Mouse, "left button", kStrCtlLeftDrag, kStrCtlTurn3D},
    {InputKind::Mouse, "Shift + left button", kStrCtlShiftLeftDrag, kStrCtlTurn4DInPlane},
    {InputKind::Mouse, "Ctrl + left button", kStrCtlCtrlLeftDrag, kStrCtlTurnBarOnly},
    {InputKind::Mouse, "both buttons", kStrCtlBothDrag, kStrCtlMove},
    {InputKind::Mouse, "right button", kStrCtlRightDrag, kStrCtlScale},
    {InputKind::Mouse, "wheel", kStrCtlWheel, kStrCtlScaleAboutPointer},
    {InputKind::Key, "← → ↑ ↓", kStrCtlArrows, kStrCtlTurn3DByKey},
    {InputKind::Key, "Shift + ← →", kStrCtlShiftArrows, kStrCtlTurn4D},
    {InputKind::Key, "Ctrl + ← → ↑ ↓", kStrCtlCtrlArrows, kStrCtlTurnBar},
    {InputKind::Key, "Alt + ← → ↑ ↓", kStrCtlAltArrows, kStrCtlMove},
    {InputKind::Key, "+ and −", kStrCtlPlusMinus, kStrCtlScale},
    {InputKind::Key, "Home", kStrCtlHome, kStrCtlResetView},
    {InputKind::Key, "F11", kStrCtlF11, kStrCtlFullScreen},
    {InputKind::Key, "Esc", kStrCtlEsc, kStrCtlEscape},
    {InputKind::Key, "Ctrl+S", kStrCtlCtrlS, kStrCtlSave},
    {InputKind::Key, "Ctrl+C", kStrCtlCtrlC, kStrCtlCopy},
    {InputKind::Key, "F1", kStrCtlF1, kStrCtlHelp},
    {InputKind::Key, "Space", kStrCtlSpace, kStrCtlAutoTurn},
    {InputKind::Key, "[ and ]", kStrCtlBrackets, kStrCtlStepMarker},
};

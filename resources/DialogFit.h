#pragma once
// Widening a dialog's controls for texts longer than their layout allows
// (a translation is often longer than the Japanese it replaces), without the
// toolkit: the window side measures, this decides where everything goes.

#include <vector>

// A control along the dialog's width, in pixels: where it starts, how wide
// the layout makes it and how wide its text needs it (0: no text).
struct FitBox {
    int x;
    int width;
    int needed;
};

// Widens every box whose text needs more room by opening a gap at the box's
// right edge across the whole dialog: what starts at or after the edge
// moves right, what spans it grows. The boxes' left-to-right order and the
// room between them stay, so nothing comes to overlap that did not. Returns
// how much wider the dialog becomes; 0, with the boxes as they were, when
// every text fits.
int WidenToFit(std::vector<FitBox>& boxes);

#pragma once
// The program's icon: a twisted band in red on a dark rounded square, drawn
// in code at each size asked for, so nothing is loaded from files.

#include <wx/icon.h>
#include <wx/iconbndl.h>
#include <wx/image.h>

// The icon drawn at size x size pixels, with alpha for the rounded corners.
wxImage TarvoIconImage(int size);

// 16, 24, 32, 48 and 64 pixels, for the main window's title bar and the task
// switcher.
wxIconBundle TarvoIconBundle();

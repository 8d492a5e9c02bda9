#pragma once
// The about box: the icon, the program's name and version and a line about
// what it does. OK, Esc and the close box all close it.

#include "app/DialogBuilder.h"

class CAboutDlg : public CTemplateDialog {
public:
    explicit CAboutDlg(wxWindow* parent = nullptr);
};

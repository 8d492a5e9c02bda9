#pragma once
// Every mouse gesture and key of the view with what it does, as a table.
// OK, Esc and the close box close it.

#include "app/DialogBuilder.h"

class CControlsHelpDlg : public CTemplateDialog {
public:
    explicit CControlsHelpDlg(wxWindow* parent = nullptr);
};

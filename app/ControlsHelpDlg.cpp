#include "app/ControlsHelpDlg.h"

CControlsHelpDlg::CControlsHelpDlg(wxWindow* parent)
    : CTemplateDialog(parent, ControlsHelpDialogTemplate())
{
}

#include "app/AboutDlg.h"

CAboutDlg::CAboutDlg(wxWindow* parent)
    : CTemplateDialog(parent, AboutDialogTemplate())
{
}

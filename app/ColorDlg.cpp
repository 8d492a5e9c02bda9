#include "app/ColorDlg.h"

CColorDlg::CColorDlg(wxWindow* parent)
    : CTemplateDialog(parent, ColorDialogTemplate())
{
}

CColorDlg::~CColorDlg() = default;

void CColorDlg::DoDataExchange(DataExchange& exchange)
{
    exchange.DDX_Radio(IDC_COLOR_RED, colorIndex);
    exchange.DDX_Check(IDC_TRANSLUCENT, translucent);
    exchange.DDX_Check(IDC_WHITE_BACKGROUND, whiteBackground);
    exchange.DDX_Check(IDC_NO_BARS, noBars);
}

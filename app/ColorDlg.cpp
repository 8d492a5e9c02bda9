#include "app/ColorDlg.h"

CColorDlg::CColorDlg(wxWindow* parent)
    : CTemplateDialog(parent, ColorDialogTemplate())
{
}

CColorDlg::~CColorDlg() = default;

void CColorDlg::SetSettings(const DisplaySettings& settings)
{
    colorIndex = settings.colorIndex;
    translucent = settings.translucent;
    whiteBackground = settings.whiteBackground;
    noBars = settings.noBars;
}

DisplaySettings CColorDlg::GetSettings() const
{
    DisplaySettings settings;
    settings.colorIndex = colorIndex;
    settings.translucent = translucent;
    settings.whiteBackground = whiteBackground;
    settings.noBars = noBars;
    return settings;
}

void CColorDlg::DoDataExchange(DataExchange& exchange)
{
    exchange.DDX_Radio(IDC_COLOR_RED, colorIndex);
    exchange.DDX_Check(IDC_TRANSLUCENT, translucent);
    exchange.DDX_Check(IDC_WHITE_BACKGROUND, whiteBackground);
    exchange.DDX_Check(IDC_NO_BARS, noBars);
}

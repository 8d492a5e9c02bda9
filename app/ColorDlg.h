#pragma once
// Chooses the surface colour, translucency, a white background and whether
// the bar is drawn. Works on its members only; the command that runs it
// copies the display settings in before (SetSettings) and out after
// (GetSettings).

#include "app/DialogBuilder.h"
#include "app/Settings.h"

#include <cstdint>

class CColorDlg : public CTemplateDialog {
public:
    explicit CColorDlg(wxWindow* parent = nullptr);
    ~CColorDlg() override;

    int32_t colorIndex = -1;     // 0 ... 6: 赤 黄 緑 灰色 水色 白 黒
    int32_t translucent = 0;     // check box "半透明", 0 or 1
    int32_t whiteBackground = 0; // check box "背景白", 0 or 1
    int32_t noBars = 0;          // check box "棒無し", 0 or 1

    // The members from the settings, and the settings the members hold.
    void SetSettings(const DisplaySettings& settings);
    DisplaySettings GetSettings() const;

protected:
    // Radio group 1005 colorIndex, then check boxes 1014, 1015 and 1016.
    void DoDataExchange(DataExchange& exchange) override;
};

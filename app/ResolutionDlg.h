#pragma once
// Chooses the surface and, for the kinds that use them (the four-dimensional
// bottle), its ring and point counts and hole ratio. Works on its members
// only; the command that runs it copies the settings in before (SetSettings)
// and out after (GetSettings).

#include "app/DialogBuilder.h"
#include "app/Settings.h"

#include <cstdint>

class CResolutionDlg : public CTemplateDialog {
public:
    explicit CResolutionDlg(wxWindow* parent = nullptr);
    ~CResolutionDlg() override;

    int32_t phiCount = 0;      // edit "φ方向"
    int32_t thetaCount = 0;    // edit "θ方向"
    double holeRatio = 0.0;    // edit "穴の割合"
    int32_t surfaceKind = -1;  // index of the checked kind radio button

    // The members from the settings, and the settings the members hold.
    void SetSettings(const ResolutionSettings& settings);
    ResolutionSettings GetSettings() const;

    // Fills the controls, then enables the parameter fields to match.
    bool OnInitDialog() override;

    // Enables the three edits and their labels only while a kind is selected
    // whose entry in surfaces/SurfaceKinds.h uses the counts.
    void UpdateParameterFields();

protected:
    // Edit 1004 phiCount, edit 1003 thetaCount, then the counts are checked
    // against what the four-dimensional bottle can be built from, edit 1005
    // holeRatio, radio group 1015 surfaceKind. Members change only when the
    // whole exchange succeeds.
    void DoDataExchange(DataExchange& exchange) override;
};

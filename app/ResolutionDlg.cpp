#include "app/ResolutionDlg.h"

#include "resources/Strings.h"
#include "surfaces/Generators.h"
#include "surfaces/SurfaceKinds.h"

#include <wx/radiobut.h>

namespace {

// Counts the four-dimensional bottle cannot be built from are refused
// whichever surface is chosen, since they are stored in any case and used
// as soon as that surface is. The focus goes to a negative count, or, for a
// product over the limit, to the larger count.
void DDV_FourDBottleCounts(DataExchange& exchange, int32_t thetaCount, int32_t phiCount)
{
    if (exchange.Failed() || FourDBottleCountsAcceptable(thetaCount, phiCount)) {
        return;
    }
    int offending = IDC_PHI_COUNT;
    if (phiCount >= 0 && (thetaCount < 0 || thetaCount > phiCount)) {
        offending = IDC_THETA_COUNT;
    }
    exchange.Fail(offending, FourDBottleCountsMessage());
}

}  // namespace

CResolutionDlg::CResolutionDlg(wxWindow* parent)
    : CTemplateDialog(parent, ResolutionDialogTemplate())
{
    for (const SurfaceKindEntry& entry : kSurfaceKinds) {
        Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { UpdateParameterFields(); },
             entry.radioId);
    }
}

CResolutionDlg::~CResolutionDlg() = default;

void CResolutionDlg::SetSettings(const ResolutionSettings& settings)
{
    phiCount = settings.phiCount;
    thetaCount = settings.thetaCount;
    holeRatio = settings.holeRatio;
    surfaceKind = settings.surfaceKind;
}

ResolutionSettings CResolutionDlg::GetSettings() const
{
    ResolutionSettings settings;
    settings.phiCount = phiCount;
    settings.thetaCount = thetaCount;
    settings.holeRatio = holeRatio;
    settings.surfaceKind = static_cast<SurfaceKind>(surfaceKind);
    return settings;
}

bool CResolutionDlg::OnInitDialog()
{
    CTemplateDialog::OnInitDialog();
    UpdateParameterFields();
    return true;
}

void CResolutionDlg::UpdateParameterFields()
{
    bool enable = false;
    for (const SurfaceKindEntry& entry : kSurfaceKinds) {
        auto* radio = dynamic_cast<wxRadioButton*>(FindWindow(entry.radioId));
        if (radio != nullptr && radio->GetValue()) {
            enable = entry.usesCounts;
        }
    }
    for (int id : {IDC_THETA_COUNT, IDC_PHI_COUNT, IDC_HOLE_RATIO, IDC_THETA_LABEL,
                   IDC_PHI_LABEL, IDC_HOLE_RATIO_LABEL}) {
        if (wxWindow* control = FindWindow(id)) {
            control->Enable(enable);
        }
    }
}

void CResolutionDlg::DoDataExchange(DataExchange& exchange)
{
    int32_t phi = phiCount;
    int32_t theta = thetaCount;
    double ratio = holeRatio;
    int32_t kind = surfaceKind;

    exchange.DDX_Text(IDC_PHI_COUNT, phi);
    exchange.DDX_Text(IDC_THETA_COUNT, theta);
    if (exchange.IsSaving()) {
        DDV_FourDBottleCounts(exchange, theta, phi);
    }
    exchange.DDX_Text(IDC_HOLE_RATIO, ratio);
    exchange.DDX_Radio(kSurfaceKinds[0].radioId, kind);

    if (exchange.IsSaving() && !exchange.Failed()) {
        phiCount = phi;
        thetaCount = theta;
        holeRatio = ratio;
        surfaceKind = kind;
    }
}

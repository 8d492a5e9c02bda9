#include "app/SurfaceAppState.h"

RegenerateResult SurfaceAppState::Regenerate()
{
    return ::Regenerate(GetResolutionSettings(), mesh);
}

ResolutionSettings SurfaceAppState::GetResolutionSettings() const
{
    ResolutionSettings settings;
    settings.surfaceKind = surfaceKind;
    settings.thetaCount = thetaCount;
    settings.phiCount = phiCount;
    settings.holeRatio = holeRatio;
    return settings;
}

void SurfaceAppState::SetResolutionSettings(const ResolutionSettings& settings)
{
    surfaceKind = settings.surfaceKind;
    thetaCount = settings.thetaCount;
    phiCount = settings.phiCount;
    holeRatio = settings.holeRatio;
}

DisplaySettings SurfaceAppState::GetDisplaySettings() const
{
    DisplaySettings settings;
    settings.colorIndex = colorIndex;
    settings.translucent = translucent;
    settings.whiteBackground = whiteBackground;
    settings.noBars = noBars;
    return settings;
}

void SurfaceAppState::SetDisplaySettings(const DisplaySettings& settings)
{
    colorIndex = settings.colorIndex;
    translucent = settings.translucent;
    whiteBackground = settings.whiteBackground;
    noBars = settings.noBars;
}

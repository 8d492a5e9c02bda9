#include "app/SurfaceAppState.h"

RegenerateResult SurfaceAppState::Regenerate()
{
    return ::Regenerate(GetResolutionSettings(), mesh);
}

ResolutionSettings SurfaceAppState::GetResolutionSettings() const
{
    return *this;
}

void SurfaceAppState::SetResolutionSettings(const ResolutionSettings& settings)
{
    static_cast<ResolutionSettings&>(*this) = settings;
}

DisplaySettings SurfaceAppState::GetDisplaySettings() const
{
    return *this;
}

void SurfaceAppState::SetDisplaySettings(const DisplaySettings& settings)
{
    static_cast<DisplaySettings&>(*this) = settings;
}

#include "app/SurfaceApp.h"

wxIMPLEMENT_APP(CSurfaceApp);

// The viewer's resources, as the application registers them with the
// framework at start-up (AfxSetResources).
#pragma once

#include "framework/app_resources.h"

const AfxResources& TreskViewerResources();

// Reporting the status of a driver call on the main panel.
#pragma once

#include "kq7120.h"

// Lights the main panel's error indicator for a negative status and clears it otherwise. For an
// instrument error or a device that is not ready it reads the module's error queue and shows
// the error in a pop-up. Returns the status it was given.
ViStatus ShowDriverStatus(ViStatus status);

// The report of a failed driver call in the waveform panels.
#pragma once

#include "kq7120.h"

// For an instrument error the module's own error text, else `otherwise`, in a pop-up titled "ERROR".
void showModuleError(ViStatus status, const char* otherwise);

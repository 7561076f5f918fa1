// The program's start: main panel, chassis scan, connection to the first module, event loop.
#pragma once

#include "kq7120.h"

// Runs the front panel in an application that exists already. Returns the program's exit status:
// 0 after Exit, -1 when the main panel cannot be loaded, the scan's status when the scan fails,
// VI_ERROR_RSRC_NFOUND when the chassis holds no module.
ViStatus RunFrontPanel();

// The start alone, without the event loop: the main panel is up and the first module opened when
// the result is VI_SUCCESS; any other result is the exit status and the main panel is gone.
ViStatus StartFrontPanel();

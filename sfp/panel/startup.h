// The program's start: main panel, chassis scan, connection to the first module, event loop.
#pragma once

#include <string>

#include "kq7120.h"

// Runs the front panel in an application that exists already. Returns the program's exit status:
// 0 after Exit, -1 when the main panel cannot be loaded, the scan's status when the scan fails,
// VI_ERROR_RSRC_NFOUND when the chassis holds no module (the last two say why on standard error).
// A `descriptor` names the module to open instead of the first one found.
ViStatus RunFrontPanel(const std::string& descriptor = "");

// The start alone, without the event loop: the main panel is up and the module opened when the
// result is VI_SUCCESS; any other result is the exit status and the main panel is gone.
ViStatus StartFrontPanel(const std::string& descriptor = "");

// The callbacks of the waveform panels (FIFO, ARB segments, sequence and run) and their menu
// entries, by the names the forms bind.
#pragma once

#include <span>

#include "user_interface.h"

std::span<const UiCallback> waveformPanelCallbacks();

// The waveforms of the programming example, as signed DAC codes.
#pragma once

#include <span>

#include "kq7120.h"

enum class ExampleShape { Sine = 0, Ramp = 1, Square = 2 };

// Fills every sample of `samples` (N of them); each value is truncated toward zero.
// Sine: one period of amplitude 4000, starting and ending at 0. Ramp: -32767 to +32767. Square:
// -8192, +8192, then -4096 and +4096 alternating, the last sample 0. Below two samples nothing is
// written: the formulas divide by N - 1.
void generateWaveform(ExampleShape shape, std::span<ViInt16> samples);

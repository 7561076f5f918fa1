#include "example_waveforms.h"

#include <cmath>
#include <numbers>

void generateWaveform(ExampleShape shape, std::span<ViInt16> samples) {
    const std::size_t count = samples.size();
    if (count < 2) return;
    const double last = static_cast<double>(count - 1);
    switch (shape) {
        case ExampleShape::Sine:
            for (std::size_t i = 0; i < count; ++i)
                samples[i] = static_cast<ViInt16>(
                    4000.0 * std::sin(2.0 * std::numbers::pi * static_cast<double>(i) / last));
            break;
        case ExampleShape::Ramp:
            for (std::size_t i = 0; i < count; ++i)
                samples[i] =
                    static_cast<ViInt16>((-5.0 + 10.0 * static_cast<double>(i) / last) * 32767.0 / 5.0);
            break;
        case ExampleShape::Square:
            samples[0] = -8192;
            samples[1] = 8192;
            for (std::size_t i = 2; i < count; ++i) samples[i] = i % 2 == 0 ? -4096 : 4096;
            samples[count - 1] = 0;
            break;
    }
}

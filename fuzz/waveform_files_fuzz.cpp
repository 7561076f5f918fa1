// The front panel's two waveform file readers: the input is the file. Neither may read or write past
// the caller's limit whatever the file claims; the canary after each buffer would show it.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "waveform_files.h"

namespace {

int ignoreReport(const char*, const char*) { return 0; }

constexpr std::uint8_t kCanary = 0xA5;

// Each limit the panels use, and a small one that most inputs exceed.
constexpr std::array<std::int32_t, 3> kLimits = {6000, 2000, 16};

const std::string& inputPath() {
    static const std::string path = [] {
        std::string pattern = "/tmp/kq7120-fuzz-waveform-XXXXXX";
        const int descriptor = mkstemp(pattern.data());
        if (descriptor < 0) std::abort();
        close(descriptor);
        return pattern;
    }();
    return path;
}

void checkCanary(const std::vector<std::uint8_t>& buffer, std::size_t limit) {
    for (std::size_t i = limit; i < buffer.size(); ++i)
        if (buffer[i] != kCanary) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = inputPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);

    for (const std::int32_t limit : kLimits) {
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(limit) + 64, kCanary);
        const std::int32_t raw = ReadWaveform(path.c_str(), buffer.data(), limit, ignoreReport);
        if (raw < 0 || raw > limit) std::abort();
        checkCanary(buffer, static_cast<std::size_t>(limit));

        std::fill(buffer.begin(), buffer.end(), kCanary);
        std::array<std::uint8_t, kWavHeaderSize> header{};
        const std::uint32_t wave = ReadWavFile(path.c_str(), buffer.data(), header.data(),
                                               static_cast<std::uint32_t>(limit), ignoreReport);
        if (wave > static_cast<std::uint32_t>(limit)) std::abort();
        checkCanary(buffer, static_cast<std::size_t>(limit));
    }
    return 0;
}

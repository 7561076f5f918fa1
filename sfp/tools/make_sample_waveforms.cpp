// Writes the sample waveforms that ship with the front panel: one period each of a sine, a square
// and a ramp, at the ARB panel's file limit (3000 samples) and the FIFO panel's (1000 samples), as
// raw ".b16" files of unsigned DAC codes (the module's format after a reset), +-10 V on the 20 V range.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kAmplitudeCodes = 16384.0;  // 10 V at 1638.4 codes per volt
constexpr double kMidCode = 32768.0;         // 0 V in offset binary

using Shape = std::function<double(double phase)>;  // phase 0..1 to -1..1

bool writeWaveform(const std::filesystem::path& path, std::size_t samples, const Shape& shape) {
    std::vector<char> bytes;
    for (std::size_t i = 0; i < samples; ++i) {
        const double level = shape(static_cast<double>(i) / static_cast<double>(samples));
        const auto code = static_cast<std::uint16_t>(std::lround(kMidCode + kAmplitudeCodes * level));
        bytes.push_back(static_cast<char>(code & 0xFF));
        bytes.push_back(static_cast<char>(code >> 8));
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "make_sample_waveforms: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::vector<std::pair<std::string, Shape>> shapes = {
        {"sine", [](double phase) { return std::sin(2.0 * std::numbers::pi * phase); }},
        {"square", [](double phase) { return phase < 0.5 ? 1.0 : -1.0; }},
        {"ramp", [](double phase) { return 2.0 * phase - 1.0; }},
    };
    bool written = true;
    for (const std::size_t samples : {std::size_t{3000}, std::size_t{1000}})
        for (const auto& [name, shape] : shapes)
            written =
                writeWaveform(folder / (name + "-" + std::to_string(samples) + ".b16"), samples, shape) &&
                written;
    return written ? 0 : 1;
}

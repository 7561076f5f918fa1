#include "waveform_reading.h"

#include <filesystem>
#include <system_error>

#include "user_interface.h"

int readWaveformCodes(const std::string& path, std::int32_t maxBytes, std::vector<ViUInt16>* codes,
                      WaveformReport report) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int32_t>(maxBytes, 0)));
    std::uint32_t count = 0;
    if (isWavFileName(path)) {
        std::uint8_t header[kWavHeaderSize] = {};
        count =
            ReadWavFile(path.c_str(), bytes.data(), header, static_cast<std::uint32_t>(bytes.size()), report);
    } else {
        count = static_cast<std::uint32_t>(ReadWaveform(path.c_str(), bytes.data(), maxBytes, report));
    }
    if (count == 0) return -1;
    const std::size_t samples = count / 2;
    if (codes->size() < samples) codes->resize(samples);
    for (std::size_t i = 0; i < samples; ++i)
        (*codes)[i] = static_cast<ViUInt16>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return static_cast<int>(samples);
}

std::string sampleWaveformDirectory() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return {};
    return (program.parent_path().parent_path() / "share" / "kq7120" / "waveforms").string();
}

void previewWaveformFile(int panel, const char* graph, const std::string& path, std::int32_t maxBytes) {
    std::vector<ViUInt16> codes;
    const int count = readWaveformCodes(path, maxBytes, &codes, nullptr);
    std::vector<double> values;
    for (int i = 0; i < count; ++i) values.push_back(codes[static_cast<std::size_t>(i)]);
    PlotWaveform(panel, graph, values.data(), static_cast<int>(values.size()));
}

void chooseWaveformFile(int panel, const char* pathBox, const char* graph, const char* title,
                        std::int32_t maxBytes) {
    std::string path;
    if (FileSelectPopup(sampleWaveformDirectory().c_str(), kWaveformFilePattern, kWaveformFileTypes, title,
                        "Load", 1, &path) == 0)
        return;
    int lines = 0;
    GetNumTextBoxLines(panel, pathBox, &lines);
    std::string first;
    if (lines > 0 && GetTextBoxLine(panel, pathBox, 0, &first) == UI_SUCCESS && !first.empty())
        DeleteTextBoxLine(panel, pathBox, 0);
    InsertTextBoxLine(panel, pathBox, 0, path.c_str());
    previewWaveformFile(panel, graph, path, maxBytes);
}

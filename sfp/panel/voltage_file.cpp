#include "voltage_file.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <system_error>

#include "decimal_text.h"

namespace {

// Larger than any file of 512 values with comments; a bigger one is not a voltage file.
constexpr std::uintmax_t kMaxFileSize = 1 << 20;

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The line as one voltage; false when it holds anything else. Far beyond any range is refused
// here, before it could overflow the single-precision value.
bool parseVoltage(std::string_view text, ViReal32* value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double number = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(number) ||
        std::fabs(number) > 1.0e6)
        return false;
    *value = static_cast<ViReal32>(number);
    return true;
}

VoltageFileResult failure(std::string message) { return {{}, std::move(message)}; }

std::string lineName(std::size_t line) { return "Line " + decimalText(static_cast<long long>(line)); }

}  // namespace

VoltageFileResult readVoltageFile(const std::filesystem::path& path, std::size_t minimum, std::size_t maximum,
                                  const std::string& what) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return failure("Cannot read " + path.filename().string() + ": " + error.message());
    if (size > kMaxFileSize) return failure(path.filename().string() + " is too large for " + what);
    std::ifstream file(path, std::ios::binary);
    if (!file) return failure("Cannot read " + path.filename().string());

    VoltageFileResult result;
    std::string line;
    for (std::size_t number = 1; std::getline(file, line); ++number) {
        std::string_view text(line);
        text = trimmed(text.substr(0, text.find('#')));
        if (text.empty()) continue;
        ViReal32 value = 0.0F;
        if (!parseVoltage(text, &value))
            return failure(lineName(number) + ": \"" + std::string(text.substr(0, 40)) +
                           "\" is not a voltage");
        if (result.values.size() == maximum)
            return failure(lineName(number) + ": more than " + decimalText(static_cast<long long>(maximum)) +
                           " values for " + what);
        result.values.push_back(value);
    }
    if (result.values.size() < minimum)
        return failure(path.filename().string() + " holds " +
                       decimalText(static_cast<long long>(result.values.size())) + " values; " + what +
                       " needs " + decimalText(static_cast<long long>(minimum)));
    return result;
}

bool writeVoltageFile(const std::filesystem::path& path, const std::string& heading, const ViReal32* values,
                      std::size_t count) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file << "# " << heading << '\n';
    for (std::size_t i = 0; i < count; ++i) {
        char digits[32];
        const auto written = std::to_chars(digits, digits + sizeof digits, values[i]);
        file.write(digits, written.ptr - digits);
        file << '\n';
    }
    file.flush();
    return static_cast<bool>(file);
}

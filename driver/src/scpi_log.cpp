#include "scpi_log.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "c_boundary.h"
#include "kq7120.h"
#include "reply_text.h"

namespace kq7120::scpi_log {
namespace {

// Empty while the log is off; otherwise the file it goes to. Process-wide, like the log itself.
std::string& fileName() {
    static std::string name;
    return name;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool namesSecuritySubsystem(std::string_view command) {
    const std::size_t calibration = findIgnoringCase(command, "CAL");
    return calibration != std::string_view::npos &&
           findIgnoringCase(command, ":SEC", calibration) != std::string_view::npos;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool isOn() { return !fileName().empty(); }

std::string withCodesHidden(std::string_view command) {
    std::string text(command);
    if (!namesSecuritySubsystem(text)) return text;
    // "#<d><n in d digits><n bytes>"
    for (std::size_t hash = text.find('#'); hash != std::string::npos; hash = text.find('#', hash + 1)) {
        if (hash + 1 >= text.size() || !isDigit(text[hash + 1]) || text[hash + 1] == '0') continue;
        const std::size_t digits = static_cast<std::size_t>(text[hash + 1] - '0');
        const std::size_t start = hash + 2 + digits;
        if (start > text.size()) break;
        std::size_t length = 0;
        bool wellFormed = true;
        for (std::size_t pos = hash + 2; pos < start; ++pos) {
            wellFormed = wellFormed && isDigit(text[pos]);
            length = length * 10 + static_cast<std::size_t>(text[pos] - '0');
        }
        if (!wellFormed) continue;
        const std::size_t end = std::min(text.size(), start + length);
        std::fill(text.begin() + static_cast<std::ptrdiff_t>(start),
                  text.begin() + static_cast<std::ptrdiff_t>(end), '*');
        hash = end - 1;
    }
    return text;
}

ViStatus record(std::string_view command) {
    const std::string line = withCodesHidden(command.substr(0, command.find('\0')));
    File file(std::fopen(fileName().c_str(), "a"));
    if (!file) return kq7120_LOG_FILE_OPEN_ERROR;
    if (!line.empty() && std::fwrite(line.data(), line.size(), 1, file.get()) != 1)
        return kq7120_LOG_FILE_WRITE_ERROR;
    if (std::fwrite("\n", 1, 1, file.get()) != 1) return kq7120_LOG_FILE_WRITE_ERROR;
    return std::fclose(file.release()) == 0 ? VI_SUCCESS : kq7120_LOG_FILE_CLOSE_ERROR;
}

ViStatus switchOn(std::string_view name) {
    // The name is kept even when the file cannot be created: logging stays on and every later
    // command reports the failing log.
    fileName() = name;
    File file(std::fopen(fileName().c_str(), "w"));
    if (!file) return kq7120_LOG_FILE_OPEN_ERROR;
    return std::fclose(file.release()) == 0 ? VI_SUCCESS : kq7120_LOG_FILE_CLOSE_ERROR;
}

void switchOff() { fileName().clear(); }

}  // namespace kq7120::scpi_log

using namespace kq7120;

ViStatus kq7120_logCmd(ViConstString commandBuf) {
    return guardedCall([&]() -> ViStatus {
        if (!commandBuf) return VI_ERROR_PARAMETER1;
        return scpi_log::record(commandBuf);
    });
}

ViStatus kq7120_enableDisableSCPILog(ViInt16 scpiLog, ViConstString logFileName) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidIntegerRange(scpiLog, kq7120_SCPI_LOG, kq7120_NO_SCPI_LOG,
                                                               VI_ERROR_PARAMETER1)) {
            return status;
        }
        if (scpiLog == kq7120_NO_SCPI_LOG) {
            scpi_log::switchOff();
            return VI_SUCCESS;
        }
        if (!logFileName) return VI_ERROR_PARAMETER2;
        const std::size_t length = strnlen(logFileName, kq7120_MAX_FILE_NAME_LEN + 1);
        if (length == 0 || length > kq7120_MAX_FILE_NAME_LEN) return VI_ERROR_PARAMETER2;
        return scpi_log::switchOn(std::string_view(logFileName, length));
    });
}

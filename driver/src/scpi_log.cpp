#include "scpi_log.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "c_boundary.h"
#include "kq7120.h"
#include "reply_text.h"
#include "status_check.h"

namespace kq7120::scpi_log {
namespace {

// Empty while the log is off; otherwise the file it goes to. Process-wide, like the log itself.
std::string& fileName() {
    static std::string name;
    return name;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isHeaderCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) || c == ':' || c == '*' ||
           c == '?' || c == '_';
}

// A header node in its short or long form, letters in any case, with an optional numeric suffix.
bool nodeIs(std::string_view node, std::string_view shortForm, std::string_view longForm) {
    while (!node.empty() && isDigit(node.back())) node.remove_suffix(1);
    const auto equals = [node](std::string_view form) {
        return node.size() == form.size() && findIgnoringCase(node, form) == 0;
    };
    return equals(shortForm) || equals(longForm);
}

// Which parameters of a command carry a security code: every one of CAL:SEC:CODE, those after the
// state of CAL:SEC:STAT. Queries end in '?' and so match neither.
enum class CodeParameters { None, All, AfterFirst };

CodeParameters codeParametersOf(const std::vector<std::string_view>& path) {
    if (path.size() != 3 || !nodeIs(path[0], "CAL", "CALIBRATION") || !nodeIs(path[1], "SEC", "SECURITY"))
        return CodeParameters::None;
    if (nodeIs(path[2], "CODE", "CODE")) return CodeParameters::All;
    if (nodeIs(path[2], "STAT", "STATE")) return CodeParameters::AfterFirst;
    return CodeParameters::None;
}

// Skips the definite-length block "#<d><n in d digits><n bytes>" (or "#0<bytes to the end>") at
// `hash`, its bytes turned into '*' when `hide`; the position after it. A malformed header is not a
// block: only the '#' is skipped.
std::size_t skipBlock(std::string& text, std::size_t hash, bool hide) {
    if (hash + 1 >= text.size() || !isDigit(text[hash + 1])) return hash + 1;
    std::size_t start = hash + 2;
    std::size_t end = text.size();
    if (text[hash + 1] != '0') {
        const std::size_t digits = static_cast<std::size_t>(text[hash + 1] - '0');
        start += digits;
        if (start > text.size()) return hash + 1;
        std::size_t length = 0;
        for (std::size_t pos = hash + 2; pos < start; ++pos) {
            if (!isDigit(text[pos])) return hash + 1;
            length = length * 10 + static_cast<std::size_t>(text[pos] - '0');
        }
        end = std::min(text.size(), start + length);
    }
    if (hide)
        std::fill(text.begin() + static_cast<std::ptrdiff_t>(start),
                  text.begin() + static_cast<std::ptrdiff_t>(end), '*');
    return end;
}

// Skips the quoted string at `quote` (a doubled quote stands for one), its contents turned into '*'
// when `hide`; the position after it.
std::size_t skipString(std::string& text, std::size_t quote, bool hide) {
    const char mark = text[quote];
    std::size_t pos = quote + 1;
    for (; pos < text.size(); ++pos) {
        if (text[pos] == mark) {
            if (pos + 1 < text.size() && text[pos + 1] == mark) {
                if (hide) text[pos] = '*';
                ++pos;
            } else {
                break;
            }
        }
        if (hide) text[pos] = '*';
    }
    return std::min(text.size(), pos + 1);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool isOn() { return !fileName().empty(); }

std::string withCodesHidden(std::string_view command) {
    std::string text(command);
    // Program message units split at ';' outside strings and blocks; a header without a leading ':'
    // continues the path of the one before, as the module reads it.
    std::vector<std::string_view> path;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
        const std::size_t headerStart = pos;
        while (pos < text.size() && isHeaderCharacter(text[pos])) ++pos;
        const std::string_view header = std::string_view(command).substr(headerStart, pos - headerStart);
        // The header as written and as continued from the path before: a code typed with a header
        // the module resolves elsewhere still goes over the bus.
        std::vector<std::string_view> written;
        std::vector<std::string_view> resolved;
        if (!header.empty() && header.front() != '*') {
            std::string_view rest = header.substr(header.front() == ':' ? 1 : 0);
            for (std::size_t colon = rest.find(':'); colon != std::string_view::npos;
                 colon = rest.find(':')) {
                written.push_back(rest.substr(0, colon));
                rest.remove_prefix(colon + 1);
            }
            written.push_back(rest);
            if (header.front() != ':' && !path.empty()) resolved.assign(path.begin(), path.end() - 1);
            resolved.insert(resolved.end(), written.begin(), written.end());
            path = resolved;
        }
        CodeParameters codes = codeParametersOf(resolved);
        if (codes == CodeParameters::None) codes = codeParametersOf(written);
        std::size_t parameter = 0;
        while (pos < text.size() && text[pos] != ';' && text[pos] != '\n') {
            const bool hide =
                codes == CodeParameters::All || (codes == CodeParameters::AfterFirst && parameter > 0);
            switch (text[pos]) {
                case ',':
                    ++parameter;
                    ++pos;
                    break;
                case '#':
                    pos = skipBlock(text, pos, hide);
                    break;
                case '"':
                case '\'':
                    pos = skipString(text, pos, hide);
                    break;
                default:
                    ++pos;
                    break;
            }
        }
        if (pos < text.size() && text[pos] == '\n') path.clear();
        ++pos;
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
        if (const ViStatus status =
                kq7120_invalidIntegerRange(scpiLog, kq7120_SCPI_LOG, kq7120_NO_SCPI_LOG, VI_ERROR_PARAMETER1);
            failed(status)) {
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

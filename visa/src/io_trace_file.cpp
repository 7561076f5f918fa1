#include "io_trace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>

#include "attribute_table.h"
#include "status_text.h"

namespace kqvisa {
namespace {

constexpr const char* kTraceVariable = "KQ7120_VISA_TRACE";
// Bytes of a message and words of a block move shown per line; the counts are always complete.
constexpr std::size_t kMaxShownBytes = 256;
constexpr std::size_t kMaxShownWords = 32;

// The file descriptor, or -1 when the trace is off or its file cannot be opened.
int openTraceFile() {
    const char* path = std::getenv(kTraceVariable);
    if (path == nullptr || *path == '\0') return -1;
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        std::fprintf(stderr, "libvisa: cannot open the I/O trace %s: %s\n", path, std::strerror(errno));
    return fd;
}

int traceFile() {
    static const int fd = openTraceFile();
    return fd;
}

void appendNumber(std::string& line, const char* format, unsigned long long value) {
    char text[32];
    const int length = std::snprintf(text, sizeof text, format, value);
    line.append(text, static_cast<std::size_t>(length));
}

void appendTime(std::string& line) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count() % 1000000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    line.append(text, length);
    appendNumber(line, ".%06lluZ", static_cast<unsigned long long>(micros));
}

// Printable ASCII as is; quotes, backslashes and every other byte as C escapes; cut at a bound.
void appendQuoted(std::string& line, std::string_view bytes) {
    line += " \"";
    const std::string_view shown = bytes.substr(0, kMaxShownBytes);
    for (const char c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            case '\t':
                line += "\\t";
                break;
            case '"':
                line += "\\\"";
                break;
            case '\\':
                line += "\\\\";
                break;
            default:
                if (byte >= 0x20 && byte < 0x7F) {
                    line += c;
                } else {
                    appendNumber(line, "\\x%02llx", byte);
                }
        }
    }
    line += '"';
    if (shown.size() < bytes.size()) line += "...";
}

void appendMessage(std::string& line, std::string_view bytes) {
    appendNumber(line, " %llu bytes", bytes.size());
    appendQuoted(line, bytes);
}

void appendWords(std::string& line, const std::vector<std::uint16_t>& words) {
    appendNumber(line, " %llu words [", words.size());
    for (std::size_t i = 0; i < words.size() && i < kMaxShownWords; ++i) {
        appendNumber(line, i == 0 ? "0x%04llx" : " 0x%04llx", words[i]);
    }
    line += ']';
    if (words.size() > kMaxShownWords) line += "...";
}

void appendAttribute(std::string& line, ViAttr attribute) {
    if (const AttributeInfo* info = findAttribute(attribute)) {
        line += ' ';
        line += info->name;
    } else {
        appendNumber(line, " 0x%08llx", attribute);
    }
}

void appendStatus(std::string& line, ViStatus status) {
    appendNumber(line, " -> 0x%08llx", static_cast<std::uint32_t>(status));
    if (const auto known = findStatusText(status)) {
        line += ' ';
        line += known->name;
    }
}

// The arguments and results worth reading for each operation, as the record keeps them.
void appendArguments(std::string& line, const TraceRecord& record) {
    switch (record.op) {
        case Op::OpenDefaultRM:
        case Op::Open:
            if (!record.data.empty()) appendQuoted(line, record.data);
            if (record.status >= VI_SUCCESS) appendNumber(line, " new session %llu", record.value);
            break;
        case Op::FindRsrc:
            appendQuoted(line, record.data);
            appendNumber(line, " found %llu", record.value);
            break;
        case Op::FindNext:
        case Op::ParseRsrc:
            appendQuoted(line, record.data);
            break;
        case Op::GetAttribute:
        case Op::SetAttribute:
            appendAttribute(line, record.attribute);
            if (!record.data.empty()) {
                appendQuoted(line, record.data);
            } else {
                appendNumber(line, " = %llu", record.value);
            }
            break;
        case Op::StatusDesc:
            appendNumber(line, " 0x%08llx", static_cast<std::uint32_t>(record.value));
            appendQuoted(line, record.data);
            break;
        case Op::Write:
        case Op::Read:
            if (record.formatted) line += " formatted";
            appendMessage(line, record.data);
            break;
        case Op::In16:
        case Op::Out16:
        case Op::Peek16:
        case Op::Poke16:
            appendNumber(line, " space %llu", record.space);
            appendNumber(line, " offset 0x%02llx", record.offset);
            appendNumber(line, " = 0x%04llx", record.value);
            break;
        case Op::MoveIn16:
        case Op::MoveOut16:
            appendNumber(line, " space %llu", record.space);
            appendNumber(line, " offset 0x%02llx", record.offset);
            appendWords(line, record.words);
            break;
        case Op::MapAddress:
            appendNumber(line, " space %llu", record.space);
            appendNumber(line, " offset 0x%02llx", record.offset);
            appendNumber(line, " size 0x%02llx", record.value);
            break;
        case Op::ReadSTB:
            appendNumber(line, " = 0x%02llx", record.value);
            break;
        case Op::Flush:
        case Op::AssertTrigger:
        case Op::EnableEvent:
        case Op::DisableEvent:
        case Op::DiscardEvents:
        case Op::WaitOnEvent:
            appendNumber(line, " 0x%llx", record.value);
            break;
        case Op::Close:
        case Op::UnmapAddress:
        case Op::Clear:
        case Op::In8:
        case Op::Out8:
            break;
    }
}

}  // namespace

bool ioTraceOn() { return traceFile() >= 0; }

void writeIoTrace(const TraceRecord& record) {
    const int fd = traceFile();
    if (fd < 0) return;
    std::string line;
    appendTime(line);
    appendNumber(line, " pid %llu", static_cast<unsigned long long>(::getpid()));
    appendNumber(line, " session %llu", record.session);
    if (!record.resource.empty()) appendQuoted(line, record.resource);
    line += ' ';
    line += opName(record.op);
    appendArguments(line, record);
    appendStatus(line, record.status);
    line += '\n';
    // One write per line with O_APPEND: nothing is buffered in the process, and lines from several
    // processes sharing the file do not interleave.
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t count = ::write(fd, line.data() + written, line.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return;
        written += static_cast<std::size_t>(count);
    }
}

}  // namespace kqvisa

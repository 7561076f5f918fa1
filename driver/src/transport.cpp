#include "transport.h"

#include <algorithm>
#include <cstring>

#include "c_boundary.h"
#include "number_text.h"
#include "reply_text.h"
#include "scpi_log.h"
#include "status_check.h"
#include "visa_binding.h"

namespace kq7120 {
namespace {

// Standard event status bits that mean the module refused something: query error (bit 2),
// execution error (bit 4), command error (bit 5).
constexpr unsigned kRefusalBits = 0x34;

// Query with check whose reply `read` turns into `value`.
template <typename Number, typename Read>
ViStatus queryNumber(ViSession instHndl, std::string_view query, std::size_t limit, Number& value,
                     Read read) {
    std::string reply;
    if (const ViStatus status = queryWithCheck(instHndl, query, limit, reply); failed(status)) return status;
    value = read(reply);
    return VI_SUCCESS;
}

}  // namespace

ViStatus sendCommand(ViSession instHndl, std::string_view bytes) {
    if (instHndl == 0) return VI_ERROR_INV_OBJECT;
    if (bytes.empty() || bytes.front() == '\0') return VI_ERROR_PARAMETER2;
    ViUInt32 written = 0;
    const ViStatus status =
        visa::write(instHndl, bytes.data(), static_cast<ViUInt32>(bytes.size()), &written);
    if (failed(status)) return status;
    if (written != bytes.size()) return kq7120_WRITE_ERROR;
    if (scpi_log::isOn()) return scpi_log::record(bytes);
    return VI_SUCCESS;
}

ViStatus readReply(ViSession instHndl, std::size_t limit, std::string& reply) {
    reply.clear();
    if (instHndl == 0) return VI_ERROR_INV_OBJECT;
    reply.resize(limit);
    ViUInt32 received = 0;
    const ViStatus status = visa::read(instHndl, reply.data(), static_cast<ViUInt32>(limit), &received);
    reply.resize(std::min<std::size_t>(received, limit));
    if (failed(status)) return status;
    if (reply.find('\n') == std::string::npos) return kq7120_READ_BUFFER_FULL;
    return VI_SUCCESS;
}

ViStatus checkInstrumentError(ViSession instHndl) {
    if (const ViStatus status = sendCommand(instHndl, "*ESR?"); failed(status)) return status;
    std::string reply;
    if (const ViStatus status = readReply(instHndl, kq7120_READ_BUFF_SIZE, reply); failed(status))
        return status;
    const auto eventStatus = static_cast<unsigned>(leadingInteger(reply)) & 0xFFu;
    return (eventStatus & kRefusalBits) != 0 ? kq7120_INSTRUMENT_ERROR : VI_SUCCESS;
}

ViStatus commandWithCheck(ViSession instHndl, std::string_view command) {
    if (const ViStatus status = sendCommand(instHndl, command); failed(status)) return status;
    return checkInstrumentError(instHndl);
}

ViStatus queryWithCheck(ViSession instHndl, std::string_view query, std::size_t limit, std::string& reply) {
    if (const ViStatus status = sendCommand(instHndl, query); failed(status)) return status;
    if (const ViStatus status = readReply(instHndl, limit, reply); failed(status)) return status;
    return checkInstrumentError(instHndl);
}

ViStatus queryWordIndex(ViSession instHndl, std::string_view query, std::size_t limit,
                        std::span<const std::string_view> words, WordExtent extent, std::size_t& index) {
    std::string reply;
    if (const ViStatus status = queryWithCheck(instHndl, query, limit, reply); failed(status)) return status;
    const std::string_view line = beforeNewline(reply);
    if (extent == WordExtent::WholeReply && line.size() + 1 != reply.size()) return VI_ERROR_INV_RESPONSE;
    const auto found = exactWordIndex(words, line);
    if (!found) return VI_ERROR_INV_RESPONSE;
    index = *found;
    return VI_SUCCESS;
}

ViStatus queryInteger(ViSession instHndl, std::string_view query, std::size_t limit, ViInt32& value) {
    return queryNumber(instHndl, query, limit, value, leadingInteger);
}

ViStatus queryInteger(ViSession instHndl, std::string_view query, std::size_t limit, ViInt16& value) {
    return queryNumber(instHndl, query, limit, value,
                       [](std::string_view reply) { return static_cast<ViInt16>(leadingInteger(reply)); });
}

ViStatus queryReal(ViSession instHndl, std::string_view query, std::size_t limit, ViReal32& value) {
    return queryNumber(instHndl, query, limit, value, leadingSingle);
}

}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_sendWSCmd(ViSession instHndl, const ViChar buf[], ViUInt32 buf_len) {
    return guardedCall([&]() -> ViStatus {
        if (instHndl == 0) return VI_ERROR_INV_OBJECT;
        if (!buf || buf[0] == '\0') return VI_ERROR_PARAMETER2;
        if (buf_len == 0) return VI_ERROR_PARAMETER3;
        return sendCommand(instHndl, std::string_view(buf, buf_len));
    });
}

ViStatus kq7120_readData(ViSession instHndl, ViChar buf[], ViInt16 cnt) {
    return guardedCall([&]() -> ViStatus {
        if (instHndl == 0) return VI_ERROR_INV_OBJECT;
        if (!buf) return VI_ERROR_PARAMETER2;
        if (cnt < 1) return VI_ERROR_PARAMETER3;
        std::string reply;
        const ViStatus status = readReply(instHndl, static_cast<std::size_t>(cnt), reply);
        std::memcpy(buf, reply.data(), reply.size());
        buf[reply.size()] = '\0';
        return status;
    });
}

ViStatus kq7120_check_instr_error(ViSession instHndl) {
    return guardedCall([&] { return checkInstrumentError(instHndl); });
}

ViStatus kq7120_directIO(ViSession instHndl, ViConstString cmdString, ViChar responseString[]) {
    return guardedCall([&]() -> ViStatus {
        if (!cmdString) return VI_ERROR_PARAMETER2;
        const std::string_view command(cmdString);
        const bool isQuery = command.find('?') != std::string_view::npos;
        // Checked before sending: a query whose reply could not be delivered would leave that reply
        // pending in the module for the next read.
        if (isQuery && !responseString) return VI_ERROR_PARAMETER3;
        if (const ViStatus status = sendCommand(instHndl, command); failed(status)) return status;
        std::string reply;
        if (isQuery) {
            responseString[0] = '\0';
            if (const ViStatus status = readReply(instHndl, kq7120_READ_BUFF_SIZE, reply); failed(status))
                return status;
        }
        if (const ViStatus status = checkInstrumentError(instHndl); failed(status)) return status;
        if (isQuery) {
            std::memcpy(responseString, reply.data(), reply.size());
            responseString[reply.size()] = '\0';
        }
        return VI_SUCCESS;
    });
}

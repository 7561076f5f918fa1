// The session side of formatted I/O: the write buffer that collects formatted text until a message
// ends, and the read buffer that scans take their bytes from. The caller holds the session's mutex.
#pragma once

#include <optional>

#include "format_reader.h"
#include "session.h"

namespace kqvisa {

inline constexpr std::size_t kFormattedBufferSize = 4096;

// Sends the write buffer; `endMessage` sends END with its last byte (when VI_ATTR_SEND_END_EN is on).
ViStatus flushFormattedWrite(InstrumentSession& session, bool endMessage);

// Discards the read buffer and, when it holds only part of a message, the rest of that message.
ViStatus flushFormattedRead(InstrumentSession& session);

// Input of one scan: the read buffer, refilled from the module while the message goes on.
class FormattedReadInput final : public ScanInput {
public:
    explicit FormattedReadInput(InstrumentSession& session);

    std::optional<char> peek() override;
    void advance() override;
    ViStatus failure() const override { return failure_; }

private:
    InstrumentSession& session_;
    ViStatus failure_ = VI_SUCCESS;
};

}  // namespace kqvisa

#include "formatted_io.h"

#include <algorithm>
#include <string>

#include "message_transfer.h"
#include "text_compare.h"
#include "trace_log.h"

namespace kqvisa {

namespace {

TraceRecord formattedRecord(const InstrumentSession& session, Op op) {
    return newRecord(op, session.id, session.resource.descriptor, true);
}

// One read from the module into the read buffer; false when nothing came.
bool fillReadBuffer(InstrumentSession& session, ViStatus& failure) {
    FormattedBuffers& buffers = session.formatted;
    std::string chunk(kFormattedBufferSize, '\0');
    TraceRecord record = formattedRecord(session, Op::Read);
    const TransferResult result = readFromModule(session, chunk.data(), chunk.size(), record);
    record.status = result.status;
    appendTrace(std::move(record));
    if (result.count == 0) {
        failure = result.status < VI_SUCCESS ? result.status : VI_ERROR_IO;
        return false;
    }
    chunk.resize(result.count);
    buffers.readData = std::move(chunk);
    buffers.readPosition = 0;
    // A failed read that still brought bytes leaves nothing more to wait for.
    buffers.readEndsMessage = result.status != VI_SUCCESS_MAX_CNT;
    return true;
}

}  // namespace

ViStatus flushFormattedWrite(InstrumentSession& session, bool endMessage) {
    std::string pending = std::move(session.formatted.pendingWrite);
    session.formatted.pendingWrite.clear();
    const bool end = endMessage && session.settings.get(VI_ATTR_SEND_END_EN) == VI_TRUE;
    std::size_t sent = 0;
    while (sent < pending.size()) {
        TraceRecord record = formattedRecord(session, Op::Write);
        const TransferResult result =
            writeToModule(session, std::string_view(pending).substr(sent), end, record);
        record.status = result.status;
        appendTrace(std::move(record));
        if (result.status < VI_SUCCESS) return result.status;
        if (result.count == 0) return VI_ERROR_IO;
        sent += result.count;
    }
    return VI_SUCCESS;
}

ViStatus flushFormattedRead(InstrumentSession& session) {
    FormattedBuffers& buffers = session.formatted;
    const bool messageUnfinished = !buffers.readData.empty() && !buffers.readEndsMessage;
    buffers.discardRead();
    if (!messageUnfinished) return VI_SUCCESS;
    ViStatus failure = VI_SUCCESS;
    while (fillReadBuffer(session, failure) && !buffers.readEndsMessage) {
    }
    buffers.discardRead();
    return failure == VI_ERROR_TMO ? VI_SUCCESS : failure;
}

FormattedReadInput::FormattedReadInput(InstrumentSession& session) : session_(session) {
    // What is left of a message an earlier scan finished, if only its trailing white space, is no input for
    // this one.
    const FormattedBuffers& buffers = session.formatted;
    const auto rest = std::string_view(buffers.readData).substr(buffers.readPosition);
    if (buffers.readEndsMessage && std::all_of(rest.begin(), rest.end(), isAsciiSpace)) {
        session.formatted.discardRead();
    }
}

std::optional<char> FormattedReadInput::peek() {
    FormattedBuffers& buffers = session_.formatted;
    if (buffers.readPosition < buffers.readData.size()) return buffers.readData[buffers.readPosition];
    if (buffers.readEndsMessage || failure_ != VI_SUCCESS) return std::nullopt;
    if (!fillReadBuffer(session_, failure_)) return std::nullopt;
    return buffers.readData[buffers.readPosition];
}

void FormattedReadInput::advance() {
    FormattedBuffers& buffers = session_.formatted;
    if (buffers.readPosition < buffers.readData.size()) ++buffers.readPosition;
}

}  // namespace kqvisa

#include "message_transfer.h"

#include "fault_plan.h"

namespace kqvisa {

TransferResult writeToModule(InstrumentSession& session, std::string_view bytes, bool end,
                             TraceRecord& record) {
    if (const auto failure = takeFailure(Op::Write)) return {*failure, 0};
    if (const auto accepted = takeShortWrite(); accepted && *accepted < bytes.size()) {
        bytes = bytes.substr(0, *accepted);
        end = false;
    }
    // Whatever the formatted read buffer still holds answered an earlier message.
    session.formatted.discardRead();
    if (!bytes.empty()) session.port->write(bytes, end, session.resource.descriptor);
    record.data.assign(bytes);
    return {VI_SUCCESS, bytes.size()};
}

TransferResult readFromModule(InstrumentSession& session, char* into, std::size_t max, TraceRecord& record) {
    if (const auto failure = takeFailure(Op::Read)) return {*failure, 0};
    const bool terminationCharacterEnabled = session.settings.get(VI_ATTR_TERMCHAR_EN) == VI_TRUE;
    const auto terminationCharacter = static_cast<char>(session.settings.get(VI_ATTR_TERMCHAR));
    const bool endSuppressed = session.settings.get(VI_ATTR_SUPPRESS_END_EN) == VI_TRUE;

    TransferResult result{VI_SUCCESS_MAX_CNT, 0};
    while (result.count < max) {
        // With a termination character the module must not hand over bytes past it, so take one at a time.
        const std::size_t wanted = terminationCharacterEnabled ? 1 : max - result.count;
        const kqsim::ReplyChunk chunk = session.port->read(into + result.count, wanted);
        if (chunk.count == 0) {
            result.status = VI_ERROR_TMO;
            break;
        }
        result.count += chunk.count;
        if (chunk.end && !endSuppressed) {
            result.status = VI_SUCCESS;
            break;
        }
        if (terminationCharacterEnabled && into[result.count - 1] == terminationCharacter) {
            result.status = VI_SUCCESS_TERM_CHAR;
            break;
        }
    }
    record.data.assign(into, result.count);
    return result;
}

}  // namespace kqvisa

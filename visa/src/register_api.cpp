// Register-based operations on a module's A16 device registers: single accesses, block moves and
// the mapped window.
#include <cstdint>

#include "api_call.h"
#include "export.h"
#include "fault_plan.h"
#include "transfer_wait.h"

using namespace kqvisa;

namespace {

constexpr ViUInt16 kBusErrorWord = 0xFFFF;

// Checks an access of `words` 16-bit words starting at `offset`, each at the next address when
// `increment`, else all at the same one.
ViStatus checkRegisterAccess(ViUInt16 space, ViBusAddress offset, ViBusSize words, bool increment) {
    if (space != VI_A16_SPACE) return VI_ERROR_INV_SPACE;
    if (offset >= kRegisterBlockSize) return VI_ERROR_INV_OFFSET;
    if (offset % 2 != 0) return VI_ERROR_NSUP_ALIGN_OFFSET;
    if (increment && words > (kRegisterBlockSize - offset) / 2) return VI_ERROR_INV_LENGTH;
    return VI_SUCCESS;
}

std::uint16_t registerAt(ViBusAddress offset, ViBusSize word, bool increment) {
    return static_cast<std::uint16_t>(offset + (increment ? 2 * word : 0));
}

// The register a mapped address stands for, or nothing when it lies outside the window.
std::optional<std::uint16_t> mappedRegister(const MappedWindow& window, ViAddr address) {
    const auto base = reinterpret_cast<std::uintptr_t>(window.addressTarget.data());
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    if (at < base || at - base >= window.size || window.size - (at - base) < 2) return std::nullopt;
    const ViBusAddress offset = window.offset + (at - base);
    if (offset % 2 != 0) return std::nullopt;
    return static_cast<std::uint16_t>(offset);
}

// The frame both block moves share: the checks in the order a caller sees their errors, then
// `transfer(session, increment, record)` with the session's mutex held. `incrementAttribute` says
// whether the move walks the registers or stays on one (a FIFO port).
template <class Transfer>
ViStatus blockMove(Op op, ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length,
                   const ViUInt16* buf16, ViAttr incrementAttribute, Transfer&& transfer) {
    return tracedCall(op, vi, [&](TraceRecord& record) -> ViStatus {
        record.space = space;
        record.offset = offset;
        const auto session = sessionTable().instrument(vi);
        if (!session) return VI_ERROR_INV_OBJECT;
        if (buf16 == nullptr && length > 0) return VI_ERROR_USER_BUF;
        if (const auto failure = takeFailure(op)) return *failure;
        std::lock_guard lock(session->mutex);
        const bool increment = session->settings.get(incrementAttribute) == 1;
        if (const ViStatus status = checkRegisterAccess(space, offset, length, increment);
            status != VI_SUCCESS) {
            return status;
        }
        return transfer(*session, increment, record);
    });
}

}  // namespace

extern "C" {

KQ_VISA_EXPORT ViStatus viIn16(ViSession vi, ViUInt16 space, ViBusAddress offset, ViPUInt16 val16) {
    return tracedCall(Op::In16, vi, [&](TraceRecord& record) -> ViStatus {
        record.space = space;
        record.offset = offset;
        const auto session = sessionTable().instrument(vi);
        if (!session) return VI_ERROR_INV_OBJECT;
        if (val16 == nullptr) return VI_ERROR_USER_BUF;
        if (const auto failure = takeFailure(Op::In16)) return *failure;
        if (const ViStatus status = checkRegisterAccess(space, offset, 1, true); status != VI_SUCCESS)
            return status;
        std::lock_guard lock(session->mutex);
        *val16 = session->port->readRegister(static_cast<std::uint16_t>(offset));
        record.value = *val16;
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viOut16(ViSession vi, ViUInt16 space, ViBusAddress offset, ViUInt16 val16) {
    return tracedCall(Op::Out16, vi, [&](TraceRecord& record) -> ViStatus {
        record.space = space;
        record.offset = offset;
        record.value = val16;
        const auto session = sessionTable().instrument(vi);
        if (!session) return VI_ERROR_INV_OBJECT;
        if (const auto failure = takeFailure(Op::Out16)) return *failure;
        if (const ViStatus status = checkRegisterAccess(space, offset, 1, true); status != VI_SUCCESS)
            return status;
        std::lock_guard lock(session->mutex);
        session->port->writeRegister(static_cast<std::uint16_t>(offset), val16);
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viIn8(ViSession vi, ViUInt16 space, ViBusAddress offset, ViPUInt8 val8) {
    return tracedCall(Op::In8, vi, [&](TraceRecord& record) -> ViStatus {
        record.space = space;
        record.offset = offset;
        if (!sessionTable().instrument(vi)) return VI_ERROR_INV_OBJECT;
        if (val8 == nullptr) return VI_ERROR_USER_BUF;
        if (const auto failure = takeFailure(Op::In8)) return *failure;
        // The modules decode 16-bit accesses only.
        return VI_ERROR_NSUP_WIDTH;
    });
}

KQ_VISA_EXPORT ViStatus viOut8(ViSession vi, ViUInt16 space, ViBusAddress offset, ViUInt8 val8) {
    return tracedCall(Op::Out8, vi, [&](TraceRecord& record) -> ViStatus {
        record.space = space;
        record.offset = offset;
        record.value = val8;
        if (!sessionTable().instrument(vi)) return VI_ERROR_INV_OBJECT;
        if (const auto failure = takeFailure(Op::Out8)) return *failure;
        return VI_ERROR_NSUP_WIDTH;
    });
}

KQ_VISA_EXPORT ViStatus viMoveOut16(ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length,
                                    ViAUInt16 buf16) {
    const auto writeWords = [&](InstrumentSession& session, bool increment, TraceRecord& record) -> ViStatus {
        TransferWait wait(static_cast<ViUInt32>(session.settings.get(VI_ATTR_TMO_VALUE)), session.closed);
        ViBusSize moved = 0;
        while (moved < length) {
            const std::size_t taken = session.port->writeRegisterBlock(
                registerAt(offset, moved, increment), buf16 + moved, length - moved, increment);
            if (traceRecording())
                record.words.insert(record.words.end(), buf16 + moved, buf16 + moved + taken);
            moved += taken;
            if (taken == 0 && moved < length) {
                const auto roomIn = session.port->timeUntilRoom(registerAt(offset, moved, increment),
                                                                static_cast<std::size_t>(length - moved));
                if (const ViStatus status = wait.beforeRetry(roomIn); status != VI_SUCCESS) return status;
            }
        }
        return VI_SUCCESS;
    };
    return blockMove(Op::MoveOut16, vi, space, offset, length, buf16, VI_ATTR_DEST_INCREMENT, writeWords);
}

KQ_VISA_EXPORT ViStatus viMoveIn16(ViSession vi, ViUInt16 space, ViBusAddress offset, ViBusSize length,
                                   ViAUInt16 buf16) {
    const auto readWords = [&](InstrumentSession& session, bool increment, TraceRecord& record) -> ViStatus {
        for (ViBusSize word = 0; word < length; ++word) {
            buf16[word] = session.port->readRegister(registerAt(offset, word, increment));
            if (traceRecording()) record.words.push_back(buf16[word]);
        }
        return VI_SUCCESS;
    };
    return blockMove(Op::MoveIn16, vi, space, offset, length, buf16, VI_ATTR_SRC_INCREMENT, readWords);
}

// The window is reached through viPeek16/viPoke16 only (VI_ATTR_WIN_ACCESS is VI_USE_OPERS); the
// suggested address and the access flag are hints this library does without.
KQ_VISA_EXPORT ViStatus viMapAddress(ViSession vi, ViUInt16 mapSpace, ViBusAddress mapOffset,
                                     ViBusSize mapSize, ViBoolean, ViAddr, ViPAddr address) {
    return tracedCall(Op::MapAddress, vi, [&](TraceRecord& record) -> ViStatus {
        record.space = mapSpace;
        record.offset = mapOffset;
        record.value = mapSize;
        const auto session = sessionTable().instrument(vi);
        if (!session) return VI_ERROR_INV_OBJECT;
        if (address == nullptr) return VI_ERROR_USER_BUF;
        if (const auto failure = takeFailure(Op::MapAddress)) return *failure;
        std::lock_guard lock(session->mutex);
        if (session->window) return VI_ERROR_WINDOW_MAPPED;
        if (mapSpace != VI_A16_SPACE) return VI_ERROR_INV_SPACE;
        if (mapOffset >= kRegisterBlockSize) return VI_ERROR_INV_OFFSET;
        if (mapSize == 0 || mapSize > kRegisterBlockSize - mapOffset) return VI_ERROR_INV_SIZE;
        session->window = std::make_unique<MappedWindow>();
        session->window->offset = mapOffset;
        session->window->size = mapSize;
        *address = session->window->addressTarget.data();
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT ViStatus viUnmapAddress(ViSession vi) {
    return tracedCall(Op::UnmapAddress, vi, [&](TraceRecord&) -> ViStatus {
        const auto session = sessionTable().instrument(vi);
        if (!session) return VI_ERROR_INV_OBJECT;
        if (const auto failure = takeFailure(Op::UnmapAddress)) return *failure;
        std::lock_guard lock(session->mutex);
        if (!session->window) return VI_ERROR_WINDOW_NMAPPED;
        session->window.reset();
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT void viPeek16(ViSession vi, ViAddr address, ViPUInt16 val16) {
    tracedCall(Op::Peek16, vi, [&](TraceRecord& record) -> ViStatus {
        const auto session = sessionTable().instrument(vi);
        if (val16 == nullptr) return VI_ERROR_USER_BUF;
        *val16 = kBusErrorWord;
        record.value = kBusErrorWord;
        if (!session) return VI_ERROR_INV_OBJECT;
        if (const auto failure = takeFailure(Op::Peek16)) return *failure;
        std::lock_guard lock(session->mutex);
        if (!session->window) return VI_ERROR_WINDOW_NMAPPED;
        const auto offset = mappedRegister(*session->window, address);
        if (!offset) return VI_ERROR_INV_OFFSET;
        record.space = VI_A16_SPACE;
        record.offset = *offset;
        *val16 = session->port->readRegister(*offset);
        record.value = *val16;
        return VI_SUCCESS;
    });
}

KQ_VISA_EXPORT void viPoke16(ViSession vi, ViAddr address, ViUInt16 val16) {
    tracedCall(Op::Poke16, vi, [&](TraceRecord& record) -> ViStatus {
        record.value = val16;
        const auto session = sessionTable().instrument(vi);
        if (!session) return VI_ERROR_INV_OBJECT;
        if (const auto failure = takeFailure(Op::Poke16)) return *failure;
        std::lock_guard lock(session->mutex);
        if (!session->window) return VI_ERROR_WINDOW_NMAPPED;
        const auto offset = mappedRegister(*session->window, address);
        if (!offset) return VI_ERROR_INV_OFFSET;
        record.space = VI_A16_SPACE;
        record.offset = *offset;
        session->port->writeRegister(*offset, val16);
        return VI_SUCCESS;
    });
}

}  // extern "C"

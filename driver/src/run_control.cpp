// Starting and stopping the waveform generator, and the FIFO's status word.
#include <array>
#include <string_view>

#include "c_boundary.h"
#include "kq7120.h"
#include "register_map.h"
#include "status_check.h"
#include "transport.h"
#include "visa_binding.h"

namespace kq7120 {
namespace {

// Indexed by kq7120_INITIATE, kq7120_ABORT.
constexpr std::array<std::string_view, 2> kRunCommands = {"INIT", "ABOR"};

// The channels' scan mode (ARB or FIFO) decides what the module starts, so both controls are one.
ViStatus runCommand(ViSession instHndl, ViUInt16 command) {
    if (command >= kRunCommands.size()) return VI_ERROR_PARAMETER2;
    return commandWithCheck(instHndl, kRunCommands[command]);
}

// A mapped window over the status register, unmapped when it goes out of scope unless released.
class MappedWindow {
public:
    explicit MappedWindow(ViSession instHndl) : session_(instHndl) {}
    MappedWindow(const MappedWindow&) = delete;
    MappedWindow& operator=(const MappedWindow&) = delete;
    ~MappedWindow() {
        if (mapped_) visa::unmapAddress(session_);
    }

    ViStatus map() {
        const ViStatus status = visa::mapAddress(session_, VI_A16_SPACE, registers::kWindowOffset,
                                                 registers::kWindowSize, &address_);
        mapped_ = !failed(status);
        return status;
    }
    ViAddr address() const { return address_; }
    ViStatus unmap() {
        mapped_ = false;
        return visa::unmapAddress(session_);
    }

private:
    ViSession session_;
    ViAddr address_ = nullptr;
    bool mapped_ = false;
};

}  // namespace
}  // namespace kq7120

using namespace kq7120;

ViStatus kq7120_commandArb(ViSession instHndl, ViUInt16 command) {
    return guardedCall([&] { return runCommand(instHndl, command); });
}

ViStatus kq7120_commandFifo(ViSession instHndl, ViUInt16 command) {
    return guardedCall([&] { return runCommand(instHndl, command); });
}

ViStatus kq7120_GetFifoStatus(ViSession instHndl, ViUInt16* fifoStatus) {
    return guardedCall([&]() -> ViStatus {
        if (const ViStatus status = kq7120_invalidSession(instHndl); failed(status)) return status;
        if (!fifoStatus) return VI_ERROR_PARAMETER2;
        MappedWindow window(instHndl);
        if (const ViStatus status = window.map(); failed(status)) return status;
        // The status register is the window's first word.
        if (const ViStatus status = visa::peek16(instHndl, window.address(), fifoStatus); failed(status))
            return status;
        return window.unmap();
    });
}

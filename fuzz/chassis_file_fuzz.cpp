// The chassis file reader: the input is the file. A chassis it accepts must build a mainframe.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "kqsim/chassis_config.h"
#include "kqsim/mainframe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The reader takes a path; an in-memory file spares the disk.
    const int file = ::memfd_create("chassis", MFD_CLOEXEC);
    if (file < 0) return 0;
    if (::write(file, data, size) == static_cast<ssize_t>(size)) {
        std::string error;
        const auto chassis = kqsim::loadChassisFile("/proc/self/fd/" + std::to_string(file), error);
        if (chassis) {
            // Modules read their memory from the run's own state folder, never from a folder the
            // input names.
            kqsim::ChassisConfig config = *chassis;
            config.stateDirectory.clear();
            kqsim::Mainframe mainframe(config);
            for (const auto& module : mainframe.modules())
                mainframe.find(module.config.interfaceNumber, module.config.logicalAddress);
        }
    }
    ::close(file);
    return 0;
}

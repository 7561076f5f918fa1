// A second program on the chassis server, for the server tests: one VISA operation from the command
// line, its result on standard output.
//   chassis_probe query RESOURCE TEXT    write TEXT and a newline, print the reply
//   chassis_probe read RESOURCE          print the status of a read and what it got
//   chassis_probe write RESOURCE TEXT    write TEXT and a newline
//   chassis_probe fill-fifo RESOURCE N   move N words into the FIFO port, waiting for room for ever
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "visa.h"

namespace {

constexpr ViBusAddress kFifoPort = 0x20;

int fail(const char* what, ViStatus status) {
    std::printf("%s failed: %ld\n", what, static_cast<long>(status));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string_view command = argv[1];
    ViSession resourceManager = VI_NULL;
    ViSession session = VI_NULL;
    if (const ViStatus status = viOpenDefaultRM(&resourceManager); status < VI_SUCCESS)
        return fail("viOpenDefaultRM", status);
    if (const ViStatus status = viOpen(resourceManager, argv[2], VI_NULL, VI_NULL, &session);
        status < VI_SUCCESS)
        return fail("viOpen", status);
    viSetAttribute(session, VI_ATTR_TMO_VALUE, 500);

    if ((command == "query" || command == "write") && argc == 4) {
        const std::string text = std::string(argv[3]) + "\n";
        ViUInt32 count = 0;
        if (const ViStatus status = viWrite(session, reinterpret_cast<ViConstBuf>(text.data()),
                                            static_cast<ViUInt32>(text.size()), &count);
            status < VI_SUCCESS) {
            return fail("viWrite", status);
        }
        if (command == "write") return 0;
    }
    if (command == "query" || command == "read") {
        char reply[1024];
        ViUInt32 count = 0;
        const ViStatus status = viRead(session, reinterpret_cast<ViPBuf>(reply), sizeof reply, &count);
        if (command == "read")
            std::printf("%ld ", static_cast<long>(status));
        else if (status < VI_SUCCESS)
            return fail("viRead", status);
        std::fwrite(reply, 1, count, stdout);
        return 0;
    }
    if (command == "fill-fifo" && argc == 4) {
        const std::vector<ViUInt16> words(std::strtoul(argv[3], nullptr, 10), 0x8000);
        viSetAttribute(session, VI_ATTR_TMO_VALUE, VI_TMO_INFINITE);
        viSetAttribute(session, VI_ATTR_DEST_INCREMENT, 0);
        const ViStatus status =
            viMoveOut16(session, VI_A16_SPACE, kFifoPort, words.size(), const_cast<ViUInt16*>(words.data()));
        std::printf("%ld\n", static_cast<long>(status));
        return 0;
    }
    return 2;
}

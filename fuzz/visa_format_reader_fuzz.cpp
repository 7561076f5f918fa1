// VISA's formatted reader, through viScanf: the input holds a format, a NUL, and the reply a module
// sends. Every conversion gets a destination of its own, large enough for any width the harness
// lets through, so only a fault of the reader can overrun one; the "#" size arguments read 256.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "kqvisa/bus_trace.h"
#include "scripted_instrument.h"
#include "visa.h"

namespace {

constexpr std::size_t kDestinations = 48;
constexpr std::size_t kDestinationSize = 4096;
constexpr ViInt32 kSizeArgument = 256;
// A conversion takes at most two arguments (the "#" size and the buffer).
constexpr std::size_t kMostConversions = kDestinations / 2;
// Widths up to 999 fit a destination.
constexpr std::size_t kLongestDigitRun = 3;

struct alignas(16) Destination {
    std::array<char, kDestinationSize> bytes;
};

// Formats whose arguments the harness could not supply: more conversions than destinations, or a
// width larger than a destination. Such a format is the caller's fault, not the reader's.
bool harnessCanServe(std::string_view format) {
    if (static_cast<std::size_t>(std::count(format.begin(), format.end(), '%')) > kMostConversions)
        return false;
    std::size_t digits = 0;
    for (const char c : format) {
        digits = (c >= '0' && c <= '9') ? digits + 1 : 0;
        if (digits > kLongestDigitRun) return false;
    }
    return true;
}

ViSession resourceManager = VI_NULL;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kqvisa::setTraceRecording(false);
    viOpenDefaultRM(&resourceManager);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = std::min(input.find('\0'), input.size());
    const std::string format(input.substr(0, nul));
    const std::string reply(input.substr(std::min(nul + 1, input.size())));
    if (!harnessCanServe(format)) return 0;

    kqfuzz::mountAlone(std::make_shared<kqfuzz::ScriptedInstrument>(std::vector<std::string>{reply}, 0));
    ViSession session = VI_NULL;
    if (viOpen(resourceManager, kqfuzz::kMountedDescriptor, VI_NULL, 0, &session) != VI_SUCCESS) return 0;
    // The reply is sent when the module is asked.
    ViUInt32 written = 0;
    viWrite(session, reinterpret_cast<ViConstBuf>("?\n"), 2, &written);

    auto destinations = std::make_unique<std::array<Destination, kDestinations>>();
    for (Destination& destination : *destinations) {
        destination.bytes.fill('\0');
        std::memcpy(destination.bytes.data(), &kSizeArgument, sizeof kSizeArgument);
    }
    auto& d = *destinations;
    viScanf(
        session, format.c_str(), d[0].bytes.data(), d[1].bytes.data(), d[2].bytes.data(), d[3].bytes.data(),
        d[4].bytes.data(), d[5].bytes.data(), d[6].bytes.data(), d[7].bytes.data(), d[8].bytes.data(),
        d[9].bytes.data(), d[10].bytes.data(), d[11].bytes.data(), d[12].bytes.data(), d[13].bytes.data(),
        d[14].bytes.data(), d[15].bytes.data(), d[16].bytes.data(), d[17].bytes.data(), d[18].bytes.data(),
        d[19].bytes.data(), d[20].bytes.data(), d[21].bytes.data(), d[22].bytes.data(), d[23].bytes.data(),
        d[24].bytes.data(), d[25].bytes.data(), d[26].bytes.data(), d[27].bytes.data(), d[28].bytes.data(),
        d[29].bytes.data(), d[30].bytes.data(), d[31].bytes.data(), d[32].bytes.data(), d[33].bytes.data(),
        d[34].bytes.data(), d[35].bytes.data(), d[36].bytes.data(), d[37].bytes.data(), d[38].bytes.data(),
        d[39].bytes.data(), d[40].bytes.data(), d[41].bytes.data(), d[42].bytes.data(), d[43].bytes.data(),
        d[44].bytes.data(), d[45].bytes.data(), d[46].bytes.data(), d[47].bytes.data());
    viClose(session);
    kqsim::installMainframe(nullptr);
    return 0;
}

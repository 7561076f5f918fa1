// The module's state file reader: the input is the file text. Contents it accepts must survive a
// write and a read unchanged, and their text must read back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "nv_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto contents = kqsim::NvStore::parse(text);
    if (!contents) return 0;
    const std::string written = kqsim::NvStore::serialise(*contents);
    const auto readBack = kqsim::NvStore::parse(written);
    if (!readBack || !(*readBack == *contents) || kqsim::NvStore::serialise(*readBack) != written)
        std::abort();
    return 0;
}

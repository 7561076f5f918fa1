// The chassis server's wire format: every request and every answer is one frame, a fixed header
// and a bounded payload. Both ends run on one machine, so numbers travel in its own byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kqsim::protocol {

inline constexpr std::uint32_t kMagic = 0x4353514B;  // "KQSC"
// Raised whenever a frame's meaning changes; the two ends must agree.
inline constexpr std::uint16_t kVersion = 1;
// Large enough for one 256K-word FIFO block in a single frame.
inline constexpr std::uint32_t kMaxPayload = 1024 * 1024;

enum class MessageType : std::uint16_t {
    // Requests; all but Hello and ChassisTime name a module by its index in the Hello answer. Write
    // alone is not answered, so a program's messages go out without waiting for the server.
    Hello = 1,
    Write,
    Read,
    ReplyPending,
    DeviceClear,
    StatusByte,
    ReadRegister,
    WriteRegister,
    WriteBlock,
    TimeUntilRoom,
    ReadOutput,
    ChassisTime,
    // Answers.
    Ok = 0x100,
    Error,
};

struct FrameHeader {
    std::uint32_t magic = kMagic;
    std::uint16_t version = kVersion;
    std::uint16_t type = 0;
    std::uint32_t length = 0;  // payload bytes that follow
};
static_assert(sizeof(FrameHeader) == 12 && std::is_trivially_copyable_v<FrameHeader>);

enum class HeaderCheck { Good, BadMagic, BadVersion, TooLong };
HeaderCheck checkHeader(const FrameHeader& header);
std::string describe(HeaderCheck check);

// Appends fixed-size numbers and counted texts to a payload.
class PayloadWriter {
public:
    template <class T>
    PayloadWriter& put(T value) {
        static_assert(std::is_arithmetic_v<T>);
        return putBytes(&value, sizeof value);
    }
    // A text of at most 65535 bytes, longer ones cut.
    PayloadWriter& putText(std::string_view text);
    PayloadWriter& putBytes(const void* data, std::size_t size);

    const std::vector<char>& bytes() const { return bytes_; }
    std::vector<char> take() { return std::move(bytes_); }

private:
    std::vector<char> bytes_;
};

// Reads what PayloadWriter wrote. Reading past the end fails the reader for good: every later read
// gives nothing, so a short or garbled payload is caught by checking ok() once at the end.
class PayloadReader {
public:
    explicit PayloadReader(std::string_view payload) : rest_(payload) {}

    template <class T>
    T get() {
        static_assert(std::is_arithmetic_v<T>);
        T value{};
        if (!take(sizeof value)) return value;
        std::memcpy(&value, rest_.data() - sizeof value, sizeof value);
        return value;
    }
    std::string getText();
    // The next `size` bytes, or an empty view (and a failed reader) when fewer are left.
    std::string_view getBytes(std::size_t size);
    std::string_view rest() const { return rest_; }

    bool ok() const { return ok_; }

private:
    bool take(std::size_t size);

    std::string_view rest_;
    bool ok_ = true;
};

}  // namespace kqsim::protocol

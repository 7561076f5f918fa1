#include "remote_instrument.h"

#include <algorithm>
#include <cstring>

namespace kqsim {

namespace {

using protocol::MessageType;
using protocol::PayloadReader;
using protocol::PayloadWriter;

// Room in one frame for what travels with a request or an answer besides the bulk bytes.
constexpr std::size_t kFrameOverhead = 64;
constexpr std::size_t kMaxBulkBytes = protocol::kMaxPayload - kFrameOverhead;

PayloadReader readerOf(const std::vector<char>& answer) {
    return PayloadReader({answer.data(), answer.size()});
}

template <class T>
T checked(PayloadReader& reader, T value) {
    if (!reader.ok()) throw ChassisConnectionLost("the chassis server sent a short answer");
    return value;
}

}  // namespace

RemoteInstrument::RemoteInstrument(std::shared_ptr<ChassisConnection> connection, std::uint16_t index)
    : connection_(std::move(connection)), index_(index) {}

std::vector<char> RemoteInstrument::call(MessageType type, PayloadWriter& payload,
                                         std::string_view extra) const {
    return connection_->call(type, payload.bytes(), extra);
}

void RemoteInstrument::writeMessage(std::string_view bytes, bool end) {
    std::lock_guard lock(mutex_);
    // Bytes beyond one frame go in several; only the last carries END.
    do {
        const std::string_view piece = bytes.substr(0, kMaxBulkBytes);
        bytes.remove_prefix(piece.size());
        PayloadWriter payload;
        payload.put(index_).put<std::uint8_t>(end && bytes.empty());
        connection_->send(MessageType::Write, payload.bytes(), piece);
    } while (!bytes.empty());
    replyPending_.reset();
}

bool RemoteInstrument::replyPending() const {
    // Known here without asking, but a session must still learn that the server has gone.
    if (connection_->lost())
        throw ChassisConnectionLost("the chassis server at " + connection_->socketPath() + " has gone");
    std::lock_guard lock(mutex_);
    // After a message it may be: a read finds out, and gets nothing when there is none.
    return replyPending_.value_or(true);
}

ReplyChunk RemoteInstrument::readReply(char* into, std::size_t max) {
    std::lock_guard lock(mutex_);
    if (into == nullptr || max == 0) return {};
    PayloadWriter payload;
    payload.put(index_).put(static_cast<std::uint32_t>(std::min(max, kMaxBulkBytes)));
    const auto answer = call(MessageType::Read, payload);
    auto reader = readerOf(answer);
    const bool end = reader.get<std::uint8_t>() != 0;
    const bool stillPending = reader.get<std::uint8_t>() != 0;
    const std::string_view bytes = reader.rest();
    checked(reader, 0);
    if (bytes.size() > max) throw ChassisConnectionLost("the chassis server sent a longer reply than asked");
    std::memcpy(into, bytes.data(), bytes.size());
    replyPending_ = stillPending;
    return {bytes.size(), end};
}

void RemoteInstrument::deviceClear() {
    std::lock_guard lock(mutex_);
    PayloadWriter payload;
    payload.put(index_);
    call(MessageType::DeviceClear, payload);
    replyPending_ = false;
}

std::uint8_t RemoteInstrument::statusByte() {
    PayloadWriter payload;
    payload.put(index_);
    const auto answer = call(MessageType::StatusByte, payload);
    auto reader = readerOf(answer);
    return checked(reader, reader.get<std::uint8_t>());
}

std::uint16_t RemoteInstrument::readRegister(std::uint16_t offset) {
    PayloadWriter payload;
    payload.put(index_).put(offset);
    const auto answer = call(MessageType::ReadRegister, payload);
    auto reader = readerOf(answer);
    return checked(reader, reader.get<std::uint16_t>());
}

void RemoteInstrument::writeRegister(std::uint16_t offset, std::uint16_t value) {
    PayloadWriter payload;
    payload.put(index_).put(offset).put(value);
    call(MessageType::WriteRegister, payload);
}

std::size_t RemoteInstrument::writeRegisterBlock(std::uint16_t offset, const std::uint16_t* words,
                                                 std::size_t count, bool increment) {
    if (words == nullptr || count == 0) return 0;
    // A block larger than one frame goes in part; the caller offers the rest again.
    const std::size_t sent = std::min(count, kMaxBulkBytes / sizeof(std::uint16_t));
    PayloadWriter payload;
    payload.put(index_).put(offset).put<std::uint8_t>(increment);
    const auto answer = call(MessageType::WriteBlock, payload,
                             {reinterpret_cast<const char*>(words), sent * sizeof(std::uint16_t)});
    auto reader = readerOf(answer);
    const auto taken = checked(reader, reader.get<std::uint32_t>());
    return std::min<std::size_t>(taken, sent);
}

std::optional<std::chrono::nanoseconds> RemoteInstrument::timeUntilRoom(std::uint16_t offset,
                                                                        std::size_t words) {
    PayloadWriter payload;
    payload.put(index_).put(offset).put(static_cast<std::uint64_t>(words));
    const auto answer = call(MessageType::TimeUntilRoom, payload);
    auto reader = readerOf(answer);
    const bool known = reader.get<std::uint8_t>() != 0;
    const auto nanoseconds = checked(reader, reader.get<std::int64_t>());
    if (!known) return std::nullopt;
    return std::chrono::nanoseconds(nanoseconds);
}

int RemoteInstrument::readChannelOutput(int channel, double* times, double* volts, int maxSamples) {
    PayloadWriter payload;
    payload.put(index_).put<std::int32_t>(channel).put<std::int32_t>(maxSamples);
    const auto answer = call(MessageType::ReadOutput, payload);
    auto reader = readerOf(answer);
    const auto count = reader.get<std::int32_t>();
    if (!reader.ok() || count < 0) return -1;
    if (count > maxSamples) throw ChassisConnectionLost("the chassis server sent more samples than asked");
    for (std::int32_t i = 0; i < count; ++i) {
        times[i] = reader.get<double>();
        volts[i] = reader.get<double>();
    }
    return checked(reader, count);
}

}  // namespace kqsim

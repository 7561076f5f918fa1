#include "nv_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

namespace kqsim {

namespace {

using Json = nlohmann::json;

constexpr int kFormatVersion = 1;

// The security code may hold any bytes; JSON text must be UTF-8, so it is kept as byte values.
Json bytesOf(const std::string& text) {
    Json bytes = Json::array();
    for (unsigned char c : text) bytes.push_back(static_cast<int>(c));
    return bytes;
}

bool writeAll(int descriptor, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(descriptor, text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// An integer within [low, high], whichever JSON number type holds it: a large unsigned value must not
// wrap into range.
std::optional<long long> integerIn(const Json& value, long long low, long long high) {
    long long number = 0;
    if (value.is_number_unsigned()) {
        const auto unsignedNumber = value.get<std::uint64_t>();
        if (unsignedNumber > static_cast<std::uint64_t>(std::numeric_limits<long long>::max()))
            return std::nullopt;
        number = static_cast<long long>(unsignedNumber);
    } else if (value.is_number_integer()) {
        number = value.get<std::int64_t>();
    } else {
        return std::nullopt;
    }
    if (number < low || number > high) return std::nullopt;
    return number;
}

// The temporary files a store writes are "<state file>.XXXXXX", six letters or digits.
bool isTemporaryOf(const std::string& name, const std::string& stateFileName) {
    constexpr std::size_t kSuffixLength = 6;
    if (name.size() != stateFileName.size() + 1 + kSuffixLength ||
        name.compare(0, stateFileName.size(), stateFileName) != 0 || name[stateFileName.size()] != '.')
        return false;
    for (std::size_t i = stateFileName.size() + 1; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    return true;
}

// A store holds an exclusive lock on its temporary file until the rename, so a temporary that can
// be locked is one a killed store left behind, never one another process is writing.
void removeIfStale(const std::filesystem::path& temporary) {
    const int descriptor = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) ::unlink(temporary.c_str());
    ::close(descriptor);
}

// Creates and locks the temporary file of a store; -1 when it cannot. A cleaner may remove the file
// between its creation and the lock: then it is created again.
int createLockedTemporary(const std::filesystem::path& target, std::string& name) {
    constexpr int kAttempts = 8;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string pattern = target.string() + ".XXXXXX";
        const int descriptor = ::mkstemp(pattern.data());
        if (descriptor < 0) return -1;
        struct stat opened {};
        struct stat named {};
        // Where the file system has no locks the store goes ahead unlocked.
        if (::flock(descriptor, LOCK_EX) != 0 ||
            (::fstat(descriptor, &opened) == 0 && ::stat(pattern.c_str(), &named) == 0 &&
             opened.st_ino == named.st_ino && opened.st_dev == named.st_dev)) {
            name = pattern;
            return descriptor;
        }
        ::close(descriptor);
    }
    return -1;
}

// Makes the rename itself durable.
void syncDirectory(const std::filesystem::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace

NvStore::NvStore(std::string path) : path_(std::move(path)) {}

std::string NvStore::serialise(const NvContents& contents) {
    Json constants = Json::array();
    for (std::int8_t value : contents.constants) constants.push_back(static_cast<int>(value));
    const Json root = {
        {"format", kFormatVersion},          {"calibrationConstants", constants},
        {"storeCount", contents.storeCount}, {"autoStore", contents.autoStore},
        {"securityOn", contents.securityOn}, {"securityCode", bytesOf(contents.securityCode)},
    };
    return root.dump(2) + "\n";
}

std::optional<NvContents> NvStore::parse(const std::string& text) {
    const Json root = Json::parse(text, nullptr, false);
    if (!root.is_object()) return std::nullopt;
    const auto field = [&root](const char* name) -> const Json* {
        const auto found = root.find(name);
        return found == root.end() ? nullptr : &*found;
    };
    const Json* format = field("format");
    const Json* constants = field("calibrationConstants");
    const Json* count = field("storeCount");
    const Json* autoStore = field("autoStore");
    const Json* securityOn = field("securityOn");
    const Json* code = field("securityCode");
    if (!format || !constants || !count || !autoStore || !securityOn || !code) return std::nullopt;
    if (!integerIn(*format, kFormatVersion, kFormatVersion)) return std::nullopt;

    NvContents contents;
    if (!constants->is_array() || constants->size() != contents.constants.size()) return std::nullopt;
    for (std::size_t i = 0; i < contents.constants.size(); ++i) {
        const auto number = integerIn((*constants)[i], INT8_MIN, INT8_MAX);
        if (!number) return std::nullopt;
        contents.constants[i] = static_cast<std::int8_t>(*number);
    }
    const auto stores = integerIn(*count, 0, INT32_MAX);
    if (!stores) return std::nullopt;
    contents.storeCount = static_cast<std::int32_t>(*stores);
    if (!autoStore->is_boolean() || !securityOn->is_boolean()) return std::nullopt;
    contents.autoStore = autoStore->get<bool>();
    contents.securityOn = securityOn->get<bool>();
    if (!code->is_array() || code->empty() || code->size() > kSecurityCodeMaxLength) return std::nullopt;
    contents.securityCode.clear();
    for (const Json& byte : *code) {
        const auto value = integerIn(byte, 0, UINT8_MAX);
        if (!value) return std::nullopt;
        contents.securityCode.push_back(static_cast<char>(*value));
    }
    return contents;
}

void NvStore::removeStaleTemporaries() const {
    const std::filesystem::path target(path_);
    const std::string stateFileName = target.filename().string();
    std::error_code error;
    std::filesystem::directory_iterator entries(target.has_parent_path() ? target.parent_path() : ".", error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        if (isTemporaryOf(entries->path().filename().string(), stateFileName)) removeIfStale(entries->path());
    }
}

NvContents NvStore::load() {
    lost_ = false;
    if (path_.empty()) return {};
    removeStaleTemporaries();
    std::error_code error;
    if (!std::filesystem::exists(path_, error)) return {};
    std::ifstream file(path_, std::ios::binary);
    std::ostringstream text;
    if (file) text << file.rdbuf();
    if (file) {
        if (auto contents = parse(text.str())) return *contents;
    }
    lost_ = true;
    std::cerr << "kq7120-sim: the non-volatile memory in " << path_
              << " cannot be read; the module starts with factory calibration\n";
    return {};
}

bool NvStore::save(const NvContents& contents) {
    if (path_.empty()) return true;
    const std::filesystem::path target(path_);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    removeStaleTemporaries();

    std::string temporary;
    const int descriptor = createLockedTemporary(folder / target.filename(), temporary);
    if (descriptor < 0) return false;
    const bool written = writeAll(descriptor, serialise(contents)) && ::fsync(descriptor) == 0;
    const bool closed = ::close(descriptor) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path_.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    syncDirectory(folder);
    return true;
}

}  // namespace kqsim

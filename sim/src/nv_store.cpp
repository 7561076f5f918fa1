#include "nv_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

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
    if (!format->is_number_integer() || format->get<int>() != kFormatVersion) return std::nullopt;

    NvContents contents;
    if (!constants->is_array() || constants->size() != contents.constants.size()) return std::nullopt;
    for (std::size_t i = 0; i < contents.constants.size(); ++i) {
        const Json& value = (*constants)[i];
        if (!value.is_number_integer()) return std::nullopt;
        const auto number = value.get<long long>();
        if (number < -128 || number > 127) return std::nullopt;
        contents.constants[i] = static_cast<std::int8_t>(number);
    }
    if (!count->is_number_integer()) return std::nullopt;
    const auto stores = count->get<long long>();
    if (stores < 0 || stores > INT32_MAX) return std::nullopt;
    contents.storeCount = static_cast<std::int32_t>(stores);
    if (!autoStore->is_boolean() || !securityOn->is_boolean()) return std::nullopt;
    contents.autoStore = autoStore->get<bool>();
    contents.securityOn = securityOn->get<bool>();
    if (!code->is_array() || code->empty() || code->size() > kSecurityCodeMaxLength) return std::nullopt;
    contents.securityCode.clear();
    for (const Json& byte : *code) {
        if (!byte.is_number_integer()) return std::nullopt;
        const auto value = byte.get<long long>();
        if (value < 0 || value > 255) return std::nullopt;
        contents.securityCode.push_back(static_cast<char>(value));
    }
    return contents;
}

NvContents NvStore::load() {
    lost_ = false;
    if (path_.empty()) return {};
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

    std::string pattern = (folder / (target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) return false;
    const std::string temporary(name.data());
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

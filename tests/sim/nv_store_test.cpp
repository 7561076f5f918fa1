// The module's non-volatile memory file: contents round trip, atomic replacement, restart of a
// module on its file, and unreadable files that fall back to factory contents.
#include "nv_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

#include "kq_module_test_support.h"

namespace kqsim::testing {
namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class NvStoreTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = freshFolder(currentTestName()); }
    std::filesystem::path file() const { return folder_ / "deep" / "er" / "module.json"; }

    static NvContents sample() {
        NvContents contents;
        for (std::size_t i = 0; i < contents.constants.size(); ++i) {
            contents.constants[i] = static_cast<std::int8_t>(static_cast<int>(i) * 5 - 128);
        }
        contents.storeCount = 41;
        contents.autoStore = true;
        contents.securityOn = false;
        contents.securityCode = std::string("a\0,\xff\"b", 6);
        return contents;
    }

    std::filesystem::path folder_;
};

TEST_F(NvStoreTest, NoFileMeansFactoryContents) {
    NvStore store(file().string());
    EXPECT_EQ(store.load(), NvContents{});
    EXPECT_FALSE(store.lostOnLoad());
    EXPECT_EQ(NvContents{}.securityCode, "KQ7120");
    EXPECT_TRUE(NvContents{}.securityOn);
}

TEST_F(NvStoreTest, SavedContentsLoadBackIncludingAnyCodeBytes) {
    NvStore store(file().string());
    ASSERT_TRUE(store.save(sample()));
    EXPECT_EQ(NvStore(file().string()).load(), sample());
}

TEST_F(NvStoreTest, SaveReplacesTheFileWholeAndLeavesNoTemporaryBehind) {
    NvStore store(file().string());
    ASSERT_TRUE(store.save(NvContents{}));
    ASSERT_TRUE(store.save(sample()));
    EXPECT_EQ(readFile(file()), NvStore::serialise(sample()));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(file().parent_path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST_F(NvStoreTest, StoreInterruptedBeforeTheRenameLeavesTheOldContents) {
    NvStore store(file().string());
    ASSERT_TRUE(store.save(sample()));
    // What a crash mid-store leaves: a half-written temporary next to the intact state file.
    std::ofstream(file().string() + ".Ab12Cd") << NvStore::serialise(NvContents{}).substr(0, 40);
    EXPECT_EQ(NvStore(file().string()).load(), sample());
}

TEST_F(NvStoreTest, SaveThatCannotWriteKeepsThePreviousFile) {
    std::filesystem::create_directories(folder_ / "blocked");
    const auto target = folder_ / "blocked" / "module.json";
    std::filesystem::create_directories(target);  // a folder where the file should go: rename fails
    NvStore store(target.string());
    EXPECT_FALSE(store.save(sample()));
    EXPECT_TRUE(std::filesystem::is_directory(target));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_ / "blocked"))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

// Temporaries a killed store leaves ("<state file>.XXXXXX") are removed when the module loads or
// stores; a temporary that a store in progress holds locked, and every other file, are kept.
TEST_F(NvStoreTest, LoadAndSaveRemoveOnlyStaleTemporariesOfTheirOwnFile) {
    std::filesystem::create_directories(file().parent_path());
    const auto sibling = [this](const std::string& name) { return file().parent_path() / name; };
    const std::vector<std::string> kept = {"module.json.inUse1", "other.json.Ab12Cd",
                                           "module.json.Ab12C",  "module.json.Ab12Cd7",
                                           "module.json.Ab-2Cd", "xmodule.json.Ab12Cd"};
    for (const std::string& name : kept) std::ofstream(sibling(name)) << "x";
    const int inUse = ::open(sibling("module.json.inUse1").c_str(), O_RDONLY);
    ASSERT_GE(inUse, 0);
    ASSERT_EQ(::flock(inUse, LOCK_EX), 0);

    for (const bool viaSave : {false, true}) {
        SCOPED_TRACE(viaSave ? "save" : "load");
        for (const char* name : {"module.json.Ab12Cd", "module.json.000000"})
            std::ofstream(sibling(name)) << "{";
        NvStore store(file().string());
        if (viaSave) {
            ASSERT_TRUE(store.save(sample()));
        } else {
            EXPECT_EQ(store.load(), NvContents{});
        }
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(file().parent_path()))
            left.push_back(entry.path().filename().string());
        std::vector<std::string> expected = kept;
        if (viaSave) expected.push_back("module.json");
        std::sort(left.begin(), left.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(left, expected);
    }
    ::close(inUse);
}

// Stores killed at random moments: whatever is on disk loads as a valid state, and the next load
// leaves no temporary behind.
TEST_F(NvStoreTest, KilledStoresLeaveValidContentsAndNoTemporaryAfterTheNextLoad) {
    NvStore store(file().string());
    ASSERT_TRUE(store.save(NvContents{}));
    std::mt19937 random(7);
    for (int kill = 0; kill < 40; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) store.save(sample());
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    NvStore reloaded(file().string());
    ::testing::internal::CaptureStderr();
    const NvContents contents = reloaded.load();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(reloaded.lostOnLoad());
    EXPECT_TRUE(contents == NvContents{} || contents == sample());
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(file().parent_path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

struct CorruptFile {
    const char* name;
    std::string text;
};

std::string withField(const std::string& name, const std::string& value) {
    std::string text = NvStore::serialise(NvContents{});
    const std::string key = "\"" + name + "\": ";
    const auto start = text.find(key) + key.size();
    auto end = start;
    int depth = 0;
    while (end < text.size() && (depth > 0 || (text[end] != ',' && text[end] != '\n'))) {
        if (text[end] == '[') ++depth;
        if (text[end] == ']') --depth;
        ++end;
    }
    return text.substr(0, start) + value + text.substr(end);
}

std::string repeated(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) result += text;
    return result;
}

const CorruptFile kCorruptFiles[] = {
    {"Empty", ""},
    {"Truncated", NvStore::serialise(NvContents{}).substr(0, 60)},
    {"NotJson", "calibration=1"},
    {"WrongFormat", withField("format", "2")},
    {"ShortConstants", withField("calibrationConstants", "[1, 2]")},
    {"ConstantOutOfRange", withField("calibrationConstants", "[200" + repeated(",0", 63) + "]")},
    {"NegativeCount", withField("storeCount", "-1")},
    {"CountNotANumber", withField("storeCount", "\"7\"")},
    {"EmptyCode", withField("securityCode", "[]")},
    {"CodeTooLong", withField("securityCode", "[1,2,3,4,5,6,7,8,9,10,11,12,13]")},
    {"CodeByteTooLarge", withField("securityCode", "[256]")},
    // JSON keeps large non-negative numbers unsigned; they must not wrap into range.
    {"ConstantWrapsFromUnsigned",
     withField("calibrationConstants", "[18446744073709551615" + repeated(",0", 63) + "]")},
    {"FormatWrapsFromUnsigned", withField("format", "4294967297")},
    {"FormatZero", withField("format", "0")},
    {"CountBeyondInt32", withField("storeCount", "2147483648")},
    {"ConstantNotAnInteger", withField("calibrationConstants", "[1.0" + repeated(",0", 63) + "]")},
    {"SecurityNotBoolean", withField("securityOn", "1")},
};

TEST(NvStoreFieldEditor, KeepsAFileValidWhenTheValueIsValid) {
    EXPECT_TRUE(NvStore::parse(withField("storeCount", "7")));
    EXPECT_TRUE(NvStore::parse(withField("securityCode", "[65]")));
}

class CorruptStateFile : public NvStoreTest, public ::testing::WithParamInterface<CorruptFile> {};

TEST_P(CorruptStateFile, GivesFactoryContentsAndReportsItOnce) {
    std::filesystem::create_directories(file().parent_path());
    std::ofstream(file(), std::ios::binary) << GetParam().text;
    NvStore store(file().string());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(store.load(), NvContents{});
    const std::string complaint = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(store.lostOnLoad());
    EXPECT_NE(complaint.find(file().string()), std::string::npos);
    EXPECT_EQ(std::count(complaint.begin(), complaint.end(), '\n'), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, CorruptStateFile, ::testing::ValuesIn(kCorruptFiles),
                         [](const auto& info) { return std::string(info.param.name); });

class ModuleMemory : public ModuleTest {};

TEST_F(ModuleMemory, CorruptFileStartsTheModuleWithFactoryCalibrationAndSaysSo) {
    send("CAL:SEC:STAT 0,#16KQ7120;:CAL1:GAIN 9;:CAL:STOR");
    std::ofstream(stateFile(), std::ios::trunc) << "{\"format\": 1, \"calibrat";
    ::testing::internal::CaptureStderr();
    restart();
    ::testing::internal::GetCapturedStderr();
    // restart() empties the error queue; the module reported the lost memory at power-on.
    EXPECT_EQ(query("CAL1:GAIN?"), "0\n");
    EXPECT_EQ(query("CAL:COUNT?"), "0\n");
    EXPECT_EQ(query("CAL:SEC:STAT?"), "1\n");
    // The next store writes a good file again.
    send("CAL:SEC:STAT 0,#16KQ7120;:CAL:STOR");
    EXPECT_TRUE(NvStore::parse(readFile(stateFile())));
}

TEST(ModuleMemoryLoss, IsReportedInTheErrorQueue) {
    const auto folder = freshFolder(currentTestName());
    const auto path = folder / "module.json";
    std::ofstream(path) << "garbage";
    KqModuleOptions options;
    options.stateFile = path.string();
    ::testing::internal::CaptureStderr();
    KqModule module(options);
    ::testing::internal::GetCapturedStderr();
    Controller bus(module);
    EXPECT_EQ(bus.errors(), std::vector<int>{-315});
}

TEST_F(ModuleMemory, StoreFailureIsAHardwareErrorAndKeepsTheCount) {
    send("CAL:SEC:STAT 0,#16KQ7120");
    std::filesystem::remove(stateFile());
    std::filesystem::create_directories(stateFile());
    EXPECT_EQ(errorsOf("CAL:STOR"), std::vector<int>{-240});
    EXPECT_EQ(query("CAL:COUNT?"), "0\n");
    std::filesystem::remove_all(stateFile());
}

}  // namespace
}  // namespace kqsim::testing

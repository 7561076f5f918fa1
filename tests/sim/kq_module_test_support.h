// Shared by the module tests: a KQ module with its own state file, talked to as a controller does
// through the Instrument interface (message with END, reply read back).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "kqsim/kq_module.h"

namespace kqsim::testing {

// A fresh folder for one test, below the per-test state folder the test runner provides.
inline std::filesystem::path freshFolder(const std::string& name) {
    const char* base = std::getenv("KQ7120_SIM_STATE_DIR");
    std::filesystem::path folder = base != nullptr && *base != '\0'
                                       ? std::filesystem::path(base)
                                       : std::filesystem::temp_directory_path() / "kq7120-sim-tests";
    folder /= name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

inline std::string currentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    return name;
}

// The controller's side of one module.
class Controller {
public:
    explicit Controller(Instrument& instrument) : instrument_(instrument) {}

    void send(std::string_view message) { instrument_.writeMessage(message, true); }

    // Sends a query and reads its whole reply, newline included; empty when the module has none.
    std::string query(std::string_view message) {
        send(message);
        return readAll();
    }

    // Reads only what is pending: a read with nothing to answer would itself log -420.
    std::string readAll() {
        std::string reply;
        char buffer[4096];
        while (instrument_.replyPending()) {
            const ReplyChunk chunk = instrument_.readReply(buffer, sizeof buffer);
            reply.append(buffer, chunk.count);
            if (chunk.end || chunk.count == 0) break;
        }
        return reply;
    }

    // The error queue, oldest first, as error numbers; the queue is empty afterwards.
    std::vector<int> errors() {
        std::vector<int> numbers;
        for (int guard = 0; guard < 64; ++guard) {
            const std::string reply = query("SYST:ERR?");
            const int number = std::atoi(reply.c_str());
            if (number == 0) break;
            numbers.push_back(number);
        }
        return numbers;
    }

    // Sends a command and returns the errors it raised (the queue is emptied first).
    std::vector<int> errorsOf(std::string_view message) {
        errors();
        send(message);
        return errors();
    }

private:
    Instrument& instrument_;
};

// A module of the given kind whose non-volatile memory lives in the test's own folder.
class ModuleTest : public ::testing::Test {
protected:
    explicit ModuleTest(ModuleKind kind = ModuleKind::KQ7120) : kind_(kind) {}

    void SetUp() override {
        folder_ = freshFolder(currentTestName());
        restart();
    }

    // A new module on the same state file, as after switching the mainframe off and on.
    void restart() {
        controller_.reset();
        module_.reset();
        KqModuleOptions options;
        options.kind = kind_;
        options.stateFile = (folder_ / "module.json").string();
        module_ = std::make_unique<KqModule>(options);
        controller_ = std::make_unique<Controller>(*module_);
        controller_->errors();
        controller_->query("*ESR?");
    }

    KqModule& module() { return *module_; }
    Controller& bus() { return *controller_; }
    std::filesystem::path stateFile() const { return folder_ / "module.json"; }

    std::string query(std::string_view message) { return controller_->query(message); }
    std::vector<int> errorsOf(std::string_view message) { return controller_->errorsOf(message); }
    void send(std::string_view message) { controller_->send(message); }

private:
    ModuleKind kind_;
    std::filesystem::path folder_;
    std::unique_ptr<KqModule> module_;
    std::unique_ptr<Controller> controller_;
};

}  // namespace kqsim::testing

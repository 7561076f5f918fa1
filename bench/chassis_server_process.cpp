#include "chassis_server_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

bool BenchChassisServer::start(const std::string& program) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kq7120-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return false;
    folder_ = pattern;
    socket_ = folder_ + "/chassis.sock";
    std::vector<std::string> arguments = {program, "--socket", socket_, "--state-dir", folder_ + "/state"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    for (int attempt = 0; attempt < 500 && !std::filesystem::exists(socket_); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return std::filesystem::exists(socket_);
}

BenchChassisServer::~BenchChassisServer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

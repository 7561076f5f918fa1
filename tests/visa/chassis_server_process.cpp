#include "chassis_server_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "kqsim/chassis_link.h"
#include "kqsim/mainframe.h"
#include "unix_socket.h"

extern char** environ;

namespace kqvisatest {

namespace {

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

pid_t spawn(const std::string& program, const std::vector<std::string>& arguments,
            const std::vector<std::string>& extraEnvironment, posix_spawn_file_actions_t* actions) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    // The extra settings replace this process's own of the same names.
    std::vector<std::string> envp = extraEnvironment;
    const auto overridden = [&](std::string_view entry) {
        const std::string_view name = entry.substr(0, entry.find('=') + 1);
        return std::any_of(extraEnvironment.begin(), extraEnvironment.end(),
                           [&](const std::string& extra) { return extra.starts_with(name); });
    };
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!overridden(*entry)) envp.emplace_back(*entry);
    }
    auto argvPointers = pointers(argv);
    auto envpPointers = pointers(envp);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), actions, nullptr, argvPointers.data(), envpPointers.data()) != 0)
        return -1;
    return pid;
}

}  // namespace

pid_t startProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& extraEnvironment) {
    return spawn(program, arguments, extraEnvironment, nullptr);
}

int waitForProgram(pid_t pid) {
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string runProgram(const std::string& program, const std::vector<std::string>& arguments, int& status,
                       const std::vector<std::string>& extraEnvironment) {
    int pipeEnds[2];
    status = -1;
    if (pipe(pipeEnds) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    const pid_t pid = spawn(program, arguments, extraEnvironment, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, got);
    close(pipeEnds[0]);
    status = waitForProgram(pid);
    return output;
}

ChassisServerProcess::ChassisServerProcess() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kq7120-chassis-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
    folder_ = pattern;
    // Where the default socket is when XDG_RUNTIME_DIR is the folder.
    socketPath_ = folder_ + "/kq7120-sim/chassis.sock";
    pid_ = startProgram(KQ_CHASSIS_SERVER, {"--socket", socketPath_, "--state-dir", folder_ + "/state"});
    for (int attempt = 0; attempt < 500 && !answering(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!answering()) throw std::runtime_error("the chassis server did not start");
}

ChassisServerProcess::~ChassisServerProcess() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

bool ChassisServerProcess::answering() const {
    std::string error;
    return kqsim::connectUnixSocket(socketPath_, 1, error).has_value();
}

void ChassisServerProcess::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    waitForProgram(pid_);
    pid_ = -1;
}

int ChassisServerProcess::stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    const int status = waitForProgram(pid_);
    pid_ = -1;
    return status;
}

UseChassisServer::UseChassisServer(const std::string& socketPath) {
    setenv(kqsim::kServerSocketVariable, socketPath.c_str(), 1);
    kqsim::installMainframe(nullptr);
}

UseChassisServer::~UseChassisServer() {
    unsetenv(kqsim::kServerSocketVariable);
    kqsim::installMainframe(nullptr);
}

}  // namespace kqvisatest

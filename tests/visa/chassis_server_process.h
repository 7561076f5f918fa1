// A chassis server of the test's own: kq7120-chassis started on a socket and a state folder in a
// private temporary folder, and programs started against it. Tests never touch a user's server.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kqvisatest {

// Runs `program` with `arguments` and the environment of this process plus `extraEnvironment`
// ("NAME=value"); -1 when it cannot be started.
pid_t startProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& extraEnvironment = {});
// Waits for the program to end; its exit status, or -1 when it was killed or cannot be waited for.
int waitForProgram(pid_t pid);
// Runs the program to its end and gives its standard output; `status` gets its exit status.
std::string runProgram(const std::string& program, const std::vector<std::string>& arguments, int& status,
                       const std::vector<std::string>& extraEnvironment = {});

class ChassisServerProcess {
public:
    // Starts the server (KQ_CHASSIS_SERVER) in a new private folder and waits until it answers.
    ChassisServerProcess();
    // Stops the server (if running) and removes the folder.
    ~ChassisServerProcess();
    ChassisServerProcess(const ChassisServerProcess&) = delete;
    ChassisServerProcess& operator=(const ChassisServerProcess&) = delete;

    const std::string& folder() const { return folder_; }
    const std::string& socketPath() const { return socketPath_; }
    bool answering() const;
    // SIGKILL: no clean shutdown.
    void kill();
    // SIGTERM; the server's exit status.
    int stop();

private:
    std::string folder_;
    std::string socketPath_;
    pid_t pid_ = -1;
};

// Points this process's simulated VISA at `socketPath` (KQ7120_SIM_SERVER) and drops the mainframe
// in use, so the next search looks again; the previous setting is restored at the end.
class UseChassisServer {
public:
    explicit UseChassisServer(const std::string& socketPath);
    ~UseChassisServer();
    UseChassisServer(const UseChassisServer&) = delete;
    UseChassisServer& operator=(const UseChassisServer&) = delete;
};

}  // namespace kqvisatest

// kq7120-chassis: serves one simulated mainframe to every program on this machine that uses the
// simulated VISA library. Runs in the foreground until SIGINT or SIGTERM.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "chassis_server.h"
#include "kqsim/chassis_link.h"
#include "kqsim/mainframe.h"

namespace {

constexpr const char* kUsage =
    "Usage: kq7120-chassis [--socket PATH] [--chassis FILE] [--state-dir DIR]\n"
    "\n"
    "Serves one simulated VXI mainframe of KQ7120/KQ7110 modules on a Unix domain socket, so that\n"
    "the front panel, test programs and VISA clients all drive the same modules. Runs in the\n"
    "foreground, logs to standard error and stops on SIGINT or SIGTERM.\n"
    "\n"
    "  --socket PATH     where to serve (default: $KQ7120_SIM_SERVER, else\n"
    "                    $XDG_RUNTIME_DIR/kq7120-sim/chassis.sock); its folder must be private (0700)\n"
    "  --chassis FILE    a chassis file (default: $KQ7120_SIM_CHASSIS, else the default chassis)\n"
    "  --state-dir DIR   where the modules keep their non-volatile memory\n"
    "                    (default: $KQ7120_SIM_STATE_DIR, else ~/.local/state/kq7120-sim)\n"
    "  --help            show this text\n"
    "\n"
    "Programs find the server by KQ7120_SIM_SERVER, or at the default socket when it answers there.\n";

int stopPipe[2] = {-1, -1};

extern "C" void requestStop(int) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(stopPipe[1], &byte, 1);
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

int main(int argc, char** argv) {
    std::string socketPath = environment(kqsim::kServerSocketVariable);
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--help" || option == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (option == "--socket" && hasValue) {
            socketPath = argv[++i];
        } else if (option == "--chassis" && hasValue) {
            ::setenv(kqsim::kChassisFileVariable, argv[++i], 1);
        } else if (option == "--state-dir" && hasValue) {
            ::setenv(kqsim::kStateDirectoryVariable, argv[++i], 1);
        } else {
            std::cerr << "kq7120-chassis: unknown option or missing value: " << option << "\n\n" << kUsage;
            return 2;
        }
    }
    if (socketPath.empty()) socketPath = kqsim::defaultServerSocket();

    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) return 1;
    struct sigaction stop {};
    stop.sa_handler = requestStop;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    // Built here, never through the server lookup: the server must not become its own client.
    const auto mainframe = kqsim::mainframeFromEnvironment();
    kqsim::installMainframe(mainframe);
    kqsim::ChassisServer server(mainframe);
    std::string error;
    if (!server.listen(socketPath, error)) {
        std::cerr << "kq7120-chassis: " << error << '\n';
        return 1;
    }
    std::cerr << "kq7120-chassis: serving " << mainframe->modules().size() << " modules on " << socketPath
              << '\n';
    server.run(stopPipe[0]);
    std::cerr << "kq7120-chassis: stopped\n";
    return 0;
}

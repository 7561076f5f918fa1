// How programs reach the chassis server (kq7120-chassis): one simulated mainframe served on a Unix
// domain socket, so that every program using the simulated VISA library drives the same modules.
#pragma once

#include <stdexcept>
#include <string>

namespace kqsim {

// Names the server's socket. When set, the library uses that server or no chassis at all.
inline constexpr const char* kServerSocketVariable = "KQ7120_SIM_SERVER";

// $XDG_RUNTIME_DIR/kq7120-sim/chassis.sock, or /tmp/kq7120-sim-<uid>/chassis.sock without it.
// The library uses the server there when one answers, else a chassis of its own.
std::string defaultServerSocket();

// A module operation found the server gone (or garbled). The VISA library reports it as
// VI_ERROR_CONN_LOST; every later operation on the served modules fails the same way.
class ChassisConnectionLost : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The server refused a request it understood (a module fault on its side).
class ChassisServerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace kqsim

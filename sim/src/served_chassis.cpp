#include "served_chassis.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>

#include "kqsim/chassis_link.h"
#include "remote_instrument.h"

namespace kqsim {

namespace {

std::shared_ptr<Mainframe> mainframeOf(const std::shared_ptr<ChassisConnection>& connection) {
    std::vector<MountedModule> modules = connection->modules();
    for (std::size_t i = 0; i < modules.size(); ++i) {
        modules[i].instrument = std::make_shared<RemoteInstrument>(connection, static_cast<std::uint16_t>(i));
    }
    return std::make_shared<Mainframe>(connection->interface(), std::move(modules));
}

void reportMissingServerOnce(const std::string& socketPath, const std::string& reason) {
    static std::once_flag reported;
    std::call_once(reported, [&] {
        std::cerr << "kq7120-sim: no chassis server answers at " << socketPath << " (" << reason
                  << "); no modules are available\n";
    });
}

}  // namespace

std::optional<ChassisChoice> servedChassis() {
    std::string error;
    const char* named = std::getenv(kServerSocketVariable);
    if (named != nullptr && *named != '\0') {
        auto connection = ChassisConnection::open(named, error);
        if (!connection) {
            reportMissingServerOnce(named, error);
            return ChassisChoice{std::make_shared<Mainframe>(ChassisConfig{}), nullptr, true};
        }
        return ChassisChoice{mainframeOf(connection), connection, false};
    }
    const std::string socketPath = defaultServerSocket();
    std::error_code ignored;
    if (!std::filesystem::exists(socketPath, ignored)) return std::nullopt;
    auto connection = ChassisConnection::open(socketPath, error);
    if (!connection) return std::nullopt;
    return ChassisChoice{mainframeOf(connection), connection, false};
}

}  // namespace kqsim

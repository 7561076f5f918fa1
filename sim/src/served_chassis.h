// Where the mainframe in use comes from: the chassis server when one is named or answers on the
// default socket, else a chassis of this process.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "chassis_connection.h"
#include "kqsim/mainframe.h"

namespace kqsim {

struct ChassisChoice {
    std::shared_ptr<Mainframe> mainframe;
    std::shared_ptr<ChassisConnection> connection;  // set when the mainframe is served
    // The named server did not answer: the mainframe is empty and the next use asks again.
    bool serverMissing = false;
};

// The served chassis: the server named by KQ7120_SIM_SERVER (an empty mainframe with
// serverMissing when it does not answer, the reason written to standard error once per process),
// or the one answering on the default socket. Nothing when no server is named and none answers.
std::optional<ChassisChoice> servedChassis();

// The mainframe in use with where it comes from (what currentMainframe() returns, and its server).
ChassisChoice currentChassis();

}  // namespace kqsim

// Fixture for the front panel tests: a simulated chassis, pop-up capture, a fresh program state,
// and short ways to read the panels.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kqsim/chassis_config.h"
#include "kqvisa/bus_trace.h"
#include "user_interface.h"

namespace sfptest {

kqsim::ModuleConfig module(kqsim::ModuleKind kind, std::uint16_t logicalAddress, std::uint16_t slot);
kqsim::ChassisConfig chassis(std::vector<kqsim::ModuleConfig> modules,
                             kqsim::Interface interface = kqsim::Interface::Vxi);

class FrontPanelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Start-up on the installed chassis (the default one unless a test installs another), with the
    // bus trace cleared afterwards.
    ViStatus start();
    // Ends what a start left (session, panels) and forgets the program state, for a test that starts
    // more than once.
    void startOver();
    static int mainPanel();

    static int intValue(int panel, const char* control);
    static double doubleValue(int panel, const char* control);
    static int attribute(int panel, const char* control, int attribute);
    static int panelDimmed(int panel);
    static std::vector<std::string> dimmedControls(int panel, const std::vector<const char*>& controls);
    // Titles and texts of the pop-ups so far, as "TITLE: text".
    static std::vector<std::string> popups();
    // Descriptors opened and resources closed on the bus since the trace was cleared.
    static std::vector<std::string> opened();
    static std::vector<std::string> closed();
};

}  // namespace sfptest

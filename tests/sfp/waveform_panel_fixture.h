// Fixture for the waveform panel tests: the front panel started on the default chassis with the
// simulated clock standing still, and short ways to operate and read the panels.
#pragma once

#include <string>
#include <vector>

#include "front_panel_fixture.h"
#include "kqsim/kq_module.h"
#include "kqsim/sim_clock.h"

namespace sfptest {

class WaveformPanelTest : public FrontPanelTest {
protected:
    void SetUp() override;

    // The KQ7120 the front panel opened at start-up.
    static kqsim::KqModule& module();
    static void pickMenu(const char* entry);
    static int menuDimmed(const char* entry);
    // "label = value" of every entry of a list.
    static std::vector<std::string> items(int panel, const char* list);
    // The pop-ups shown so far, without the file dialogs.
    static std::vector<std::string> messages();
    // Chooses `path` in the file dialog the button opens.
    static void chooseFile(int panel, const char* button, const std::string& path);
    // The output volts of a channel from `since` on, oldest first.
    static std::vector<double> outputSince(int channel, kqsim::SimClock::time_point since);

private:
    kqsim::ManualClockScope clock_;
};

}  // namespace sfptest

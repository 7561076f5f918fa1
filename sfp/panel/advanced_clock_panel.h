// The advanced clock dialog: the sample clock source (a radio group of five buttons, with the TTL
// line and the timer period beside theirs) and the clock edge, each change sent at once.
#pragma once

#include <array>

#include "kq7120.h"

namespace advanced_clock {

inline constexpr const char* kForm = "advanced_clock_panel.ui";
inline constexpr const char* kInternalButton = "ClockInternalButton";
inline constexpr const char* kExtClkButton = "ClockExtClkButton";
inline constexpr const char* kExtButton = "ClockExtButton";
inline constexpr const char* kTtlButton = "ClockTtlButton";
inline constexpr const char* kTimerButton = "ClockTimerButton";
inline constexpr std::array<const char*, 5> kSourceButtons = {kInternalButton, kExtClkButton, kExtButton,
                                                              kTtlButton, kTimerButton};
inline constexpr const char* kTtlLineSelector = "ClockTtlLineSelector";
inline constexpr const char* kTimerPeriodField = "TimerPeriodField";
inline constexpr const char* kSlopeSelector = "ClockSlopeSelector";
inline constexpr const char* kDoneButton = "AdvClockDoneButton";

}  // namespace advanced_clock

// The dialog's state: reloaded from the module at each opening, kept after closing.
struct AdvancedClockState {
    ViInt16 clockSource = 0;
    ViUInt16 clockSlope = 0;
    ViReal64 timerPeriod = 0.0;
};
AdvancedClockState& advancedClock();

void mnuSetAdvClock(int menuBar, const char* menuItem, int panel);
int AdvClockSelection(int panel, const char* control, int event, int eventData1, int* eventData2);
int AdvTrigline(int panel, const char* control, int event, int eventData1, int* eventData2);
int ClockSlope(int panel, const char* control, int event, int eventData1, int* eventData2);
int advClockDone(int panel, const char* control, int event, int eventData1, int* eventData2);

// Switches `button` on as the only source button (none for null), makes the TTL line selector or
// the timer period operable with their button, and returns the source code the button stands for:
// for the TTL button the line the selector shows.
ViInt16 SelectClockSource(int panel, const char* button);
// Sends the timer period when the timer is the chosen source.
void ApplyTimerPeriod(int panel);

// The dialog while it is up, else 0.
int advancedClockDialogPanel();

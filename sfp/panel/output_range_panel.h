// The output range dialog: each channel's range, sent at once, with the main panel's limits for
// that channel's level following it. It works on the front panel's own record, channelRange.
#pragma once

#include <array>

#include "kq7120.h"

namespace output_range {

inline constexpr const char* kForm = "output_range_panel.ui";
inline constexpr std::array<const char*, 16> kChannelRangeSelector = {
    "ChannelRangeSelector1",  "ChannelRangeSelector2",  "ChannelRangeSelector3",  "ChannelRangeSelector4",
    "ChannelRangeSelector5",  "ChannelRangeSelector6",  "ChannelRangeSelector7",  "ChannelRangeSelector8",
    "ChannelRangeSelector9",  "ChannelRangeSelector10", "ChannelRangeSelector11", "ChannelRangeSelector12",
    "ChannelRangeSelector13", "ChannelRangeSelector14", "ChannelRangeSelector15", "ChannelRangeSelector16",
};
inline constexpr const char* kDoneButton = "RangeDoneButton";

}  // namespace output_range

// Menu entry and main panel command: open the dialog.
void mnuSetVRange(int menuBar, const char* menuItem, int panel);
int SetVRange(int panel, const char* control, int event, int eventData1, int* eventData2);
int ChVoltageRange(int panel, const char* control, int event, int eventData1, int* eventData2);
int vrDone(int panel, const char* control, int event, int eventData1, int* eventData2);

// Applies one channel's range (index 0-15; 1 is ±10 V, anything else ±20 V) to the limits of its
// level on the main panel, then sends it to the module. The limits stay even when the module
// refuses; the status is returned, not shown.
ViStatus setSFPChannelRange(int channelIndex, ViInt32 range);

// The dialog while it is up, else 0.
int outputRangeDialogPanel();

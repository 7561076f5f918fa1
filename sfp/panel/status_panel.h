// The status panel: status byte and standard event status register with their bits, single and
// continuous polling, the three enable masks, and one entry of the error queue on demand.
#pragma once

#include <array>

namespace status_panel {

inline constexpr const char* kForm = "status_panel.ui";
inline constexpr const char* kStatusByteValue = "StatusByteValue";
inline constexpr const char* kEventRegisterValue = "EventRegisterValue";
inline constexpr std::array<const char*, 8> kStatusBit = {"StatusBit0", "StatusBit1", "StatusBit2",
                                                          "StatusBit3", "StatusBit4", "StatusBit5",
                                                          "StatusBit6", "StatusBit7"};
inline constexpr std::array<const char*, 8> kEventBit = {"EventBit0", "EventBit1", "EventBit2", "EventBit3",
                                                         "EventBit4", "EventBit5", "EventBit6", "EventBit7"};
inline constexpr const char* kContinuousPoll = "ContinuousPoll";
inline constexpr const char* kServiceRequestEnable = "ServiceRequestEnable";
inline constexpr const char* kEventStatusEnable = "EventStatusEnable";
inline constexpr const char* kOperationEnable = "OperationEnable";
inline constexpr const char* kErrorText = "ErrorText";
inline constexpr const char* kPollButton = "PollButton";
inline constexpr const char* kErrorQueryButton = "ErrorQueryButton";
inline constexpr const char* kDefaultButton = "DefaultButton";
inline constexpr const char* kMaskClearButton = "MaskClearButton";
inline constexpr const char* kMaskUpdateButton = "MaskUpdateButton";
inline constexpr const char* kDoneButton = "StatusDoneButton";
// Dimmed while the continuous poll runs.
inline constexpr std::array<const char*, 5> kPollDimmed = {kPollButton, kErrorQueryButton, kDefaultButton,
                                                           kMaskClearButton, kMaskUpdateButton};

inline constexpr int kSetBitColor = 0xFF0000;
inline constexpr int kClearBitColor = 0xA0A0A0;

}  // namespace status_panel

// Main panel command: opens the status panel.
int StatusPanel(int panel, const char* control, int event, int eventData1, int* eventData2);
int PollStatusQuery(int panel, const char* control, int event, int eventData1, int* eventData2);
int CpollStatusQuery(int panel, const char* control, int event, int eventData1, int* eventData2);
int ErrorQuery(int panel, const char* control, int event, int eventData1, int* eventData2);
int Default(int panel, const char* control, int event, int eventData1, int* eventData2);
int MaskClear(int panel, const char* control, int event, int eventData1, int* eventData2);
int MaskUpdate(int panel, const char* control, int event, int eventData1, int* eventData2);
int StatusDone(int panel, const char* control, int event, int eventData1, int* eventData2);

// Colours bit i of the two indicator rows from the status byte and the event register.
void ShowStatusBits(int panel, int statusByte, int eventRegister);

// The status panel while it is up, else 0.
int statusDialogPanel();

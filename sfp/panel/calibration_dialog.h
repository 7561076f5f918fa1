// The calibration dialog: the module's gain and zero constants per channel and range, edited in the
// program's tables and sent or stored through the password dialog.
#pragma once

#include <array>
#include <string>

#include "kq7120.h"

namespace calibration_layout {

inline constexpr const char* kForm = "calibration_panel.ui";
inline constexpr const char* kChannelField = "CalChannelField";
inline constexpr const char* kValueField = "CalValueField";
inline constexpr const char* kKindSelector = "CalKindSelector";
inline constexpr const char* kRangeSelector = "CalRangeSelector";
inline constexpr const char* kCountDisplay = "CalCountDisplay";
inline constexpr const char* kConstantsList = "CalConstantsList";
inline constexpr const char* kCalibrateButton = "CalibrateButton";
inline constexpr const char* kSaveButton = "SaveCalButton";
inline constexpr const char* kChangePasswordButton = "ChangePasswordButton";
inline constexpr const char* kCloseButton = "CalCloseButton";

}  // namespace calibration_layout

inline constexpr int kCalibrationRanges = 2;  // row 0: the 20 V range, row 1: the 10 V range
inline constexpr int kCalibrationChannels = 16;

struct CalibrationTables {
    std::array<std::array<ViInt16, kCalibrationChannels>, kCalibrationRanges> gain{};
    std::array<std::array<ViInt16, kCalibrationChannels>, kCalibrationRanges> offset{};
};

CalibrationTables& calibrationTables();
// The 64 constants in the module's order: gains of the 20 V then the 10 V range, then the offsets.
std::array<ViInt16, kq7120_CAL_DATA_SIZE> calibrationBlock(const CalibrationTables& tables);
// A constants list row: the channel, then the gain and the offset in columns.
std::string calibrationListRow(int channel, int gain, int offset);

// Opens the dialog over the main panel; true when it is shown.
bool CalibrationPanel(int panel);
void mnuSetCalibration(int menuBar, const char* menuItem, int panel);

int InputChannel(int panel, const char* control, int event, int eventData1, int* eventData2);
int InputData(int panel, const char* control, int event, int eventData1, int* eventData2);
int GainOffset(int panel, const char* control, int event, int eventData1, int* eventData2);
int CalVoltageRange(int panel, const char* control, int event, int eventData1, int* eventData2);
int ReviewTable(int panel, const char* control, int event, int eventData1, int* eventData2);
int CalCancel(int panel, const char* control, int event, int eventData1, int* eventData2);

void ShowCalConstant(int panel);
void FillCalConstantsList();

// The dialog while it is up, else 0.
int calibrationDialogPanel();

#include "calibration_dialog.h"

#include <algorithm>

#include "decimal_text.h"
#include "driver_status.h"
#include "front_panel_state.h"
#include "masked_entry.h"
#include "menu_groups.h"
#include "user_interface.h"

namespace cal = calibration_layout;

namespace {

int calPanel = 0;

// A table row for a range selection; anything but the 10 V range reads the 20 V row.
int rangeRow(ViInt32 range) { return range == kq7120_10VOLT_RANGE ? 1 : 0; }

int fieldValue(int panel, const char* control) {
    int value = 0;
    GetCtrlVal(panel, control, &value);
    return value;
}

// The channel in the channel field, kept within the module's channels.
int shownChannel(int panel) {
    return std::clamp(fieldValue(panel, cal::kChannelField), 1, static_cast<int>(frontPanel().channelCount));
}

int constantOf(int kind, int row, int channel) {
    const CalibrationTables& tables = calibrationTables();
    return kind == 0 ? tables.offset[row][channel - 1] : tables.gain[row][channel - 1];
}

// The value field shows the chosen kind of constant of `channel` in the range kept for it.
void showChannelConstant(int panel, int channel) {
    const int row = rangeRow(frontPanel().channelRange[channel - 1]);
    SetCtrlVal(panel, cal::kValueField, constantOf(fieldValue(panel, cal::kKindSelector), row, channel));
}

void insertRow(int channel, int row, bool replace) {
    const CalibrationTables& tables = calibrationTables();
    const std::string text =
        calibrationListRow(channel, tables.gain[row][channel - 1], tables.offset[row][channel - 1]);
    if (replace)
        ReplaceListItem(calPanel, cal::kConstantsList, channel - 1, text.c_str(), channel);
    else
        InsertListItem(calPanel, cal::kConstantsList, channel - 1, text.c_str(), channel);
}

}  // namespace

CalibrationTables& calibrationTables() {
    static CalibrationTables tables;
    return tables;
}

std::array<ViInt16, kq7120_CAL_DATA_SIZE> calibrationBlock(const CalibrationTables& tables) {
    std::array<ViInt16, kq7120_CAL_DATA_SIZE> block{};
    for (int row = 0; row < kCalibrationRanges; ++row)
        for (int column = 0; column < kCalibrationChannels; ++column) {
            block[row * kCalibrationChannels + column] = tables.gain[row][column];
            block[kq7120_ZERO_OFFSET_INDEX + row * kCalibrationChannels + column] =
                tables.offset[row][column];
        }
    return block;
}

std::string calibrationListRow(int channel, int gain, int offset) {
    return decimalText(channel) + "\033p100l" + decimalText(gain) + "\033p200l" + decimalText(offset);
}

void ShowCalConstant(int panel) {
    const int kind = fieldValue(panel, cal::kKindSelector);
    const int row = rangeRow(fieldValue(panel, cal::kRangeSelector));
    SetCtrlVal(panel, cal::kValueField, constantOf(kind, row, shownChannel(panel)));
    SetCtrlAttribute(panel, cal::kValueField, UI_ATTR_LABEL_TEXT, kind == 0 ? "Zero Value" : "Gain Value");
}

void FillCalConstantsList() {
    FrontPanelState& state = frontPanel();
    const int range = fieldValue(calPanel, cal::kRangeSelector);
    ClearListCtrl(calPanel, cal::kConstantsList);
    for (int channel = 1; channel <= state.channelCount; ++channel) {
        state.channelRange[channel - 1] = range;
        insertRow(channel, rangeRow(range), false);
    }
    SetCtrlIndex(calPanel, cal::kConstantsList, 0);
    SetCtrlVal(calPanel, cal::kValueField,
               constantOf(fieldValue(calPanel, cal::kKindSelector), rangeRow(range), 1));
}

bool CalibrationPanel(int) {
    FrontPanelState& state = frontPanel();
    ViInt16 buffer[kq7120_CAL_DATA_SIZE + 1] = {};
    const int panel = LoadPanel(state.mainPanel, cal::kForm);
    if (panel < 0) {
        MessagePopup("ERROR", "Error loading the Calibration Panel");
        return false;
    }
    calPanel = panel;
    const int keptRange = state.channelRange[shownChannel(panel) - 1];

    ViInt16 securityState = 0;
    ViInt32 count = 0;
    if (ShowDriverStatus(kq7120_calibrationQuery(state.instrHandle, &securityState, &count, buffer)) <
        VI_SUCCESS) {
        MessagePopup("Error", "Error querying calibration settings");
        DiscardPanel(calPanel);
        calPanel = 0;
        return false;
    }
    CalibrationTables& tables = calibrationTables();
    for (int row = 0; row < kCalibrationRanges; ++row)
        for (int column = 0; column < kCalibrationChannels; ++column) {
            tables.gain[row][column] = buffer[row * kCalibrationChannels + column];
            tables.offset[row][column] =
                buffer[kq7120_ZERO_OFFSET_INDEX + row * kCalibrationChannels + column];
        }

    // The selector shows the kept range before the list is filled from it, so list, value and
    // selector agree from the start.
    SetCtrlVal(panel, cal::kRangeSelector, rangeRow(keptRange));
    FillCalConstantsList();
    SetCtrlVal(panel, cal::kCountDisplay, static_cast<double>(count));
    SetCtrlAttribute(panel, cal::kChannelField, UI_ATTR_MAX_VALUE, static_cast<int>(state.channelCount));
    SetCtrlAttribute(panel, cal::kSaveButton, UI_ATTR_DIMMED, 1);
    SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, cal::kCloseButton);
    DisplayPanel(panel);
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 1);
    return true;
}

void mnuSetCalibration(int, const char*, int panel) {
    if (CalibrationPanel(panel)) DisableCfgMenu();
}

int InputChannel(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const int channel = shownChannel(panel);
    SetCtrlIndex(panel, cal::kConstantsList, channel - 1);
    showChannelConstant(panel, channel);
    return 0;
}

int InputData(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const int channel = shownChannel(panel);
    const int row = rangeRow(frontPanel().channelRange[channel - 1]);
    const auto value = static_cast<ViInt16>(std::clamp(fieldValue(panel, cal::kValueField), -32768, 32767));
    CalibrationTables& tables = calibrationTables();
    (fieldValue(panel, cal::kKindSelector) == 0 ? tables.offset : tables.gain)[row][channel - 1] = value;
    insertRow(channel, row, true);
    return 0;
}

int GainOffset(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) ShowCalConstant(panel);
    return 0;
}

int CalVoltageRange(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) {
        FillCalConstantsList();
        ShowCalConstant(panel);
    }
    return 0;
}

int ReviewTable(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_VAL_CHANGED) return 0;
    int index = -1;
    GetCtrlIndex(panel, control, &index);
    int channel = 0;
    if (index < 0 || GetValueFromIndex(panel, control, index, &channel) < 0) return 0;
    channel = std::clamp(channel, 1, static_cast<int>(frontPanel().channelCount));
    SetCtrlVal(panel, cal::kChannelField, channel);
    showChannelConstant(panel, channel);
    return 0;
}

int CalCancel(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    DiscardPanel(calPanel);
    calPanel = 0;
    passwordText().clear();
    newPasswordText().clear();
    SetPanelAttribute(frontPanel().mainPanel, UI_ATTR_DIMMED, 0);
    EnableCfgMenu();
    SetActivePanel(frontPanel().mainPanel);
    return 0;
}

int calibrationDialogPanel() { return IsPanelLoaded(calPanel) == 1 ? calPanel : 0; }

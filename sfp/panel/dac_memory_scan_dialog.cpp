#include "dac_memory_scan_dialog.h"

#include <algorithm>
#include <array>
#include <string>

#include "decimal_text.h"
#include "driver_status.h"
#include "front_panel_state.h"
#include "menu_groups.h"
#include "please_wait_panel.h"
#include "user_interface.h"
#include "visa_attribute.h"
#include "voltage_file.h"

namespace dsl = dac_scan_layout;

namespace {

constexpr int kScanListLength = kq7120_VOLTAGE_LIST_MAX;
// The two scan-list transfers of Apply move 512 values each way and need more than the usual
// I/O timeout.
constexpr ViAttrState kScanListTimeoutMs = 10000;

int dacScanPanel = 0;
std::array<ViReal32, kChannelControlCount> memoryArrayBuffer{};
std::array<ViReal32, kScanListLength> scanListBuffer{};

constexpr const char* kMemoryControls[] = {dsl::kMemoryChannelField, dsl::kMemoryVoltageField,
                                           dsl::kMemoryIndexField};
constexpr const char* kScanControls[] = {dsl::kScanChannelField, dsl::kScanModeSelector, dsl::kScanIndexField,
                                         dsl::kScanVoltageField, dsl::kScanPlot};

int intField(const char* control) {
    int value = 0;
    GetCtrlVal(dacScanPanel, control, &value);
    return value;
}

double doubleField(const char* control) {
    double value = 0.0;
    GetCtrlVal(dacScanPanel, control, &value);
    return value;
}

// Field values used as buffer positions, kept within the buffers whatever the fields hold.
int channelField(const char* control) {
    return std::clamp(intField(control), 1, static_cast<int>(frontPanel().channelCount));
}

int indexField(const char* control) {
    return std::clamp(intField(control), kq7120_INDEX_MIN, kq7120_INDEX_MAX);
}

template <std::size_t N>
void setDimmed(const char* const (&controls)[N], int dimmed) {
    for (const char* control : controls) SetCtrlAttribute(dacScanPanel, control, UI_ATTR_DIMMED, dimmed);
}

bool failed(ViStatus status, const char* title, const char* message) {
    if (ShowDriverStatus(status) >= VI_SUCCESS) return false;
    MessagePopup(title, message);
    return true;
}

// The plot follows the working copy; the limit is marked while the mode uses one.
void refreshPlot() {
    std::array<double, kScanListLength> values{};
    std::copy(scanListBuffer.begin(), scanListBuffer.end(), values.begin());
    PlotValues(dacScanPanel, dsl::kScanPlot, values.data(), kScanListLength);
    int limitDimmed = 1;
    GetCtrlAttribute(dacScanPanel, dsl::kScanLimitField, UI_ATTR_DIMMED, &limitDimmed);
    std::string label;
    GetCtrlAttribute(dacScanPanel, dsl::kScanLimitField, UI_ATTR_LABEL_TEXT, &label);
    SetGraphMarker(dacScanPanel, dsl::kScanPlot, limitDimmed == 0 ? intField(dsl::kScanLimitField) : 0.0,
                   label.c_str());
}

void showScanVoltage() {
    SetCtrlVal(dacScanPanel, dsl::kScanVoltageField,
               static_cast<double>(scanListBuffer[indexField(dsl::kScanIndexField) - 1]));
}

void showMemoryVoltage() {
    SetCtrlVal(dacScanPanel, dsl::kMemoryVoltageField,
               static_cast<double>(memoryArrayBuffer[channelField(dsl::kMemoryChannelField) - 1]));
}

void setLimitLabel(int mode) {
    if (mode == kq7120_SCAN_MODE_ON)
        SetCtrlAttribute(dacScanPanel, dsl::kScanLimitField, UI_ATTR_LABEL_TEXT, "Stop Point");
    else if (mode == kq7120_SCAN_MODE_LOOP)
        SetCtrlAttribute(dacScanPanel, dsl::kScanLimitField, UI_ATTR_LABEL_TEXT, "Wrap Point");
}

// The selector shows the module's mode; a mode it has no entry for (ARB, FIFO) shows as none.
void showMode(int mode) {
    if (SetCtrlVal(dacScanPanel, dsl::kScanModeSelector, mode) < 0)
        SetCtrlIndex(dacScanPanel, dsl::kScanModeSelector, -1);
}

bool queryLimit(ViInt16 channel) {
    ViInt16 limit = 0;
    if (failed(kq7120_queryScanLimit(frontPanel().instrHandle, channel, &limit), "ERROR",
               "Error querying the Scan Limit"))
        return false;
    SetCtrlVal(dacScanPanel, dsl::kScanLimitField, static_cast<int>(limit));
    return true;
}

void reloadMemoryView() {
    const auto index = static_cast<ViInt16>(indexField(dsl::kMemoryIndexField));
    if (failed(kq7120_queryDACMemoryArray(frontPanel().instrHandle, index, memoryArrayBuffer.data()), "ERROR",
               "Error querying the Memory Arrays"))
        return;
    SetCtrlVal(dacScanPanel, dsl::kMemoryChannelField, 1);
    showMemoryVoltage();
}

void reloadScanView() {
    const ViSession session = frontPanel().instrHandle;
    const auto channel = static_cast<ViInt16>(channelField(dsl::kScanChannelField));
    ViInt16 mode = 0;
    if (failed(kq7120_queryScanMode(session, channel, &mode), "ERROR", "Error querying the Scan Mode"))
        return;
    showMode(mode);
    setLimitLabel(mode);
    if (mode == kq7120_SCAN_MODE_ON || mode == kq7120_SCAN_MODE_LOOP) {
        SetCtrlAttribute(dacScanPanel, dsl::kScanLimitField, UI_ATTR_DIMMED, 0);
        if (!queryLimit(channel)) return;
    } else {
        SetCtrlAttribute(dacScanPanel, dsl::kScanLimitField, UI_ATTR_DIMMED, 1);
    }
    if (failed(kq7120_queryScanList(session, channel, kScanListLength, 1, scanListBuffer.data()), "ERROR",
               "Error querying the Scan List")) {
        refreshPlot();
        return;
    }
    SetCtrlVal(dacScanPanel, dsl::kScanIndexField, 1);
    showScanVoltage();
    refreshPlot();
}

bool memoryView() { return intField(dsl::kViewSwitch) == 1; }

// Raises the session's I/O timeout for one long transfer and puts the previous value back however
// the transfer ends. When the timeout cannot be read it is left alone.
class RaisedTimeout {
public:
    explicit RaisedTimeout(ViSession session) : session_(session) {
        raised_ = getVisaAttribute(session_, VI_ATTR_TMO_VALUE, &saved_) >= VI_SUCCESS;
        if (raised_) setVisaAttribute(session_, VI_ATTR_TMO_VALUE, kScanListTimeoutMs);
    }
    ~RaisedTimeout() {
        if (raised_) setVisaAttribute(session_, VI_ATTR_TMO_VALUE, saved_);
    }
    RaisedTimeout(const RaisedTimeout&) = delete;
    RaisedTimeout& operator=(const RaisedTimeout&) = delete;

private:
    ViSession session_;
    ViUInt32 saved_ = 0;
    bool raised_ = false;
};

void applyMemoryView() {
    const int wait = ShowPleaseWait("Configuring the Memory Arrays Parameters. Please Wait...");
    const ViSession session = frontPanel().instrHandle;
    const auto index = static_cast<ViInt16>(indexField(dsl::kMemoryIndexField));
    const bool done = !failed(kq7120_memorySetup(session, index, memoryArrayBuffer.data()), "Error",
                              "Error Configuring Memory Arrays") &&
                      !failed(kq7120_sourceVoltageSetup(session, index), "Error",
                              "Error loading the DACs voltages from memory arrays at specified index") &&
                      !failed(kq7120_queryDACMemoryArray(session, index, memoryArrayBuffer.data()), "ERROR",
                              "Error querying the Memory Arrays");
    if (done) showMemoryVoltage();
    ClosePleaseWait(wait);
    SetActivePanel(dacScanPanel);
}

bool applyScanList(ViSession session, ViInt16 channel) {
    ViStatus status = VI_SUCCESS;
    {
        const RaisedTimeout timeout(session);
        status = kq7120_setupScanList(session, channel, scanListBuffer.data(), kScanListLength);
    }
    if (failed(status, "Error", "Error Configuring Scan List")) return false;
    {
        const RaisedTimeout timeout(session);
        status = kq7120_queryScanList(session, channel, kScanListLength, 1, scanListBuffer.data());
    }
    return !failed(status, "ERROR", "Error querying the Scan List");
}

void applyScanView() {
    const int wait = ShowPleaseWait("Configuring the Scan List Array Parameters. Please Wait...");
    const ViSession session = frontPanel().instrHandle;
    const auto mode = static_cast<ViInt16>(intField(dsl::kScanModeSelector));
    const ViInt16 channel[1] = {static_cast<ViInt16>(channelField(dsl::kScanChannelField))};
    const auto limit = static_cast<ViInt16>(std::clamp(intField(dsl::kScanLimitField), -32768, 32767));
    const bool done =
        !failed(kq7120_setupScanMode(session, mode, channel, 1), "Error", "Error Configuring Scan Mode") &&
        !failed(kq7120_setupScanLimit(session, channel[0], limit), "Error", "Error Configuring Scan Limit") &&
        applyScanList(session, channel[0]);
    if (done) {
        showScanVoltage();
        refreshPlot();
    }
    ClosePleaseWait(wait);
    SetActivePanel(dacScanPanel);
}

void importValues() {
    std::string path;
    if (FileSelectPopup("", "*.txt", "*.txt;*.csv", "Import Voltages", "Import", 1, &path) != 1) return;
    const bool memory = memoryView();
    const std::size_t channels = static_cast<std::size_t>(frontPanel().channelCount);
    const VoltageFileResult read = memory ? readVoltageFile(path, channels, channels, "a memory array")
                                          : readVoltageFile(path, 1, kScanListLength, "a scan list");
    if (!read.error.empty()) {
        MessagePopup("ERROR", read.error.c_str());
        return;
    }
    // A scan list file may be shorter than the table: the entries after it keep their values.
    if (memory) {
        std::copy(read.values.begin(), read.values.end(), memoryArrayBuffer.begin());
        showMemoryVoltage();
    } else {
        std::copy(read.values.begin(), read.values.end(), scanListBuffer.begin());
        showScanVoltage();
        refreshPlot();
    }
}

void exportValues() {
    const bool memory = memoryView();
    const std::string number =
        decimalText(intField(memory ? dsl::kMemoryIndexField : dsl::kScanChannelField));
    const std::string name = (memory ? "memory-array-" : "scan-list-channel-") + number + ".txt";
    std::string path;
    if (FileSavePopup("", name.c_str(), "*.txt", "Export Voltages", &path) != 1) return;
    const bool written =
        memory ? writeVoltageFile(path, "Memory array " + number + ", one voltage per channel from channel 1",
                                  memoryArrayBuffer.data(), frontPanel().channelCount)
               : writeVoltageFile(path, "Scan list of channel " + number + ", entries 1 to 512",
                                  scanListBuffer.data(), scanListBuffer.size());
    if (!written) MessagePopup("ERROR", ("Cannot write " + path).c_str());
}

}  // namespace

bool ConfigDACVolt(int parent) {
    const int panel = LoadPanel(parent, dsl::kForm);
    if (panel < 0) {
        MessagePopup("ERROR", "Error loading the DAC Memory and Scan List Panel");
        return false;
    }
    dacScanPanel = panel;
    const FrontPanelState& state = frontPanel();
    SetCtrlAttribute(panel, dsl::kMemoryChannelField, UI_ATTR_MAX_VALUE,
                     static_cast<int>(state.channelCount));
    SetCtrlAttribute(panel, dsl::kScanChannelField, UI_ATTR_MAX_VALUE, static_cast<int>(state.channelCount));
    setDimmed(kScanControls, 1);
    if (failed(kq7120_queryDACMemoryArray(state.instrHandle, 1, memoryArrayBuffer.data()), "ERROR",
               "Error querying the Memory Arrays")) {
        DiscardPanel(panel);
        dacScanPanel = 0;
        return false;
    }
    SetCtrlVal(panel, dsl::kMemoryVoltageField, static_cast<double>(memoryArrayBuffer[0]));
    SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, dsl::kDoneButton);
    DisplayPanel(panel);
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 1);
    return true;
}

void mnuSetScanList(int, const char*, int panel) {
    if (ConfigDACVolt(panel)) DisableCfgMenu();
}

int MemoryScanCommand(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT && ConfigDACVolt(frontPanel().mainPanel)) DisableCfgMenu();
    return 0;
}

int SwitchMode(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    if (memoryView()) {
        setDimmed(kMemoryControls, 0);
        setDimmed(kScanControls, 1);
        SetCtrlAttribute(dacScanPanel, dsl::kScanLimitField, UI_ATTR_DIMMED, 1);
        reloadMemoryView();
    } else {
        setDimmed(kMemoryControls, 1);
        setDimmed(kScanControls, 0);
        reloadScanView();
    }
    return 0;
}

int MemoryIndex(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) reloadMemoryView();
    return 0;
}

int InputIndex(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) showMemoryVoltage();
    return 0;
}

int VoltIndex(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT)
        memoryArrayBuffer[channelField(dsl::kMemoryChannelField) - 1] =
            static_cast<ViReal32>(doubleField(dsl::kMemoryVoltageField));
    return 0;
}

int Channel(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) reloadScanView();
    return 0;
}

int ScanMode(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const ViSession session = frontPanel().instrHandle;
    const int chosen = intField(dsl::kScanModeSelector);
    ViInt16 current = 0;
    if (failed(kq7120_queryScanMode(session, static_cast<ViInt16>(channelField(dsl::kScanChannelField)),
                                    &current),
               "ERROR", "Error querying the Scan Mode"))
        return 0;
    if (chosen == kq7120_SCAN_MODE_ON && current == kq7120_SCAN_MODE_LOOP) {
        MessagePopup("ERROR", "Transition from LOOP(Wrapped) to ON(Normal) is prohibited");
        showMode(current);
        return 0;
    }
    if (chosen == kq7120_SCAN_MODE_LOOP && current == kq7120_SCAN_MODE_ON) {
        MessagePopup("ERROR", "Transition from ON(Normal) to LOOP(Wrapped) is prohibited");
        showMode(current);
        return 0;
    }
    if (chosen == kq7120_SCAN_MODE_OFF) {
        SetCtrlAttribute(dacScanPanel, dsl::kScanLimitField, UI_ATTR_DIMMED, 1);
        refreshPlot();
        return 0;
    }
    if (chosen != kq7120_SCAN_MODE_ON && chosen != kq7120_SCAN_MODE_LOOP) return 0;
    setLimitLabel(chosen);
    ViInt16 source = 0;
    ViUInt16 slope = 0;
    if (failed(kq7120_queryTriggerParams(session, &source, &slope), "ERROR",
               "Error querying the Trigger Parameters"))
        return 0;
    const bool triggerLine = source == kq7120_TRIG_SRC_EXT ||
                             (source >= kq7120_TRIG_SRC_TTLTRG0 && source <= kq7120_TRIG_SRC_TTLTRG7);
    if (!triggerLine) {
        MessagePopup("ERROR",
                     "Trigger source should be either TTLT0-7 or EXT for Scan Mode Normal or Wrapped");
        SetCtrlVal(dacScanPanel, dsl::kScanModeSelector, kq7120_SCAN_MODE_OFF);
        return 0;
    }
    SetCtrlAttribute(dacScanPanel, dsl::kScanLimitField, UI_ATTR_DIMMED, 0);
    if (queryLimit(static_cast<ViInt16>(channelField(dsl::kScanChannelField)))) refreshPlot();
    return 0;
}

int ScanLimit(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) refreshPlot();
    return 0;
}

int InputScanIndex(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) showScanVoltage();
    return 0;
}

int VoltScanIndex(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    scanListBuffer[indexField(dsl::kScanIndexField) - 1] =
        static_cast<ViReal32>(doubleField(dsl::kScanVoltageField));
    refreshPlot();
    return 0;
}

int ImportDacValues(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) importValues();
    return 0;
}

int ExportDacValues(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) exportValues();
    return 0;
}

int ConfigDACS(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    if (memoryView())
        applyMemoryView();
    else
        applyScanView();
    return 0;
}

int ConfigDACVoltDone(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    DiscardPanel(dacScanPanel);
    dacScanPanel = 0;
    SetPanelAttribute(frontPanel().mainPanel, UI_ATTR_DIMMED, 0);
    EnableCfgMenu();
    SetActivePanel(frontPanel().mainPanel);
    return 0;
}

int dacMemoryScanDialogPanel() { return IsPanelLoaded(dacScanPanel) == 1 ? dacScanPanel : 0; }

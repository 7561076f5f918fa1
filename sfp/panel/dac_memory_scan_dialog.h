// The DAC memory and scan list dialog: working copies of one memory array or one channel's scan
// list, edited value by value (or imported from a file) and sent to the module on Apply.
#pragma once

namespace dac_scan_layout {

inline constexpr const char* kForm = "dac_memory_scan_panel.ui";
inline constexpr const char* kViewSwitch = "MemoryScanSwitch";  // 1: memory view, 0: scan view
inline constexpr const char* kMemoryIndexField = "MemoryIndexField";
inline constexpr const char* kMemoryChannelField = "MemoryChannelField";
inline constexpr const char* kMemoryVoltageField = "MemoryVoltageField";
inline constexpr const char* kScanChannelField = "ScanChannelField";
inline constexpr const char* kScanModeSelector = "ScanModeSelector";
inline constexpr const char* kScanLimitField = "ScanLimitField";
inline constexpr const char* kScanIndexField = "ScanIndexField";
inline constexpr const char* kScanVoltageField = "ScanVoltageField";
inline constexpr const char* kScanPlot = "ScanPlot";
inline constexpr const char* kImportButton = "ImportButton";
inline constexpr const char* kExportButton = "ExportButton";
inline constexpr const char* kApplyButton = "DacScanApplyButton";
inline constexpr const char* kDoneButton = "DacScanDoneButton";

}  // namespace dac_scan_layout

// Opens the dialog as a child of `parent`; true when it is shown.
bool ConfigDACVolt(int parent);
void mnuSetScanList(int menuBar, const char* menuItem, int panel);
// The main panel's Memory / Scan command: the same as the menu entry.
int MemoryScanCommand(int panel, const char* control, int event, int eventData1, int* eventData2);

int SwitchMode(int panel, const char* control, int event, int eventData1, int* eventData2);
int MemoryIndex(int panel, const char* control, int event, int eventData1, int* eventData2);
int InputIndex(int panel, const char* control, int event, int eventData1, int* eventData2);
int VoltIndex(int panel, const char* control, int event, int eventData1, int* eventData2);
int Channel(int panel, const char* control, int event, int eventData1, int* eventData2);
int ScanMode(int panel, const char* control, int event, int eventData1, int* eventData2);
int ScanLimit(int panel, const char* control, int event, int eventData1, int* eventData2);
int InputScanIndex(int panel, const char* control, int event, int eventData1, int* eventData2);
int VoltScanIndex(int panel, const char* control, int event, int eventData1, int* eventData2);
int ImportDacValues(int panel, const char* control, int event, int eventData1, int* eventData2);
int ExportDacValues(int panel, const char* control, int event, int eventData1, int* eventData2);
int ConfigDACS(int panel, const char* control, int event, int eventData1, int* eventData2);
int ConfigDACVoltDone(int panel, const char* control, int event, int eventData1, int* eventData2);

// The dialog while it is up, else 0.
int dacMemoryScanDialogPanel();

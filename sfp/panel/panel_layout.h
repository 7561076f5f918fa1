// Names the program and its forms share: form files, control names, menu entries. The forms are
// Qt Designer files in the folder the program finds at start (form_directory.h).
#pragma once

#include <array>

namespace layout {

inline constexpr const char* kMainPanelForm = "main_panel.ui";
inline constexpr const char* kAboutPanelForm = "about_panel.ui";
inline constexpr const char* kConnectionPanelForm = "connection_panel.ui";
inline constexpr const char* kOutputViewForm = "output_view.ui";

// Main panel. Its title while no module is open; an open module's model and descriptor follow it.
inline constexpr const char* kMainPanelTitle = "KQ7120 Soft Front Panel";
inline constexpr std::array<const char*, 16> kChannelVoltage = {
    "ChannelVoltage1",  "ChannelVoltage2",  "ChannelVoltage3",  "ChannelVoltage4",
    "ChannelVoltage5",  "ChannelVoltage6",  "ChannelVoltage7",  "ChannelVoltage8",
    "ChannelVoltage9",  "ChannelVoltage10", "ChannelVoltage11", "ChannelVoltage12",
    "ChannelVoltage13", "ChannelVoltage14", "ChannelVoltage15", "ChannelVoltage16",
};
// Dimmed with the channels: the commands that open the instrument dialogs.
inline constexpr std::array<const char*, 6> kInstrumentCommands = {
    "TriggerButton", "OutputRangeButton", "MemoryScanButton",
    "ConsoleButton", "StatusButton",      "ArbExampleButton",
};
inline constexpr const char* kConnectedIndicator = "ConnectedIndicator";
inline constexpr const char* kSlotDisplay = "SlotDisplay";
inline constexpr const char* kErrorIndicator = "ErrorIndicator";
inline constexpr const char* kExitButton = "ExitButton";
inline constexpr const char* kSimulatedChassisNote = "SimulatedChassisNote";

// Main menu bar: the configuration group, dimmed while a configuration dialog is up, and the ARB
// entries. Entries a later dialog brings are dimmed and enabled once they are in the menu bar.
inline constexpr std::array<const char*, 8> kConfigurationMenuGroup = {
    "TriggerMenuEntry",       "OutputRangeMenuEntry",   "CalibrationMenuEntry", "ScanListMenuEntry",
    "AdvancedClockMenuEntry", "OutputTriggerMenuEntry", "FifoMenuEntry",        "SharedMenuEntry",
};
inline constexpr const char* kArbSegmentsEntry = "ArbSegmentsEntry";
inline constexpr const char* kArbSequenceEntry = "ArbSequenceEntry";
inline constexpr const char* kArbRunEntry = "ArbRunEntry";
inline constexpr const char* kSharedMenuEntry = "SharedMenuEntry";
inline constexpr const char* kSimulatedOutputsEntry = "SimulatedOutputsEntry";

// About panel.
inline constexpr const char* kDriverRevision = "DriverRevision";
inline constexpr const char* kVisaRevision = "VisaRevision";
inline constexpr const char* kHardwareRevision = "HardwareRevision";
inline constexpr const char* kInstrumentRevision = "InstrumentRevision";

// Connection dialog.
inline constexpr const char* kModuleList = "ModuleList";
inline constexpr const char* kIdQuery = "IdQuery";
inline constexpr const char* kResetOnOpen = "ResetOnOpen";
inline constexpr const char* kCancelButton = "CancelButton";

// Simulated outputs window; its channel boxes are the prefix and the channel number.
inline constexpr const char* kOutputViewModule = "ModuleRing";
inline constexpr const char* kOutputViewWindow = "WindowRing";
inline constexpr const char* kOutputViewChannelPrefix = "ShowChannel";
inline constexpr const char* kOutputViewPlot = "OutputPlot";
inline constexpr const char* kOutputViewStatus = "OutputViewStatus";
inline constexpr const char* kOutputViewCloseButton = "OutputViewCloseButton";

}  // namespace layout

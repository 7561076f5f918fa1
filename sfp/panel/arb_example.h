// The programming example: three ways of putting a generated waveform on the module (one call;
// driver calls and a register block; word-serial text after a reset), each followed by a loop that
// steps a second channel between two DC levels and re-arms the waveform on every pass.
#pragma once

#include <array>

namespace example_panel {

inline constexpr const char* kForm = "arb_example.ui";
inline constexpr const char* kArbChannel = "ArbChannel";
inline constexpr const char* kSampleCount = "SampleCount";
inline constexpr const char* kSamplePeriod = "SamplePeriod";
inline constexpr const char* kWaveShape = "WaveShape";
inline constexpr const char* kDcChannel = "DcChannel";
inline constexpr const char* kLoopCount = "LoopCount";
inline constexpr const char* kLoopPeriod = "LoopPeriod";
inline constexpr const char* kMarkerEnable = "MarkerEnable";
inline constexpr const char* kSegmentDwell = "SegmentDwell";
inline constexpr const char* kOutputVoltage = "OutputVoltage";
inline constexpr const char* kStopLoop = "StopLoop";
inline constexpr const char* kExitButton = "XmpExitButton";
// The three loads; dimmed while the DC loop runs so that no run starts inside another.
inline constexpr std::array<const char*, 3> kRunCommands = {"RunScpiButton", "RunDriverButton",
                                                            "RunWordSerialButton"};

}  // namespace example_panel

// Main panel command: opens the example panel.
int arb_example(int panel, const char* control, int event, int eventData1, int* eventData2);
int setArbChan(int panel, const char* control, int event, int eventData1, int* eventData2);
int setNumSmpl(int panel, const char* control, int event, int eventData1, int* eventData2);
int setSmplTime(int panel, const char* control, int event, int eventData1, int* eventData2);
int setArbFunc(int panel, const char* control, int event, int eventData1, int* eventData2);
int setDcvChan(int panel, const char* control, int event, int eventData1, int* eventData2);
int setNumLoop(int panel, const char* control, int event, int eventData1, int* eventData2);
int setLoopTime(int panel, const char* control, int event, int eventData1, int* eventData2);
int setMarkEna(int panel, const char* control, int event, int eventData1, int* eventData2);
int setSegDwell(int panel, const char* control, int event, int eventData1, int* eventData2);
int setOutVolt(int panel, const char* control, int event, int eventData1, int* eventData2);
int runScpi(int panel, const char* control, int event, int eventData1, int* eventData2);
int runDrvr(int panel, const char* control, int event, int eventData1, int* eventData2);
int runWser(int panel, const char* control, int event, int eventData1, int* eventData2);
int xmpExit(int panel, const char* control, int event, int eventData1, int* eventData2);

// The example panel while it is up, else 0.
int exampleDialogPanel();

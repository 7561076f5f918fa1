#include "arb_example.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>

#include "dialog_lifecycle.h"
#include "example_waveforms.h"
#include "front_panel_state.h"
#include "user_interface.h"

namespace ax = example_panel;

namespace {

int dialogPanel = 0;

// The example's settings, copied from the panel's controls; kept between runs.
struct ExampleSettings {
    ViInt16 arbChannel = 1;
    ViInt32 sampleCount = 2;
    double samplePeriod = 0.0001;
    ViInt16 waveShape = 0;
    ViInt16 dcChannel = 2;
    ViInt32 loopCount = 0;
    double loopPeriod = 0.0;
    int markerEnable = 0;
    double segmentDwell = 0.0;
    double outputVoltage = 0.0;
};

ExampleSettings settings;

// The SCPI example's buffer, and the other two examples' buffer.
constexpr std::size_t kScpiSamples = 1024;
constexpr std::size_t kRegisterSamples = 2048;

// What one load by driver calls puts where.
struct CallLoad {
    ViInt16 channel;
    ViInt32 samples;
    double period;
    ExampleShape shape;
    bool wordSerial;  // samples as text on the message channel, after a reset
};

int intValue(int panel, const char* control) {
    int value = 0;
    GetCtrlVal(panel, control, &value);
    return value;
}

double doubleValue(int panel, const char* control) {
    double value = 0.0;
    GetCtrlVal(panel, control, &value);
    return value;
}

ExampleShape shapeOf(ViInt16 value) {
    switch (value) {
        case 1:
            return ExampleShape::Ramp;
        case 2:
            return ExampleShape::Square;
        default:
            return ExampleShape::Sine;
    }
}

ViStatus loadByScpi() {
    std::array<ViInt16, kScpiSamples> buffer{};
    const auto count = static_cast<std::size_t>(std::clamp<ViInt32>(settings.sampleCount, 0, kScpiSamples));
    generateWaveform(shapeOf(settings.waveShape), std::span(buffer).first(count));
    return kq7120_arbScpi(frontPanel().instrHandle, static_cast<ViInt16>(count), buffer.data(),
                          settings.samplePeriod);
}

// The calls in order; the first failure ends the load.
ViStatus loadByCalls(const CallLoad& load) {
    std::array<ViInt16, kRegisterSamples> buffer{};
    const auto count = static_cast<std::size_t>(std::clamp<ViInt32>(load.samples, 0, kRegisterSamples));
    generateWaveform(load.shape, std::span(buffer).first(count));
    std::array<ViUInt16, kRegisterSamples> codes{};
    std::transform(buffer.begin(), buffer.end(), codes.begin(),
                   [](ViInt16 code) { return static_cast<ViUInt16>(code); });

    const ViSession handle = frontPanel().instrHandle;
    const ViInt16 channels[1] = {load.channel};
    const ViInt16 sequence[1] = {0};
    const auto size = static_cast<ViInt32>(count);
    const std::function<ViStatus()> steps[] = {
        [&] { return load.wordSerial ? kq7120_reset(handle) : VI_SUCCESS; },
        [&] { return kq7120_setupMarker(handle, kq7120_OFF, kq7120_SLOPE_POSITIVE); },
        [&] { return kq7120_configTriggerParams(handle, kq7120_TRIG_SRC_NONE, kq7120_SLOPE_POSITIVE); },
        [&] { return kq7120_setupDataFormat(handle, kq7120_FORMAT_SIGNED); },
        [&] { return kq7120_setupClock(handle, kq7120_ROSC_TIMER, kq7120_SLOPE_POSITIVE); },
        [&] { return kq7120_setupTimer(handle, load.period); },
        [&] { return kq7120_setupScanMode(handle, kq7120_SCAN_MODE_ARB, channels, 1); },
        [&] { return kq7120_arbDefineSegment(handle, 0, size); },
        [&] {
            return load.wordSerial ? kq7120_arbLoadText(handle, 0, load.channel, buffer.data(), size)
                                   : kq7120_arbLoadData(handle, 0, load.channel, codes.data(), size);
        },
        [&] { return kq7120_arbDefineSequence(handle, sequence, 1); },
        [&] {
            return kq7120_arbSetSeqParms(handle, 0, kq7120_SEQ_TRIG_START, kq7120_SEQ_TRIG_ADVANCE, 0,
                                         kq7120_SEQ_MARKER_OFF);
        },
        [&] { return kq7120_commandArb(handle, kq7120_INITIATE); },
    };
    for (const auto& step : steps)
        if (const ViStatus status = step(); status < VI_SUCCESS) return status;
    return VI_SUCCESS;
}

void dimRunCommands(int panel, int dim) {
    for (const char* command : ax::kRunCommands) SetCtrlAttribute(panel, command, UI_ATTR_DIMMED, dim);
}

// Steps the DC channel between -4096 and +4096 and re-arms the waveform on each pass, until the
// passes are done, StopLoop is pressed or the panel is closed; then stops the waveform.
void runDcLoop(int panel) {
    const ViSession handle = frontPanel().instrHandle;
    Delay(0.1);
    SetCtrlAttribute(panel, ax::kStopLoop, UI_ATTR_DIMMED, 0);
    dimRunCommands(panel, 1);
    const ViInt32 passes = settings.loopCount;
    for (ViInt32 pass = 0; pass < passes; ++pass) {
        const ViInt16 channel[1] = {settings.dcChannel};
        const ViInt16 code[1] = {static_cast<ViInt16>(pass % 2 == 0 ? -4096 : 4096)};
        kq7120_regModeDacWrt(handle, 1, channel, code, 0.01);
        int eventPanel = 0;
        std::string control;
        const int event = GetUserEvent(0, &eventPanel, &control);
        if (IsPanelLoaded(panel) == 0 ||
            (event == UI_EVENT_COMMIT && eventPanel == panel && control == ax::kStopLoop))
            break;
        kq7120_regModeArmArb(handle);
        Delay(settings.loopPeriod);
    }
    DiscardUserEvents();
    if (IsPanelLoaded(panel) == 1) {
        SetCtrlAttribute(panel, ax::kStopLoop, UI_ATTR_DIMMED, 1);
        dimRunCommands(panel, 0);
    }
    kq7120_commandArb(handle, kq7120_ABORT);
}

void copySettings(int panel) {
    settings.arbChannel = static_cast<ViInt16>(intValue(panel, ax::kArbChannel) + 1);
    settings.sampleCount = intValue(panel, ax::kSampleCount);
    settings.samplePeriod = doubleValue(panel, ax::kSamplePeriod);
    settings.waveShape = static_cast<ViInt16>(intValue(panel, ax::kWaveShape));
    settings.dcChannel = static_cast<ViInt16>(intValue(panel, ax::kDcChannel) + 1);
    settings.loopCount = intValue(panel, ax::kLoopCount);
    settings.loopPeriod = doubleValue(panel, ax::kLoopPeriod);
    settings.markerEnable = intValue(panel, ax::kMarkerEnable);
    settings.segmentDwell = doubleValue(panel, ax::kSegmentDwell);
    settings.outputVoltage = doubleValue(panel, ax::kOutputVoltage);
}

}  // namespace

int arb_example(int, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const int panel = loadDialog(ax::kForm, ax::kExitButton, "Error loading the Programming Example Panel");
    if (panel < 0) return 0;
    dialogPanel = panel;
    dimMainPanel(1);
    copySettings(panel);
    DisplayPanel(panel);
    return 0;
}

int setArbChan(int panel, const char* control, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) settings.arbChannel = static_cast<ViInt16>(intValue(panel, control) + 1);
    return 0;
}

int setNumSmpl(int panel, const char* control, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) settings.sampleCount = intValue(panel, control);
    return 0;
}

int setSmplTime(int panel, const char* control, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) settings.samplePeriod = doubleValue(panel, control);
    return 0;
}

int setArbFunc(int panel, const char* control, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) settings.waveShape = static_cast<ViInt16>(intValue(panel, control));
    return 0;
}

int setDcvChan(int panel, const char* control, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) settings.dcChannel = static_cast<ViInt16>(intValue(panel, control) + 1);
    return 0;
}

int setNumLoop(int panel, const char* control, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) settings.loopCount = intValue(panel, control);
    return 0;
}

int setLoopTime(int panel, const char* control, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) settings.loopPeriod = doubleValue(panel, control);
    return 0;
}

int setMarkEna(int panel, const char* control, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) settings.markerEnable = intValue(panel, control);
    return 0;
}

int setSegDwell(int panel, const char* control, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) settings.segmentDwell = doubleValue(panel, control);
    return 0;
}

int setOutVolt(int panel, const char* control, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) settings.outputVoltage = doubleValue(panel, control);
    return 0;
}

int runScpi(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    loadByScpi();
    runDcLoop(panel);
    return 0;
}

int runDrvr(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    loadByCalls({settings.arbChannel, settings.sampleCount, settings.samplePeriod,
                 shapeOf(settings.waveShape), false});
    runDcLoop(panel);
    return 0;
}

int runWser(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    // Fixed values, and the shapes in another order: 0 square, 1 sine, 2 ramp.
    constexpr ExampleShape shapes[] = {ExampleShape::Square, ExampleShape::Sine, ExampleShape::Ramp};
    const ExampleShape shape = settings.waveShape >= 0 && settings.waveShape <= 2 ? shapes[settings.waveShape]
                                                                                  : ExampleShape::Square;
    loadByCalls({1, 1000, 0.0001, shape, true});
    runDcLoop(panel);
    return 0;
}

int xmpExit(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) {
        dismissDialog(panel);
        dialogPanel = 0;
    }
    return 0;
}

int exampleDialogPanel() { return IsPanelLoaded(dialogPanel) == 1 ? dialogPanel : 0; }

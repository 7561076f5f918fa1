#include "fifo_panel.h"

#include <array>
#include <string>

#include "front_panel_state.h"
#include "module_error.h"
#include "panel_layout.h"
#include "user_interface.h"
#include "waveform_reading.h"

namespace {

constexpr const char* kFifoPanelForm = "fifo_panel.ui";
constexpr const char* kFifoMenuEntry = "FifoMenuEntry";
constexpr std::array<const char*, 16> kFifoChannelCheck = {
    "FifoChannelCheck1",  "FifoChannelCheck2",  "FifoChannelCheck3",  "FifoChannelCheck4",
    "FifoChannelCheck5",  "FifoChannelCheck6",  "FifoChannelCheck7",  "FifoChannelCheck8",
    "FifoChannelCheck9",  "FifoChannelCheck10", "FifoChannelCheck11", "FifoChannelCheck12",
    "FifoChannelCheck13", "FifoChannelCheck14", "FifoChannelCheck15", "FifoChannelCheck16",
};
constexpr const char* kNextButton = "FifoNextButton";
constexpr const char* kChannelSelector = "FifoChannelSelector";
constexpr const char* kFileButton = "FifoFileButton";
constexpr const char* kPathBox = "FifoPathBox";
constexpr const char* kAddButton = "FifoAddButton";
constexpr const char* kRemoveButton = "FifoRemoveButton";
constexpr const char* kFileList = "FifoFileList";
constexpr const char* kPreviewGraph = "FifoPreviewGraph";
constexpr const char* kDataFormatSelector = "FifoDataFormatSelector";
constexpr const char* kPeriodsField = "FifoPeriodsField";
constexpr const char* kProgressBar = "FifoProgressBar";
constexpr const char* kRunSwitch = "FifoRunSwitch";
constexpr const char* kCloseButton = "FifoCloseButton";

constexpr int kChannels = 16;
constexpr std::int32_t kFileBytes = 2000;  // 1000 samples per channel
constexpr std::size_t kChannelSamples = kFileBytes / 2;

struct FifoChannel {
    int enabled = 0;
    std::string path;
    std::vector<ViUInt16> samples = std::vector<ViUInt16>(kChannelSamples);
};

struct FifoState {
    int panel = 0;
    std::array<FifoChannel, kChannels> channels{};
    std::vector<ViInt16> channelList;  // enabled channels, ascending
    int samplesPerChannel = 0;         // of the last file read
    bool streaming = false;
    bool stopRequested = false;
};

FifoState& fifo() {
    static FifoState state;
    return state;
}

void InitializeFifoDefinitions() { fifo().channels = {}; }

// The controls an operator may not touch while the stream runs: everything but the Run switch.
std::vector<const char*> streamLockedControls() {
    std::vector<const char*> controls(kFifoChannelCheck.begin(), kFifoChannelCheck.end());
    for (const char* control : {kNextButton, kChannelSelector, kFileButton, kPathBox, kAddButton,
                                kRemoveButton, kFileList, kDataFormatSelector, kPeriodsField, kCloseButton})
        controls.push_back(control);
    return controls;
}

bool PrepareFifo() {
    FifoState& state = fifo();
    const ViSession instr = frontPanel().instrHandle;
    kq7120_setupScanMode(instr, kq7120_SCAN_MODE_ALL_OFF, nullptr, 0);
    kq7120_configTriggerParams(instr, kq7120_TRIG_SRC_NONE, kq7120_SLOPE_POSITIVE);

    state.channelList.clear();
    for (int i = 0; i < kChannels; ++i)
        if (state.channels[static_cast<std::size_t>(i)].enabled != 0)
            state.channelList.push_back(static_cast<ViInt16>(i + 1));
    if (const ViStatus status = kq7120_setupScanMode(instr, kq7120_SCAN_MODE_FIFO, state.channelList.data(),
                                                     static_cast<ViInt16>(state.channelList.size()));
        status < VI_SUCCESS) {
        showModuleError(status, "Failed entering FIFO mode");
        return false;
    }
    for (const ViInt16 channel : state.channelList) {
        FifoChannel& record = state.channels[static_cast<std::size_t>(channel - 1)];
        const int samples = readWaveformCodes(record.path, kFileBytes, &record.samples, MessagePopup);
        if (samples < 0) return false;
        state.samplesPerChannel = samples;
    }
    return true;
}

std::vector<ViUInt16> BuildFifoPeriod() {
    FifoState& state = fifo();
    std::vector<const std::vector<ViUInt16>*> channels;
    for (const ViInt16 channel : state.channelList)
        channels.push_back(&state.channels[static_cast<std::size_t>(channel - 1)].samples);
    return interleavePeriod(channels, static_cast<std::size_t>(state.samplesPerChannel));
}

// Lets the operator's Run switch through while the stream runs, and draws the progress.
void serviceOperator(long long sent, long long total) {
    const int panel = fifo().panel;
    SetProgress(panel, kProgressBar, sent, total);
    ProcessDrawEvents();
    int eventPanel = 0;
    std::string control;
    GetUserEvent(0, &eventPanel, &control);
}

void stream() {
    FifoState& state = fifo();
    const ViSession instr = frontPanel().instrHandle;
    const int panel = state.panel;
    int periods = 0;
    GetCtrlVal(panel, kPeriodsField, &periods);
    const std::vector<ViUInt16> period = BuildFifoPeriod();
    if (period.empty()) {
        MessagePopup("ERROR", "No waveform samples to stream.");
        return;
    }
    const auto periodWords = static_cast<std::int32_t>(period.size());
    const FifoStreamPlan plan = planFifoStream(periodWords, periods);
    std::vector<ViUInt16> block;
    block.reserve(static_cast<std::size_t>(periodWords * plan.periodsPerBlock));
    for (std::int64_t i = 0; i < plan.periodsPerBlock; ++i)
        block.insert(block.end(), period.begin(), period.end());

    const long long total = static_cast<long long>(periods) * periodWords;
    long long sent = 0;
    bool started = false;
    state.stopRequested = false;
    for (const char* control : streamLockedControls()) SetCtrlAttribute(panel, control, UI_ATTR_DIMMED, 1);
    SetProgress(panel, kProgressBar, 0, total);

    const auto send = [&](const std::vector<ViUInt16>& words) {
        kq7120_loadFIFO_Data(instr, words.data(), static_cast<ViInt32>(words.size()));
        if (!started) {
            kq7120_commandFifo(instr, kq7120_INITIATE);
            started = true;
        }
        sent += static_cast<long long>(words.size());
        serviceOperator(sent, total);
    };
    for (std::int64_t i = 0; i < plan.blocks && !state.stopRequested; ++i) send(block);
    for (std::int64_t i = 0; i < plan.singles && !state.stopRequested; ++i) send(period);

    if (IsPanelLoaded(panel) == 1) {
        for (const char* control : streamLockedControls())
            SetCtrlAttribute(panel, control, UI_ATTR_DIMMED, 0);
        // Channels 9-16 of a KQ7110 stay dimmed, as the panel opened.
        if (frontPanel().modelNumber == kq7120_KQ7110)
            for (int i = 8; i < kChannels; ++i)
                SetCtrlAttribute(panel, kFifoChannelCheck[static_cast<std::size_t>(i)], UI_ATTR_DIMMED, 1);
    }

    ViUInt16 status = 0;
    if (kq7120_GetFifoStatus(instr, &status) != VI_SUCCESS)
        MessagePopup("ERROR", "Failed fetching FIFO status.");
    else if ((status & kq7120_FIFO_UNDERRUN) != 0)
        MessagePopup("ERROR", "A FIFO Underrun occurred.");
    MessagePopup("FIFO", "Finished loading FIFO.");
}

int selectedListValue(int panel, const char* control, int* value) {
    int index = -1;
    GetCtrlIndex(panel, control, &index);
    if (index < 0) return -1;
    return GetValueFromIndex(panel, control, index, value);
}

}  // namespace

FifoStreamPlan planFifoStream(std::int32_t periodWords, std::int64_t periods) {
    FifoStreamPlan plan;
    plan.periodsPerBlock = kFifoBlockWords / periodWords;
    if (plan.periodsPerBlock > periods) {
        plan.periodsPerBlock = periods;
        plan.blocks = 1;
        return plan;
    }
    plan.blocks = periods / plan.periodsPerBlock;
    plan.singles = periods % plan.periodsPerBlock;
    return plan;
}

std::vector<ViUInt16> interleavePeriod(const std::vector<const std::vector<ViUInt16>*>& channels,
                                       std::size_t samplesPerChannel) {
    std::vector<ViUInt16> period;
    period.reserve(samplesPerChannel * channels.size());
    for (std::size_t k = 0; k < samplesPerChannel; ++k)
        for (const std::vector<ViUInt16>* samples : channels)
            period.push_back(k < samples->size() ? (*samples)[k] : 0);
    return period;
}

void LoadFifoPanel(int, const char*, int menuPanel) {
    InitializeFifoDefinitions();
    const int panel = LoadPanel(menuPanel, kFifoPanelForm);
    if (panel < 0) {
        MessagePopup("ERROR", "Error loading FIFO Panel");
        return;
    }
    FrontPanelState& state = frontPanel();
    fifo().panel = panel;
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 1);
    SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, kCloseButton);
    if (state.modelNumber == kq7120_KQ7110)
        for (int i = 8; i < kChannels; ++i)
            SetCtrlAttribute(panel, kFifoChannelCheck[static_cast<std::size_t>(i)], UI_ATTR_DIMMED, 1);
    for (const char* control :
         {kNextButton, kChannelSelector, kFileButton, kAddButton, kRemoveButton, kRunSwitch})
        SetCtrlAttribute(panel, control, UI_ATTR_DIMMED, 1);
    ViInt16 format = 0;
    kq7120_queryDataFormat(state.instrHandle, &format);
    SetCtrlVal(panel, kDataFormatSelector, static_cast<int>(format));
    DisplayPanel(panel);
    SetMenuBarAttribute(state.mainMenuBar, kFifoMenuEntry, UI_ATTR_DIMMED, 1);
    SetMenuBarAttribute(state.mainMenuBar, layout::kSharedMenuEntry, UI_ATTR_DIMMED, 1);
}

int FifoCheckBox(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_VAL_CHANGED) return 0;
    FifoState& state = fifo();
    for (int i = 0; i < kChannels; ++i)
        if (std::string_view(control) == kFifoChannelCheck[static_cast<std::size_t>(i)])
            GetCtrlVal(panel, control, &state.channels[static_cast<std::size_t>(i)].enabled);
    bool any = false;
    for (const FifoChannel& channel : state.channels) any = any || channel.enabled != 0;
    SetCtrlAttribute(panel, kNextButton, UI_ATTR_DIMMED, any ? 0 : 1);
    return 0;
}

int selectChNext(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    for (const char* control : {kChannelSelector, kFileButton, kAddButton, kRemoveButton})
        SetCtrlAttribute(panel, control, UI_ATTR_DIMMED, 0);
    FifoState& state = fifo();
    ClearListCtrl(panel, kChannelSelector);
    for (int i = 0; i < kChannels; ++i) {
        if (state.channels[static_cast<std::size_t>(i)].enabled == 0) continue;
        const std::string label = "Channel " + std::to_string(i + 1);
        InsertListItem(panel, kChannelSelector, -1, label.c_str(), i + 1);
    }
    SetCtrlIndex(panel, kChannelSelector, 0);
    ClearListCtrl(panel, kFileList);
    for (FifoChannel& channel : state.channels) channel.path.clear();
    return 0;
}

int GetFifoWave(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT)
        chooseWaveformFile(panel, kPathBox, kPreviewGraph, "Select Wavefrom File", kFileBytes);
    return 0;
}

int FifoAdd(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    int channel = 0;
    if (selectedListValue(panel, kChannelSelector, &channel) < 0 || channel < 1 || channel > kChannels)
        return 0;
    int count = 0;
    GetNumListItems(panel, kFileList, &count);
    for (int i = 0; i < count; ++i) {
        int value = 0;
        GetValueFromIndex(panel, kFileList, i, &value);
        if (value == channel) {
            MessagePopup("ERROR", "Attempt to add existing channel!  Remove first.");
            return 0;
        }
    }
    std::string path;
    GetCtrlVal(panel, kPathBox, &path);
    path = path.substr(0, path.find('\n'));
    FifoChannel& record = fifo().channels[static_cast<std::size_t>(channel - 1)];
    record.path = path.substr(0, kWaveformPathMax + 1);
    if (path.empty()) {
        MessagePopup("ERROR", "Invalid Pathname selected.");
        return 0;
    }
    int selected = -1;
    GetCtrlIndex(panel, kFileList, &selected);
    const int position = count == 0 ? 0 : selected + 1;
    const std::string label = std::to_string(channel) + "     " + record.path;
    InsertListItem(panel, kFileList, position, label.c_str(), channel);
    SetCtrlIndex(panel, kFileList, position);
    SetActiveCtrl(panel, kFileList);
    SetCtrlAttribute(panel, kRunSwitch, UI_ATTR_DIMMED, 0);
    return 0;
}

int FifoRemove(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    int count = 0;
    GetNumListItems(panel, kFileList, &count);
    int selected = -1;
    GetCtrlIndex(panel, kFileList, &selected);
    if (count == 0 || selected < 0) return 0;
    int channel = 0;
    GetValueFromIndex(panel, kFileList, selected, &channel);
    DeleteListItem(panel, kFileList, selected, 1);
    if (channel >= 1 && channel <= kChannels)
        fifo().channels[static_cast<std::size_t>(channel - 1)].path.clear();
    SetActiveCtrl(panel, kFileList);
    if (count == 1) SetCtrlAttribute(panel, kRunSwitch, UI_ATTR_DIMMED, 1);
    return 0;
}

int fifoDataFmt(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    int format = 0;
    GetCtrlVal(panel, control, &format);
    kq7120_setupDataFormat(frontPanel().instrHandle, static_cast<ViInt16>(format));
    return 0;
}

int fifoOperation(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    FifoState& state = fifo();
    int on = 0;
    GetCtrlVal(panel, control, &on);
    if (on == 0) {
        kq7120_commandFifo(frontPanel().instrHandle, kq7120_ABORT);
        state.stopRequested = true;
        return 0;
    }
    // Switched on again while a stream runs: that stream goes on.
    if (state.streaming) return 0;
    if (!PrepareFifo()) return 0;
    state.streaming = true;
    stream();
    state.streaming = false;
    return 0;
}

int ExitFifo(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    FrontPanelState& state = frontPanel();
    kq7120_commandFifo(state.instrHandle, kq7120_ABORT);
    kq7120_setupScanMode(state.instrHandle, kq7120_SCAN_MODE_ALL_OFF, nullptr, 0);
    // A close box used while a stream runs ends the stream too.
    fifo().stopRequested = true;
    DiscardPanel(panel);
    fifo().panel = 0;
    SetActivePanel(state.mainPanel);
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 0);
    SetMenuBarAttribute(state.mainMenuBar, kFifoMenuEntry, UI_ATTR_DIMMED, 0);
    SetMenuBarAttribute(state.mainMenuBar, layout::kSharedMenuEntry, UI_ATTR_DIMMED, 0);
    return 0;
}

int fifoPanel() { return IsPanelLoaded(fifo().panel) == 1 ? fifo().panel : 0; }

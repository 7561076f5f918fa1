#include "arb_segment_panel.h"

#include <array>
#include <string>
#include <string_view>

#include "arb_definition.h"
#include "front_panel_state.h"
#include "menu_groups.h"
#include "panel_layout.h"
#include "user_interface.h"
#include "waveform_reading.h"

namespace {

constexpr const char* kArbSegmentPanelForm = "arb_segment_panel.ui";
constexpr std::array<const char*, 16> kSegChannelCheck = {
    "SegChannelCheck1",  "SegChannelCheck2",  "SegChannelCheck3",  "SegChannelCheck4",
    "SegChannelCheck5",  "SegChannelCheck6",  "SegChannelCheck7",  "SegChannelCheck8",
    "SegChannelCheck9",  "SegChannelCheck10", "SegChannelCheck11", "SegChannelCheck12",
    "SegChannelCheck13", "SegChannelCheck14", "SegChannelCheck15", "SegChannelCheck16",
};
constexpr const char* kApplyChannelsButton = "SegApplyChannelsButton";
constexpr const char* kNumberField = "SegNumberField";
constexpr const char* kChannelList = "SegChannelList";
constexpr const char* kFileButton = "SegFileButton";
constexpr const char* kPathBox = "SegPathBox";
constexpr const char* kAddButton = "SegAddButton";
constexpr const char* kRemoveButton = "SegRemoveButton";
constexpr const char* kEntryList = "SegEntryList";
constexpr const char* kPreviewGraph = "SegPreviewGraph";
constexpr const char* kCloseButton = "SegCloseButton";

constexpr std::int32_t kFileBytes = 6000;  // the run panel's limit

int segmentPanel = 0;

bool anyChannelEnabled() {
    for (const int enabled : arbDefinition().channelEnabled)
        if (enabled != 0) return true;
    return false;
}

int FindSegment(int panel) {
    int number = 0;
    GetCtrlVal(panel, kNumberField, &number);
    const ArbDefinition& definition = arbDefinition();
    for (int i = 0; i < definition.segmentCount; ++i)
        if (definition.segments[static_cast<std::size_t>(i)].segmentNumber == number) return i;
    return definition.segmentCount;
}

void FillSegChannelList(int panel) {
    ClearListCtrl(panel, kChannelList);
    for (int i = 0; i < kArbChannels; ++i) {
        if (arbDefinition().channelEnabled[static_cast<std::size_t>(i)] == 0) continue;
        const int channel = i + 1;
        const std::string label = (channel < 10 ? "CH  " : "CH ") + std::to_string(channel);
        InsertListItem(panel, kChannelList, -1, label.c_str(), channel);
    }
    SetCtrlIndex(panel, kChannelList, 0);
}

void FillSegEntryList(int panel, const ArbSegment& segment) {
    for (int i = 0; i < segment.entryCount; ++i) {
        const ArbSegmentEntry& entry = segment.entries[static_cast<std::size_t>(i)];
        const std::string label = std::to_string(entry.channel) + "     " + entry.path;
        InsertListItem(panel, kEntryList, -1, label.c_str(), entry.channel);
    }
}

}  // namespace

void arbDefineSegment(int, const char*, int menuPanel) {
    InitializeArbDefinitions();
    const int panel = LoadPanel(menuPanel, kArbSegmentPanelForm);
    if (panel < 0) {
        MessagePopup("ERROR", "Error loading ARB Segment Management Panel");
        return;
    }
    segmentPanel = panel;
    FrontPanelState& state = frontPanel();
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 1);
    SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, kCloseButton);
    if (state.modelNumber == kq7120_KQ7110)
        for (std::size_t i = 8; i < kSegChannelCheck.size(); ++i)
            SetCtrlAttribute(panel, kSegChannelCheck[i], UI_ATTR_DIMMED, 1);
    for (std::size_t i = 0; i < kSegChannelCheck.size(); ++i)
        SetCtrlVal(panel, kSegChannelCheck[i], arbDefinition().channelEnabled[i]);
    SetCtrlAttribute(panel, kApplyChannelsButton, UI_ATTR_DIMMED, anyChannelEnabled() ? 0 : 1);
    for (const char* control : {kNumberField, kChannelList, kFileButton, kAddButton, kRemoveButton})
        SetCtrlAttribute(panel, control, UI_ATTR_DIMMED, 1);
    DisplayPanel(panel);
    DisableArbMenuItems();
}

int SegMgtCheckBox(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_VAL_CHANGED) return 0;
    for (std::size_t i = 0; i < kSegChannelCheck.size(); ++i)
        if (std::string_view(control) == kSegChannelCheck[i])
            GetCtrlVal(panel, control, &arbDefinition().channelEnabled[i]);
    SetCtrlAttribute(panel, kApplyChannelsButton, UI_ATTR_DIMMED, anyChannelEnabled() ? 0 : 1);
    return 0;
}

int ApplyScanArb(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    const auto channels = arbDefinition().channelEnabled;
    InitializeArbDefinitions();
    arbDefinition().channelEnabled = channels;
    for (const char* control : {kNumberField, kChannelList, kFileButton, kAddButton, kRemoveButton})
        SetCtrlAttribute(panel, control, UI_ATTR_DIMMED, 0);
    FillSegChannelList(panel);
    SetCtrlVal(panel, kNumberField, 0);
    ClearListCtrl(panel, kEntryList);
    return 0;
}

int ChgSegNbr(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_VAL_CHANGED) return 0;
    ClearListCtrl(panel, kEntryList);
    const int index = FindSegment(panel);
    if (index < arbDefinition().segmentCount)
        FillSegEntryList(panel, arbDefinition().segments[static_cast<std::size_t>(index)]);
    return 0;
}

int GetWaveformFile(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT)
        chooseWaveformFile(panel, kPathBox, kPreviewGraph, "Select Waveform File", kFileBytes);
    return 0;
}

int SegMgtAdd(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    ArbDefinition& definition = arbDefinition();
    const int index = FindSegment(panel);
    if (index == definition.segmentCount) {
        if (definition.segmentCount == kArbMaxSegments) {
            MessagePopup("ERROR", "Maximum segments is 17");
            return 0;
        }
        int number = 0;
        GetCtrlVal(panel, kNumberField, &number);
        definition.segments[static_cast<std::size_t>(index)] = ArbSegment{};
        definition.segments[static_cast<std::size_t>(index)].segmentNumber = number;
        ++definition.segmentCount;
    }
    ArbSegment& segment = definition.segments[static_cast<std::size_t>(index)];

    int selected = -1;
    int channel = 0;
    GetCtrlIndex(panel, kChannelList, &selected);
    if (selected < 0 || GetValueFromIndex(panel, kChannelList, selected, &channel) < 0) return 0;
    for (int i = 0; i < segment.entryCount; ++i) {
        if (segment.entries[static_cast<std::size_t>(i)].channel == channel) {
            MessagePopup("ERROR", "Attempt to add existing channel!  Remove first.");
            return 0;
        }
    }
    std::string path;
    GetCtrlVal(panel, kPathBox, &path);
    path = path.substr(0, path.find('\n')).substr(0, kWaveformPathMax + 1);
    const int position = segment.entryCount;
    segment.entries[static_cast<std::size_t>(position)] = {channel, path};
    ++segment.entryCount;

    const std::string label = (channel < 10 ? " " : "") + std::to_string(channel) + "  " + path;
    InsertListItem(panel, kEntryList, position, label.c_str(), channel);
    SetCtrlIndex(panel, kEntryList, position);
    SetActiveCtrl(panel, kEntryList);
    return 0;
}

int SegMgtRemove(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    ArbDefinition& definition = arbDefinition();
    const int index = FindSegment(panel);
    if (index == definition.segmentCount ||
        definition.segments[static_cast<std::size_t>(index)].entryCount == 0)
        return 0;
    ArbSegment& segment = definition.segments[static_cast<std::size_t>(index)];
    int selected = -1;
    int channel = 0;
    GetCtrlIndex(panel, kEntryList, &selected);
    if (selected < 0 || GetValueFromIndex(panel, kEntryList, selected, &channel) < 0) return 0;
    int entry = 0;
    while (entry < segment.entryCount && segment.entries[static_cast<std::size_t>(entry)].channel != channel)
        ++entry;
    if (entry == segment.entryCount) return 0;
    for (int i = entry; i + 1 < segment.entryCount; ++i)
        segment.entries[static_cast<std::size_t>(i)] = segment.entries[static_cast<std::size_t>(i + 1)];
    --segment.entryCount;
    segment.entries[static_cast<std::size_t>(segment.entryCount)] = ArbSegmentEntry{};

    int items = 0;
    GetNumListItems(panel, kEntryList, &items);
    DeleteListItem(panel, kEntryList, selected, 1);
    if (selected == items - 1 && items > 1) SetCtrlIndex(panel, kEntryList, items - 2);
    SetActiveCtrl(panel, kEntryList);

    if (segment.entryCount == 0) {
        for (int i = index; i + 1 < definition.segmentCount; ++i)
            definition.segments[static_cast<std::size_t>(i)] =
                definition.segments[static_cast<std::size_t>(i + 1)];
        --definition.segmentCount;
        definition.segments[static_cast<std::size_t>(definition.segmentCount)] = ArbSegment{};
    }
    return 0;
}

int defSegNext(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT && arbDefinition().segmentCount != 0)
        SetMenuBarAttribute(frontPanel().mainMenuBar, layout::kArbSequenceEntry, UI_ATTR_DIMMED, 0);
    return 0;
}

int ExitSegMgt(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    FrontPanelState& state = frontPanel();
    DiscardPanel(panel);
    segmentPanel = 0;
    SetActivePanel(state.mainPanel);
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 0);
    EnableArbMenuItems();
    return 0;
}

int arbSegmentPanel() { return IsPanelLoaded(segmentPanel) == 1 ? segmentPanel : 0; }

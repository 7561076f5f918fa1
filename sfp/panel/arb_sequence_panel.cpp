#include "arb_sequence_panel.h"

#include <string>
#include <string_view>

#include "arb_definition.h"
#include "front_panel_state.h"
#include "menu_groups.h"
#include "panel_layout.h"
#include "user_interface.h"

namespace {

constexpr const char* kArbSequencePanelForm = "arb_sequence_panel.ui";
constexpr const char* kSegmentList = "SeqSegmentList";
constexpr const char* kAppendButton = "SeqAppendButton";
constexpr const char* kStepList = "SeqStepList";
constexpr const char* kStartSelector = "SeqStartSelector";
constexpr const char* kAdvanceSelector = "SeqAdvanceSelector";
constexpr const char* kMarkerSwitch = "SeqMarkerSwitch";
constexpr const char* kRepeatField = "SeqRepeatField";
constexpr const char* kCloseButton = "SeqCloseButton";

int sequencePanel = 0;

ArbStep& step(int index) { return arbDefinition().steps[static_cast<std::size_t>(index)]; }

std::string stepLabel(int index, int segmentNumber) {
    return "Sequence(" + std::to_string(index) + ") --> Segment " + std::to_string(segmentNumber);
}

void ShowStep(int panel) {
    int selected = -1;
    GetCtrlIndex(panel, kStepList, &selected);
    if (selected < 0 || selected >= arbDefinition().stepCount) return;
    const ArbStep& shown = step(selected);
    SetCtrlVal(panel, kAdvanceSelector, shown.advance);
    SetCtrlVal(panel, kStartSelector, shown.start);
    SetCtrlVal(panel, kMarkerSwitch, shown.marker);
    SetCtrlVal(panel, kRepeatField, shown.repeat);
}

void RefreshStepList(int panel) {
    int selected = -1;
    GetCtrlIndex(panel, kStepList, &selected);
    ClearListCtrl(panel, kStepList);
    const int count = arbDefinition().stepCount;
    for (int i = 0; i < count; ++i)
        InsertListItem(panel, kStepList, -1, stepLabel(i, step(i).segmentNumber).c_str(),
                       step(i).segmentNumber);
    if (count != 0) {
        SetCtrlIndex(panel, kStepList, selected >= 0 && selected < count ? selected : 0);
        ShowStep(panel);
    }
}

void SetStepDefaults(int index) {
    ArbStep& fresh = step(index);
    fresh.start = 1;
    fresh.advance = 1;
    fresh.marker = 0;
    fresh.repeat = 1;
}

void InsertStep(int panel, const char* control) {
    ArbDefinition& definition = arbDefinition();
    int segmentIndex = -1;
    int segmentNumber = 0;
    GetCtrlIndex(panel, kSegmentList, &segmentIndex);
    if (segmentIndex < 0 || GetValueFromIndex(panel, kSegmentList, segmentIndex, &segmentNumber) < 0) return;
    int count = 0;
    int selected = -1;
    GetNumListItems(panel, kStepList, &count);
    GetCtrlIndex(panel, kStepList, &selected);
    int position = 0;
    if (count != 0)
        position = std::string_view(control) == kAppendButton ? selected + 1 : std::max(selected, 0);

    if (position >= count) {
        position = count;
        step(position).segmentNumber = segmentNumber;
        InsertListItem(panel, kStepList, position, stepLabel(position, segmentNumber).c_str(), segmentNumber);
        SetStepDefaults(position);
        ++definition.stepCount;
    } else {
        for (int i = definition.stepCount; i > position; --i) step(i) = step(i - 1);
        step(position).segmentNumber = segmentNumber;
        SetStepDefaults(position);
        ++definition.stepCount;
        RefreshStepList(panel);
    }
    SetCtrlIndex(panel, kStepList, position);
    SetActiveCtrl(panel, kStepList);
}

}  // namespace

void arbSeqPanel(int, const char*, int menuPanel) {
    const int panel = LoadPanel(menuPanel, kArbSequencePanelForm);
    if (panel < 0) {
        MessagePopup("ERROR", "Error loading ARB Sequence Management Panel");
        return;
    }
    sequencePanel = panel;
    FrontPanelState& state = frontPanel();
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 1);
    SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, kCloseButton);
    const ArbDefinition& definition = arbDefinition();
    for (int i = 0; i < definition.segmentCount; ++i) {
        const int number = definition.segments[static_cast<std::size_t>(i)].segmentNumber;
        InsertListItem(panel, kSegmentList, -1, std::to_string(number).c_str(), number);
    }
    SetCtrlIndex(panel, kSegmentList, 0);
    SetActiveCtrl(panel, kSegmentList);
    RefreshStepList(panel);
    DisplayPanel(panel);
    DisableArbMenuItems();
}

int seqAdd(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    if (arbDefinition().stepCount >= kArbMaxSteps) {
        MessagePopup("ERROR", ("Maximum sequences is " + std::to_string(kArbMaxSteps)).c_str());
        return 0;
    }
    InsertStep(panel, control);
    ShowStep(panel);
    return 0;
}

int seqRemove(int panel, const char*, int event, int, int*) {
    ArbDefinition& definition = arbDefinition();
    if (event != UI_EVENT_COMMIT || definition.stepCount == 0) return 0;
    int selected = -1;
    GetCtrlIndex(panel, kStepList, &selected);
    if (selected < 0 || selected >= definition.stepCount) return 0;
    for (int i = selected; i + 1 < definition.stepCount; ++i) step(i) = step(i + 1);
    --definition.stepCount;
    step(definition.stepCount) = ArbStep{};
    if (definition.stepCount == 0) {
        ClearListCtrl(panel, kStepList);
        return 0;
    }
    RefreshStepList(panel);
    SetCtrlIndex(panel, kStepList, std::min(selected, definition.stepCount - 1));
    ShowStep(panel);
    return 0;
}

int seqSetParms(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    int selected = -1;
    GetCtrlIndex(panel, kStepList, &selected);
    if (selected < 0 || selected >= arbDefinition().stepCount) return 0;
    ArbStep& changed = step(selected);
    const std::string_view name(control);
    int* field = name == kStartSelector     ? &changed.start
                 : name == kAdvanceSelector ? &changed.advance
                 : name == kMarkerSwitch    ? &changed.marker
                 : name == kRepeatField     ? &changed.repeat
                                            : nullptr;
    if (field != nullptr) GetCtrlVal(panel, control, field);
    return 0;
}

int seqListSelect(int panel, const char*, int event, int, int*) {
    if (event == UI_EVENT_VAL_CHANGED) ShowStep(panel);
    return 0;
}

int seqExit(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    FrontPanelState& state = frontPanel();
    if (arbDefinition().stepCount != 0)
        SetMenuBarAttribute(state.mainMenuBar, layout::kArbRunEntry, UI_ATTR_DIMMED, 0);
    DiscardPanel(panel);
    sequencePanel = 0;
    SetActivePanel(state.mainPanel);
    SetPanelAttribute(state.mainPanel, UI_ATTR_DIMMED, 0);
    EnableArbMenuItems();
    return 0;
}

int arbSequencePanel() { return IsPanelLoaded(sequencePanel) == 1 ? sequencePanel : 0; }

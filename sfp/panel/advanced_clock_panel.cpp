#include "advanced_clock_panel.h"

#include <cstring>

#include "dialog_lifecycle.h"
#include "front_panel_state.h"
#include "menu_groups.h"
#include "user_interface.h"

namespace ac = advanced_clock;

namespace {

int advClockPanel = 0;

bool is(const char* name, const char* wanted) { return name != nullptr && std::strcmp(name, wanted) == 0; }

const char* buttonFor(ViInt16 source) {
    if (source >= kq7120_ROSC_TTLTRG0 && source <= kq7120_ROSC_TTLTRG7) return ac::kTtlButton;
    switch (source) {
        case kq7120_ROSC_INTERNAL:
            return ac::kInternalButton;
        case kq7120_ROSC_EXT:
            return ac::kExtButton;
        case kq7120_ROSC_EXTCLK:
            return ac::kExtClkButton;
        case kq7120_ROSC_TIMER:
            return ac::kTimerButton;
        default:
            return nullptr;
    }
}

}  // namespace

AdvancedClockState& advancedClock() {
    static AdvancedClockState state;
    return state;
}

ViInt16 SelectClockSource(int panel, const char* button) {
    for (const char* source : ac::kSourceButtons) SetCtrlVal(panel, source, 0);
    SetCtrlAttribute(panel, ac::kTtlLineSelector, UI_ATTR_DIMMED, 1);
    SetCtrlAttribute(panel, ac::kTimerPeriodField, UI_ATTR_DIMMED, 1);
    ViInt16 source = 0;
    if (is(button, ac::kInternalButton)) {
        source = kq7120_ROSC_INTERNAL;
    } else if (is(button, ac::kExtClkButton)) {
        source = kq7120_ROSC_EXTCLK;
    } else if (is(button, ac::kExtButton)) {
        source = kq7120_ROSC_EXT;
    } else if (is(button, ac::kTtlButton)) {
        SetCtrlAttribute(panel, ac::kTtlLineSelector, UI_ATTR_DIMMED, 0);
        int line = 0;
        GetCtrlVal(panel, ac::kTtlLineSelector, &line);
        source = static_cast<ViInt16>(line);
    } else if (is(button, ac::kTimerButton)) {
        source = kq7120_ROSC_TIMER;
        SetCtrlAttribute(panel, ac::kTimerPeriodField, UI_ATTR_DIMMED, 0);
    }
    if (button != nullptr) SetCtrlVal(panel, button, 1);
    return source;
}

void ApplyTimerPeriod(int panel) {
    int dimmed = 1;
    GetCtrlAttribute(panel, ac::kTimerPeriodField, UI_ATTR_DIMMED, &dimmed);
    if (dimmed != 0) return;
    AdvancedClockState& state = advancedClock();
    GetCtrlVal(panel, ac::kTimerPeriodField, &state.timerPeriod);
    kq7120_setupTimer(frontPanel().instrHandle, state.timerPeriod);
}

void mnuSetAdvClock(int, const char*, int) {
    AdvancedClockState& state = advancedClock();
    const ViSession handle = frontPanel().instrHandle;
    kq7120_queryClockParms(handle, &state.clockSource, &state.clockSlope);
    const char* button = buttonFor(state.clockSource);
    const int panel = loadDialog(ac::kForm, ac::kDoneButton, "Error loading the Voltage Advance Clock Panel");
    if (panel < 0) return;
    advClockPanel = panel;
    kq7120_queryTimer(handle, &state.timerPeriod);
    SetCtrlVal(panel, ac::kTimerPeriodField, state.timerPeriod);
    // The TTL button's selector shows the line the module uses.
    if (state.clockSource >= kq7120_ROSC_TTLTRG0 && state.clockSource <= kq7120_ROSC_TTLTRG7)
        SetCtrlVal(panel, ac::kTtlLineSelector, static_cast<int>(state.clockSource));
    SelectClockSource(panel, button);
    SetCtrlVal(panel, ac::kSlopeSelector, static_cast<int>(state.clockSlope));
    dimMainPanel(1);
    DisplayPanel(panel);
    DisableCfgMenu();
}

int AdvClockSelection(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    AdvancedClockState& state = advancedClock();
    state.clockSource = SelectClockSource(panel, control);
    kq7120_setupClock(frontPanel().instrHandle, state.clockSource, state.clockSlope);
    return 0;
}

int AdvTrigline(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_VAL_CHANGED) return 0;
    AdvancedClockState& state = advancedClock();
    int line = 0;
    GetCtrlVal(panel, control, &line);
    state.clockSource = static_cast<ViInt16>(line);
    kq7120_setupClock(frontPanel().instrHandle, state.clockSource, state.clockSlope);
    return 0;
}

int ClockSlope(int panel, const char* control, int event, int, int*) {
    if (event != UI_EVENT_VAL_CHANGED) return 0;
    AdvancedClockState& state = advancedClock();
    int slope = 0;
    GetCtrlVal(panel, control, &slope);
    state.clockSlope = static_cast<ViUInt16>(slope);
    kq7120_setupClock(frontPanel().instrHandle, state.clockSource, state.clockSlope);
    return 0;
}

int advClockDone(int panel, const char*, int event, int, int*) {
    if (event != UI_EVENT_COMMIT) return 0;
    ApplyTimerPeriod(panel);
    dismissDialog(panel);
    advClockPanel = 0;
    EnableCfgMenu();
    return 0;
}

int advancedClockDialogPanel() { return IsPanelLoaded(advClockPanel) == 1 ? advClockPanel : 0; }

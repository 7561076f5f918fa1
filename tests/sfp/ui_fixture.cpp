#include "ui_fixture.h"

#include <array>

#include "qt_application.h"
#include "ui_popup_capture.h"

namespace sfptest {

namespace {

int Record(int panel, const char* control, int event, int data1, int* data2) {
    Recorder& r = recorder();
    r.events.push_back({panel, control, event, data1});
    if (event == UI_EVENT_KEYPRESS) {
        if (data1 == r.swallowKey) return 1;
        if (data1 == r.rewriteFrom) *data2 = r.rewriteTo;
    }
    if ((event == UI_EVENT_LEFT_CLICK || event == UI_EVENT_LEFT_DOUBLE_CLICK) && r.swallowClicks) return 1;
    if (event == UI_EVENT_COMMIT && r.discardOnCommit == control) DiscardPanel(panel);
    return 0;
}

int PanelClicked(int panel, int event) {
    if (event == UI_EVENT_LEFT_CLICK) recorder().panelClicks.push_back(panel);
    if (event == UI_EVENT_CLOSE) recorder().panelCloses.push_back(panel);
    return 0;
}

void MenuPicked(int menuBar, const char* item, int panel) {
    recorder().menuPicks.push_back({menuBar, item, panel});
}

const std::array<UiCallback, 3> kCallbacks = {{
    {"Record", ControlCallback{Record}},
    {"PanelClicked", PanelCallback{PanelClicked}},
    {"MenuPicked", MenuCallback{MenuPicked}},
}};

}  // namespace

Recorder& recorder() {
    static Recorder instance;
    return instance;
}

void UiLayerTest::SetUp() {
    recorder() = Recorder{};
    SetCallbackTable(kCallbacks);
    SetFormDirectory(SFP_TEST_FORM_DIR);
    SetPopupCapture(true);
    ClearCapturedPopups();
}

void UiLayerTest::TearDown() {
    // Panels a test discarded itself (or with their parent) are gone already.
    for (const int panel : panels_)
        if (IsPanelLoaded(panel) == 1) DiscardPanel(panel);
    finishDiscards();
}

int UiLayerTest::show(const char* form, int parent) {
    const int panel = LoadPanel(parent, form);
    EXPECT_GT(panel, 0) << form;
    if (panel > 0) {
        panels_.push_back(panel);
        DisplayPanel(panel);
    }
    return panel;
}

std::vector<ControlEvent> UiLayerTest::eventsOf(const std::string& control) const {
    std::vector<ControlEvent> selected;
    for (const ControlEvent& event : recorder().events)
        if (event.control == control) selected.push_back(event);
    return selected;
}

}  // namespace sfptest

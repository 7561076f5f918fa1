#include "front_panel_fixture.h"

#include "arb_definition.h"
#include "front_panel_state.h"
#include "kqsim/mainframe.h"
#include "kqvisa/fault_injection.h"
#include "qt_application.h"
#include "startup.h"
#include "ui_popup_capture.h"

namespace sfptest {

kqsim::ModuleConfig module(kqsim::ModuleKind kind, std::uint16_t logicalAddress, std::uint16_t slot) {
    return {.kind = kind, .logicalAddress = logicalAddress, .slot = slot};
}

kqsim::ChassisConfig chassis(std::vector<kqsim::ModuleConfig> modules, kqsim::Interface interface) {
    return {.interface = interface, .modules = std::move(modules)};
}

void FrontPanelTest::SetUp() {
    frontPanel() = FrontPanelState{};
    arbDefinition() = ArbDefinition{};
    SetPopupCapture(true);
    ClearCapturedPopups();
    kqvisa::resetFaults();
    kqsim::installChassis(kqsim::defaultChassis());
    kqvisa::clearTrace();
}

void FrontPanelTest::TearDown() {
    FrontPanelState& state = frontPanel();
    if (state.instrHandle != 0) kq7120_close(state.instrHandle);
    if (IsPanelLoaded(state.mainPanel) == 1) DiscardPanel(state.mainPanel);
    // A quit that a test's Exit asked for must not end a later test's event loop.
    QuitUserInterface(0);
    RunUserInterface();
    kqvisa::resetFaults();
    finishDiscards();
}

ViStatus FrontPanelTest::start() {
    const ViStatus status = StartFrontPanel();
    kqvisa::clearTrace();
    return status;
}

void FrontPanelTest::startOver() {
    TearDown();
    frontPanel() = FrontPanelState{};
    ClearCapturedPopups();
}

int FrontPanelTest::mainPanel() { return frontPanel().mainPanel; }

int FrontPanelTest::intValue(int panel, const char* control) {
    int value = -12345;
    EXPECT_EQ(GetCtrlVal(panel, control, &value), UI_SUCCESS) << control;
    return value;
}

double FrontPanelTest::doubleValue(int panel, const char* control) {
    double value = -12345.0;
    EXPECT_EQ(GetCtrlVal(panel, control, &value), UI_SUCCESS) << control;
    return value;
}

int FrontPanelTest::attribute(int panel, const char* control, int attribute) {
    int value = -12345;
    EXPECT_EQ(GetCtrlAttribute(panel, control, attribute, &value), UI_SUCCESS) << control;
    return value;
}

int FrontPanelTest::panelDimmed(int panel) {
    int value = -12345;
    EXPECT_EQ(GetPanelAttribute(panel, UI_ATTR_DIMMED, &value), UI_SUCCESS);
    return value;
}

std::vector<std::string> FrontPanelTest::dimmedControls(int panel, const std::vector<const char*>& controls) {
    std::vector<std::string> dimmed;
    for (const char* control : controls)
        if (attribute(panel, control, UI_ATTR_DIMMED) == 1) dimmed.emplace_back(control);
    return dimmed;
}

std::vector<std::string> FrontPanelTest::popups() {
    std::vector<std::string> shown;
    for (const CapturedPopup& popup : CapturedPopups()) shown.push_back(popup.title + ": " + popup.text);
    return shown;
}

std::vector<std::string> FrontPanelTest::opened() {
    std::vector<std::string> descriptors;
    for (const kqvisa::TraceRecord& record : kqvisa::trace())
        if (record.op == kqvisa::Op::Open) descriptors.push_back(record.data);
    return descriptors;
}

std::vector<std::string> FrontPanelTest::closed() {
    std::vector<std::string> resources;
    for (const kqvisa::TraceRecord& record : kqvisa::trace())
        if (record.op == kqvisa::Op::Close && !record.resource.empty()) resources.push_back(record.resource);
    return resources;
}

}  // namespace sfptest

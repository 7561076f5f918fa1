#include "waveform_panel_fixture.h"

#include "front_panel_state.h"
#include "kqsim/mainframe.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"

namespace sfptest {

void WaveformPanelTest::SetUp() {
    FrontPanelTest::SetUp();
    ASSERT_EQ(start(), VI_SUCCESS);
}

kqsim::KqModule& WaveformPanelTest::module() {
    return dynamic_cast<kqsim::KqModule&>(*kqsim::currentMainframe()->find(0, 24)->instrument);
}

void WaveformPanelTest::pickMenu(const char* entry) {
    ASSERT_EQ(OperateMenuItem(frontPanel().mainMenuBar, entry), UI_SUCCESS) << entry;
}

int WaveformPanelTest::menuDimmed(const char* entry) {
    int dimmed = -1;
    EXPECT_EQ(GetMenuBarAttribute(frontPanel().mainMenuBar, entry, UI_ATTR_DIMMED, &dimmed), UI_SUCCESS);
    return dimmed;
}

std::vector<std::string> WaveformPanelTest::items(int panel, const char* list) {
    int count = 0;
    GetNumListItems(panel, list, &count);
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i) {
        std::string label;
        int value = -1;
        GetLabelFromIndex(panel, list, i, &label);
        GetValueFromIndex(panel, list, i, &value);
        entries.push_back(label + " = " + std::to_string(value));
    }
    return entries;
}

std::vector<std::string> WaveformPanelTest::messages() {
    std::vector<std::string> shown;
    for (const CapturedPopup& popup : CapturedPopups())
        if (popup.text != "file selection") shown.push_back(popup.title + ": " + popup.text);
    return shown;
}

void WaveformPanelTest::chooseFile(int panel, const char* button, const std::string& path) {
    QueueFileSelection(path);
    ASSERT_EQ(OperateCommit(panel, button), UI_SUCCESS);
}

std::vector<double> WaveformPanelTest::outputSince(int channel, kqsim::SimClock::time_point since) {
    std::vector<double> volts;
    for (const kqsim::OutputSample& sample : module().recentOutput(channel))
        if (sample.time >= since) volts.push_back(sample.volts);
    return volts;
}

}  // namespace sfptest

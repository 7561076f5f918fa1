// The status panel: bit colours, masks, the error query, and continuous polling with its two ends.
#include "status_panel.h"

#include <gmock/gmock.h>

#include <QTimer>
#include <algorithm>

#include "dialog_test_support.h"
#include "front_panel_fixture.h"
#include "front_panel_state.h"
#include "kqvisa/fault_injection.h"
#include "panel_layout.h"
#include "ui_operator.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace sp = status_panel;

class StatusPanelTest : public FrontPanelTest {
protected:
    int open() {
        EXPECT_EQ(start(), VI_SUCCESS);
        EXPECT_EQ(OperateCommit(mainPanel(), "StatusButton"), UI_SUCCESS);
        return statusDialogPanel();
    }
    // The colours of bits 0-7 of one row.
    static std::vector<int> colours(int panel, const std::array<const char*, 8>& bits) {
        std::vector<int> shown;
        for (const char* bit : bits) shown.push_back(attribute(panel, bit, UI_ATTR_TEXT_COLOR));
        return shown;
    }
    static long polls() { return std::ranges::count(commandsSent(), std::string("*STB?")); }
};

constexpr int R = sp::kSetBitColor;
constexpr int G = sp::kClearBitColor;

TEST_F(StatusPanelTest, APollShowsBothRegistersAndColoursTheirBits) {
    const int panel = open();
    ASSERT_GT(panel, 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    EXPECT_THAT(colours(panel, sp::kStatusBit), ElementsAre(G, G, G, G, G, G, G, G));
    EXPECT_THAT(colours(panel, sp::kEventBit), ElementsAre(G, G, G, G, G, G, G, G));

    kqvisa::scriptReply("*STB?", "33\n");
    kqvisa::scriptReply("*ESR?", "129\n", "", -1);  // the error checks read it too: no error bits
    OperateCommit(panel, sp::kPollButton);
    EXPECT_EQ(intValue(panel, sp::kStatusByteValue), 33);
    EXPECT_EQ(intValue(panel, sp::kEventRegisterValue), 129);
    EXPECT_THAT(colours(panel, sp::kStatusBit), ElementsAre(R, G, G, G, G, R, G, G));
    EXPECT_THAT(colours(panel, sp::kEventBit), ElementsAre(R, G, G, G, G, G, G, R));
    kqvisa::resetFaults();

    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_IO);
    OperateCommit(panel, sp::kPollButton);
    EXPECT_THAT(popups(), ElementsAre("ERROR: Error querying device status register"));

    OperateCommit(panel, sp::kDoneButton);
    EXPECT_EQ(statusDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
}

TEST_F(StatusPanelTest, MasksAreSentClearedAndReturnedToTheirDefaults) {
    const int panel = open();
    SetCtrlVal(panel, sp::kServiceRequestEnable, 16);
    SetCtrlVal(panel, sp::kEventStatusEnable, 36);
    SetCtrlVal(panel, sp::kOperationEnable, 1);
    OperateCommit(panel, sp::kMaskUpdateButton);
    const auto update = commandsSent();
    ASSERT_FALSE(update.empty());

    kqvisa::clearTrace();
    OperateCommit(panel, sp::kDefaultButton);
    EXPECT_THAT(commandsSent(), IsEmpty()) << "Default changes only the panel";
    const int defaults[] = {intValue(panel, sp::kServiceRequestEnable),
                            intValue(panel, sp::kEventStatusEnable), intValue(panel, sp::kOperationEnable)};
    EXPECT_THAT(defaults, ElementsAre(32, 60, 0));

    OperateCommit(panel, sp::kMaskClearButton);
    const auto cleared = commandsSent();
    EXPECT_EQ(cleared.size(), update.size());
    for (const std::string& command : cleared) EXPECT_THAT(command, testing::EndsWith(" 0"));
    const int zeros[] = {intValue(panel, sp::kServiceRequestEnable), intValue(panel, sp::kEventStatusEnable),
                         intValue(panel, sp::kOperationEnable)};
    EXPECT_THAT(zeros, ElementsAre(0, 0, 0));
    EXPECT_THAT(popups(), IsEmpty());

    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_IO);
    OperateCommit(panel, sp::kMaskUpdateButton);
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_IO);
    OperateCommit(panel, sp::kMaskClearButton);
    EXPECT_THAT(popups(),
                ElementsAre("ERROR: Error Setting the Status Mask", "ERROR: Error setting the Status Mask"));
}

TEST_F(StatusPanelTest, TheErrorQueryShowsNumberAndText) {
    const int panel = open();
    kqvisa::scriptReply("SYST:ERR?", "-113,\"Undefined header\"\n");
    OperateCommit(panel, sp::kErrorQueryButton);
    EXPECT_EQ(textValue(panel, sp::kErrorText), "-113, \"Undefined header\"");
    OperateCommit(panel, sp::kErrorQueryButton);
    EXPECT_THAT(textValue(panel, sp::kErrorText), testing::StartsWith("0, "));
}

TEST_F(StatusPanelTest, ContinuousPollingRunsUntilSwitchedOff) {
    const int panel = open();
    QTimer::singleShot(300, [panel] {
        EXPECT_THAT(dimmedControls(panel, {sp::kPollDimmed.begin(), sp::kPollDimmed.end()}),
                    testing::SizeIs(5));
        OperateCommit(panel, sp::kContinuousPoll);
    });
    ASSERT_EQ(OperateCommit(panel, sp::kContinuousPoll), UI_SUCCESS);
    EXPECT_EQ(intValue(panel, sp::kContinuousPoll), 0);
    EXPECT_GT(polls(), 1);
    EXPECT_THAT(dimmedControls(panel, {sp::kPollDimmed.begin(), sp::kPollDimmed.end()}), IsEmpty());

    kqvisa::clearTrace();
    int from = 0;
    std::string control;
    EXPECT_EQ(GetUserEvent(0, &from, &control), UI_EVENT_NONE);
    EXPECT_EQ(polls(), 0) << "nothing polls after the switch is off";
}

TEST_F(StatusPanelTest, ClosingThePanelEndsContinuousPolling) {
    const int panel = open();
    QTimer::singleShot(300, [panel] { OperateClosePanel(panel); });
    ASSERT_EQ(OperateCommit(panel, sp::kContinuousPoll), UI_SUCCESS);
    EXPECT_EQ(statusDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    EXPECT_EQ(menuBarDimmed(), 0);
    EXPECT_THAT(popups(), IsEmpty());
}

TEST_F(StatusPanelTest, AFailedPollEndsContinuousPollingWithItsMessageAndLeavesThePanelUsable) {
    const int panel = open();
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_IO, 5);
    ASSERT_EQ(OperateCommit(panel, sp::kContinuousPoll), UI_SUCCESS);
    EXPECT_THAT(popups(), ElementsAre("ERROR: Error querying device status register"));
    EXPECT_EQ(intValue(panel, sp::kContinuousPoll), 0);
    EXPECT_THAT(dimmedControls(panel, {sp::kPollDimmed.begin(), sp::kPollDimmed.end()}), IsEmpty());
}

}  // namespace
}  // namespace sfptest

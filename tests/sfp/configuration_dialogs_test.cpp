// The configuration dialogs: trigger, output range, advanced clock and output trigger, with the
// configuration menu group they dim, and every dialog's form failing to load.
#include <gmock/gmock.h>

#include <algorithm>
#include <functional>

#include "advanced_clock_panel.h"
#include "arb_example.h"
#include "command_console.h"
#include "dialog_test_support.h"
#include "form_directory.h"
#include "front_panel_fixture.h"
#include "front_panel_state.h"
#include "kqsim/mainframe.h"
#include "kqvisa/fault_injection.h"
#include "output_range_panel.h"
#include "output_trigger_panel.h"
#include "panel_layout.h"
#include "status_panel.h"
#include "trigger_panel.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"

namespace sfptest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace tp = trigger_panel;
namespace ac = advanced_clock;
namespace ot = output_trigger;

// The entries of the group the main menu bar has so far.
const std::vector<std::string> kWholeGroup(layout::kConfigurationMenuGroup.begin(),
                                           layout::kConfigurationMenuGroup.end());

class ConfigurationDialogTest : public FrontPanelTest {
protected:
    static int menu(const char* entry) { return OperateMenuItem(frontPanel().mainMenuBar, entry); }
    static bool contains(const std::vector<std::string>& commands, const std::string& wanted) {
        return std::ranges::find(commands, wanted) != commands.end();
    }
    // The position of the first command starting with `prefix`, or -1.
    static int positionOf(const std::vector<std::string>& commands, const std::string& prefix) {
        for (std::size_t i = 0; i < commands.size(); ++i)
            if (commands[i].starts_with(prefix)) return static_cast<int>(i);
        return -1;
    }
};

// ----- Trigger -----

TEST_F(ConfigurationDialogTest, TheTriggerPanelShowsTheModulesSettingsAndCancelSendsNothing) {
    ASSERT_EQ(start(), VI_SUCCESS);
    ASSERT_EQ(
        kq7120_configTriggerParams(frontPanel().instrHandle, kq7120_TRIG_SRC_TTLTRG3, kq7120_SLOPE_NEGATIVE),
        VI_SUCCESS);
    OperateCommit(mainPanel(), "TriggerButton");
    const int panel = triggerDialogPanel();
    ASSERT_GT(panel, 0);
    EXPECT_EQ(intValue(panel, tp::kTriggerSource), 5);
    EXPECT_EQ(intValue(panel, tp::kTriggerSlope), 0);
    EXPECT_THAT(dimmedControls(panel, {tp::kTriggerSlope, tp::kTimerPeriod}), ElementsAre(tp::kTimerPeriod));
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    EXPECT_THAT(dimmedConfigurationEntries(), IsEmpty()) << "the main panel command leaves the group alone";

    kqvisa::clearTrace();
    OperateSelect(panel, tp::kTriggerSource, 0);
    EXPECT_THAT(dimmedControls(panel, {tp::kTriggerSlope, tp::kTimerPeriod}),
                ElementsAre(tp::kTriggerSlope, tp::kTimerPeriod));
    OperateCommit(panel, tp::kCancelButton);
    EXPECT_THAT(commandsSent(), IsEmpty());
    EXPECT_EQ(triggerDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
}

TEST_F(ConfigurationDialogTest, TheTimerSourceShowsItsPeriodAndApplySendsThePeriodFirst) {
    ASSERT_EQ(start(), VI_SUCCESS);
    kq7120_configTriggerParams(frontPanel().instrHandle, kq7120_TRIG_SRC_TIMER, kq7120_SLOPE_POSITIVE);
    ASSERT_EQ(menu("TriggerMenuEntry"), UI_SUCCESS);
    const int panel = triggerDialogPanel();
    ASSERT_GT(panel, 0);
    EXPECT_EQ(intValue(panel, tp::kTriggerSource), tp::kTimer);
    EXPECT_EQ(attribute(panel, tp::kTimerPeriod, UI_ATTR_DIMMED), 0);
    EXPECT_EQ(dimmedConfigurationEntries(), kWholeGroup);

    kqvisa::clearTrace();
    ASSERT_EQ(OperateEnterValue(panel, tp::kTimerPeriod, "0.000025"), UI_SUCCESS);
    OperateCommit(panel, tp::kApplyButton);
    const auto commands = commandsSent();
    const int timer = positionOf(commands, "tim ");
    const int source = positionOf(commands, "TRIG:SOUR TIM");
    ASSERT_GE(timer, 0) << testing::PrintToString(commands);
    EXPECT_LT(timer, source);
    ViReal64 period = 0.0;
    kq7120_queryTimer(frontPanel().instrHandle, &period);
    EXPECT_NEAR(period, 0.000025, 1e-9);
    EXPECT_EQ(triggerDialogPanel(), 0);
    EXPECT_THAT(dimmedConfigurationEntries(), IsEmpty());
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
}

TEST_F(ConfigurationDialogTest, AKq7110RefusesTheUpperChannelsAsTriggerSources) {
    struct Case {
        const char* what;
        kqsim::ModuleKind first;
        std::function<void()> afterStart;
        bool refused;
    };
    const Case cases[] = {
        {"first module a KQ7110", kqsim::ModuleKind::KQ7110, [] {}, true},
        {"first module a KQ7120", kqsim::ModuleKind::KQ7120, [] {}, false},
        {"no module chosen, 8 channels connected", kqsim::ModuleKind::KQ7120,
         [] {
             frontPanel().selectedModule = -1;
             frontPanel().channelCount = 8;
         },
         true},
    };
    for (const Case& c : cases) {
        kqsim::installChassis(chassis({module(c.first, 24, 2)}));
        ASSERT_EQ(start(), VI_SUCCESS) << c.what;
        c.afterStart();
        OperateCommit(mainPanel(), "TriggerButton");
        const int panel = triggerDialogPanel();
        kqvisa::clearTrace();
        OperateSelect(panel, tp::kTriggerSource, 21);  // internal channel 12
        if (c.refused) {
            EXPECT_THAT(popups(),
                        ElementsAre("Message: Channels 9-16 are invalid trigger sources for a KQ7110 Model"))
                << c.what;
            EXPECT_EQ(intValue(panel, tp::kTriggerSource), 0) << c.what;
        } else {
            EXPECT_THAT(popups(), IsEmpty()) << c.what;
            EXPECT_EQ(intValue(panel, tp::kTriggerSource), 21) << c.what;
        }
        EXPECT_THAT(commandsSent(), IsEmpty()) << c.what;
        startOver();
    }
}

TEST_F(ConfigurationDialogTest, TriggerFailuresAreReportedAndThePanelStays) {
    ASSERT_EQ(start(), VI_SUCCESS);
    OperateCommit(mainPanel(), "TriggerButton");
    const int panel = triggerDialogPanel();
    kqvisa::clearTrace();
    OperateCommit(panel, tp::kTriggerNowButton);
    EXPECT_THAT(commandsSent(), ElementsAre("*TRG"));

    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_IO);
    OperateCommit(panel, tp::kTriggerNowButton);
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_IO);
    OperateCommit(panel, tp::kApplyButton);
    EXPECT_THAT(popups(), ElementsAre("ERROR: Error Configuring the Trigger Parameters",
                                      "ERROR: Error Configuring the Trigger Parameters"));
    EXPECT_EQ(triggerDialogPanel(), panel);
    EXPECT_EQ(intValue(mainPanel(), layout::kErrorIndicator), 1);
    OperateCommit(panel, tp::kCancelButton);

    // A failed query at opening shows no panel and dims nothing.
    ClearCapturedPopups();
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_IO);
    menu("TriggerMenuEntry");
    EXPECT_THAT(popups(), ElementsAre("ERROR: Error querying the Trigger Parameters"));
    EXPECT_EQ(triggerDialogPanel(), 0);
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
    EXPECT_THAT(dimmedConfigurationEntries(), IsEmpty());
}

// ----- Output range -----

TEST_F(ConfigurationDialogTest, ARangeChangeIsSentAndSetsTheMainPanelLimits) {
    ASSERT_EQ(start(), VI_SUCCESS);
    frontPanel().channelRange[5] = kq7120_10VOLT_RANGE;
    ASSERT_EQ(menu("OutputRangeMenuEntry"), UI_SUCCESS);
    const int panel = outputRangeDialogPanel();
    ASSERT_GT(panel, 0);
    EXPECT_EQ(intValue(panel, "ChannelRangeSelector6"), 1) << "shows the panel's own record";
    EXPECT_EQ(dimmedConfigurationEntries(), kWholeGroup);
    EXPECT_THAT(dimmedControls(panel, {output_range::kChannelRangeSelector.begin(),
                                       output_range::kChannelRangeSelector.end()}),
                IsEmpty());

    struct Case {
        int index;
        const char* command;
        double minimum;
        double maximum;
    };
    for (const Case& c :
         {Case{1, "VOLT:RANG 10V,(@3)", -10.0, 9.99984}, Case{0, "VOLT:RANG 20V,(@3)", -20.0, 19.99969}}) {
        kqvisa::clearTrace();
        OperateSelect(panel, "ChannelRangeSelector3", c.index);
        EXPECT_THAT(commandsSent(), ElementsAre(c.command));
        EXPECT_EQ(frontPanel().channelRange[2], c.index);
        double minimum = 0.0;
        double maximum = 0.0;
        GetCtrlAttribute(mainPanel(), "ChannelVoltage3", UI_ATTR_MIN_VALUE, &minimum);
        GetCtrlAttribute(mainPanel(), "ChannelVoltage3", UI_ATTR_MAX_VALUE, &maximum);
        EXPECT_EQ(minimum, c.minimum);
        EXPECT_EQ(maximum, c.maximum);
    }
    OperateCommit(panel, output_range::kDoneButton);
    EXPECT_EQ(outputRangeDialogPanel(), 0);
    EXPECT_THAT(dimmedConfigurationEntries(), IsEmpty());
    EXPECT_EQ(panelDimmed(mainPanel()), 0);
}

TEST_F(ConfigurationDialogTest, RangeFailuresAreSilentAndTheLimitsStillFollow) {
    ASSERT_EQ(start(), VI_SUCCESS);
    OperateCommit(mainPanel(), "OutputRangeButton");
    const int panel = outputRangeDialogPanel();
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_IO);
    OperateSelect(panel, "ChannelRangeSelector16", 1);
    EXPECT_THAT(popups(), IsEmpty());
    double maximum = 0.0;
    GetCtrlAttribute(mainPanel(), "ChannelVoltage16", UI_ATTR_MAX_VALUE, &maximum);
    EXPECT_EQ(maximum, 9.99984);
    EXPECT_EQ(setSFPChannelRange(15, kq7120_10VOLT_RANGE), VI_SUCCESS);
    // Also with no session at all.
    kq7120_close(frontPanel().instrHandle);
    frontPanel().instrHandle = 0;
    OperateSelect(panel, "ChannelRangeSelector1", 1);
    GetCtrlAttribute(mainPanel(), "ChannelVoltage1", UI_ATTR_MAX_VALUE, &maximum);
    EXPECT_EQ(maximum, 9.99984);
    EXPECT_EQ(frontPanel().channelRange[0], 1);
    EXPECT_THAT(popups(), IsEmpty());
}

TEST_F(ConfigurationDialogTest, AFirstFoundKq7110DimsTheUpperRangeSelectors) {
    kqsim::installChassis(chassis({module(kqsim::ModuleKind::KQ7110, 24, 2)}));
    ASSERT_EQ(start(), VI_SUCCESS);
    menu("OutputRangeMenuEntry");
    const auto& selectors = output_range::kChannelRangeSelector;
    EXPECT_THAT(dimmedControls(outputRangeDialogPanel(), {selectors.begin(), selectors.end()}),
                ElementsAre("ChannelRangeSelector9", "ChannelRangeSelector10", "ChannelRangeSelector11",
                            "ChannelRangeSelector12", "ChannelRangeSelector13", "ChannelRangeSelector14",
                            "ChannelRangeSelector15", "ChannelRangeSelector16"));
}

// ----- Advanced clock -----

TEST_F(ConfigurationDialogTest, TheClockDialogShowsTheModulesSource) {
    ASSERT_EQ(start(), VI_SUCCESS);
    struct Case {
        ViInt16 source;
        const char* button;
        std::vector<std::string> operable;  // of the line selector and the timer field
    };
    const Case cases[] = {
        {3, ac::kTtlButton, {ac::kTtlLineSelector}},
        {kq7120_ROSC_TIMER, ac::kTimerButton, {ac::kTimerPeriodField}},
        {kq7120_ROSC_INTERNAL, ac::kInternalButton, {}},
        {kq7120_ROSC_EXTCLK, ac::kExtClkButton, {}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(kq7120_setupClock(frontPanel().instrHandle, c.source, kq7120_SLOPE_NEGATIVE), VI_SUCCESS);
        ASSERT_EQ(menu("AdvancedClockMenuEntry"), UI_SUCCESS);
        const int panel = advancedClockDialogPanel();
        ASSERT_GT(panel, 0);
        EXPECT_EQ(dimmedConfigurationEntries(), kWholeGroup);
        std::vector<std::string> on;
        for (const char* button : ac::kSourceButtons)
            if (intValue(panel, button) == 1) on.emplace_back(button);
        EXPECT_THAT(on, ElementsAre(c.button)) << c.source;
        std::vector<std::string> operable;
        for (const char* control : {ac::kTtlLineSelector, ac::kTimerPeriodField})
            if (attribute(panel, control, UI_ATTR_DIMMED) == 0) operable.emplace_back(control);
        EXPECT_EQ(operable, c.operable) << c.source;
        if (c.source == 3) {
            EXPECT_EQ(intValue(panel, ac::kTtlLineSelector), 3);
        }
        EXPECT_EQ(intValue(panel, ac::kSlopeSelector), 0);

        // Closing sends the period only while the timer is the source.
        kqvisa::clearTrace();
        OperateCommit(panel, ac::kDoneButton);
        EXPECT_EQ(positionOf(commandsSent(), "tim ") >= 0, c.source == kq7120_ROSC_TIMER) << c.source;
        EXPECT_THAT(dimmedConfigurationEntries(), IsEmpty());
        EXPECT_EQ(panelDimmed(mainPanel()), 0);
    }
}

TEST_F(ConfigurationDialogTest, ClockChangesAreSentAtOnceWithTheRecordedSource) {
    ASSERT_EQ(start(), VI_SUCCESS);
    const ViSession handle = frontPanel().instrHandle;
    ASSERT_EQ(kq7120_setupClock(handle, 6, kq7120_SLOPE_POSITIVE), VI_SUCCESS);
    menu("AdvancedClockMenuEntry");
    const int panel = advancedClockDialogPanel();
    const auto clock = [handle] {
        ViInt16 source = -1;
        ViUInt16 slope = 9;
        kq7120_queryClockParms(handle, &source, &slope);
        return std::pair<int, int>(source, slope);
    };

    OperateCommit(panel, ac::kInternalButton);
    EXPECT_EQ(clock(), std::make_pair(8, 1));
    EXPECT_EQ(advancedClock().clockSource, kq7120_ROSC_INTERNAL);
    OperateSelect(panel, ac::kSlopeSelector, 0);
    EXPECT_EQ(clock(), std::make_pair(8, 0)) << "the slope re-sends the source the button chose";

    OperateCommit(panel, ac::kTtlButton);
    EXPECT_EQ(clock(), std::make_pair(6, 0)) << "the TTL button sends the line its selector shows";
    OperateSelect(panel, ac::kTtlLineSelector, 2);
    EXPECT_EQ(clock(), std::make_pair(2, 0));

    OperateCommit(panel, ac::kTimerButton);
    EXPECT_EQ(clock(), std::make_pair(11, 0));
    kqvisa::clearTrace();
    OperateEnterValue(panel, ac::kTimerPeriodField, "0.000001");
    EXPECT_THAT(commandsSent(), IsEmpty()) << "the period waits for Done";
    OperateCommit(panel, ac::kDoneButton);
    ASSERT_EQ(commandsSent().size(), 1u);
    EXPECT_THAT(commandsSent()[0], testing::StartsWith("tim "));
    EXPECT_EQ(advancedClock().timerPeriod, 0.000001);
}

// ----- Output trigger -----

TEST_F(ConfigurationDialogTest, TheOutputTriggerDialogSendsAllThreeSettingsOnEachChange) {
    ASSERT_EQ(start(), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupOutput(frontPanel().instrHandle, kq7120_OUT_TRIG_MARKER, 5, kq7120_SLOPE_NEGATIVE),
              VI_SUCCESS);
    ASSERT_EQ(menu("OutputTriggerMenuEntry"), UI_SUCCESS);
    const int panel = outputTriggerDialogPanel();
    ASSERT_GT(panel, 0);
    EXPECT_EQ(intValue(panel, ot::kSourceSelector), 2);
    EXPECT_EQ(intValue(panel, ot::kLineSelector), 5);
    EXPECT_EQ(intValue(panel, ot::kMarkerSlopeSelector), 0);
    EXPECT_EQ(dimmedConfigurationEntries(), kWholeGroup);

    kqvisa::clearTrace();
    OperateSelect(panel, ot::kLineSelector, 7);
    const auto first = commandsSent();
    ViInt16 source = 0;
    ViInt16 line = 0;
    ViUInt16 slope = 1;
    kq7120_queryOutput(frontPanel().instrHandle, &source, &line, &slope);
    EXPECT_EQ(source, kq7120_OUT_TRIG_MARKER);
    EXPECT_EQ(line, 7);
    EXPECT_EQ(slope, 0);
    EXPECT_FALSE(first.empty());
    OperateCommit(panel, ot::kExitButton);
    EXPECT_THAT(dimmedConfigurationEntries(), IsEmpty());

    // A failed query at opening shows the first entries.
    kqvisa::failCall(kqvisa::Op::Write, VI_ERROR_IO);
    menu("OutputTriggerMenuEntry");
    const int again = outputTriggerDialogPanel();
    EXPECT_EQ(intValue(again, ot::kSourceSelector), 0);
    EXPECT_EQ(intValue(again, ot::kLineSelector), 0);
    EXPECT_EQ(intValue(again, ot::kMarkerSlopeSelector), 0);
    EXPECT_THAT(popups(), IsEmpty());
}

// ----- The forms -----

TEST_F(ConfigurationDialogTest, EveryDialogFormHasTheControlsItsCodeAddresses) {
    ASSERT_EQ(start(), VI_SUCCESS);
    namespace sp = status_panel;
    namespace ax = example_panel;
    namespace orp = output_range;
    std::vector<const char*> status = {
        sp::kStatusByteValue,   sp::kEventRegisterValue, sp::kContinuousPoll, sp::kServiceRequestEnable,
        sp::kEventStatusEnable, sp::kOperationEnable,    sp::kErrorText,      sp::kDoneButton};
    status.insert(status.end(), sp::kStatusBit.begin(), sp::kStatusBit.end());
    status.insert(status.end(), sp::kEventBit.begin(), sp::kEventBit.end());
    status.insert(status.end(), sp::kPollDimmed.begin(), sp::kPollDimmed.end());
    std::vector<const char*> example = {ax::kArbChannel,    ax::kSampleCount,  ax::kSamplePeriod,
                                        ax::kWaveShape,     ax::kDcChannel,    ax::kLoopCount,
                                        ax::kLoopPeriod,    ax::kMarkerEnable, ax::kSegmentDwell,
                                        ax::kOutputVoltage, ax::kStopLoop,     ax::kExitButton};
    example.insert(example.end(), ax::kRunCommands.begin(), ax::kRunCommands.end());
    std::vector<const char*> range(orp::kChannelRangeSelector.begin(), orp::kChannelRangeSelector.end());
    range.push_back(orp::kDoneButton);
    std::vector<const char*> clock(ac::kSourceButtons.begin(), ac::kSourceButtons.end());
    clock.insert(clock.end(),
                 {ac::kTtlLineSelector, ac::kTimerPeriodField, ac::kSlopeSelector, ac::kDoneButton});
    const std::pair<const char*, std::vector<const char*>> forms[] = {
        {console::kForm,
         {console::kCommandText, console::kResponseBox, console::kErrorHistory, console::kSendButton,
          console::kCloseButton}},
        {sp::kForm, status},
        {ax::kForm, example},
        {tp::kForm,
         {tp::kTriggerSource, tp::kTriggerSlope, tp::kTimerPeriod, tp::kApplyButton, tp::kTriggerNowButton,
          tp::kCancelButton}},
        {orp::kForm, range},
        {ac::kForm, clock},
        {ot::kForm, {ot::kSourceSelector, ot::kLineSelector, ot::kMarkerSlopeSelector, ot::kExitButton}},
    };
    for (const auto& [form, controls] : forms) {
        const int panel = LoadPanel(mainPanel(), form);
        ASSERT_GT(panel, 0) << form;
        for (const char* control : controls) {
            int dimmed = 0;
            EXPECT_EQ(GetCtrlAttribute(panel, control, UI_ATTR_DIMMED, &dimmed), UI_SUCCESS)
                << form << " " << control;
        }
        DiscardPanel(panel);
    }
    // The trigger source ring lists the 29 sources in the driver's order.
    const int trigger = LoadPanel(mainPanel(), tp::kForm);
    int sources = 0;
    GetNumListItems(trigger, tp::kTriggerSource, &sources);
    EXPECT_EQ(sources, kq7120_TRIG_SRC_NONE - kq7120_TRIG_SRC_AUTO + 1);
    DiscardPanel(trigger);
}

// ----- Every dialog of this group whose form cannot be read -----

TEST_F(ConfigurationDialogTest, ADialogWhoseFormCannotBeLoadedSaysSoAndDimsNothing) {
    ASSERT_EQ(start(), VI_SUCCESS);
    struct Case {
        std::function<void()> open;
        const char* message;
    };
    const Case cases[] = {
        {[] { menu("TriggerMenuEntry"); }, "ERROR: Error loading the Trigger Panel"},
        {[] { menu("OutputRangeMenuEntry"); }, "ERROR: Error loading the Voltage Range Panel"},
        {[] { menu("AdvancedClockMenuEntry"); }, "ERROR: Error loading the Voltage Advance Clock Panel"},
        {[] { menu("OutputTriggerMenuEntry"); }, "ERROR: Error loading the Output Trigger Panel"},
        {[] { OperateCommit(mainPanel(), "ConsoleButton"); }, "ERROR: Error loading the Command Console"},
        {[] { OperateCommit(mainPanel(), "StatusButton"); }, "ERROR: Error loading the Status Panel"},
        {[] { OperateCommit(mainPanel(), "ArbExampleButton"); },
         "ERROR: Error loading the Programming Example Panel"},
    };
    SetFormDirectory("/nonexistent");
    for (const Case& c : cases) {
        ClearCapturedPopups();
        c.open();
        EXPECT_THAT(popups(), ElementsAre(c.message));
        EXPECT_EQ(panelDimmed(mainPanel()), 0) << c.message;
        EXPECT_EQ(menuBarDimmed(), 0) << c.message;
        EXPECT_THAT(dimmedConfigurationEntries(), IsEmpty()) << c.message;
    }
    SetFormDirectory(frontPanelFormDirectory().c_str());
}

}  // namespace
}  // namespace sfptest

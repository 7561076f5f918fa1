// The "Simulated outputs" window and the main panel's note on the simulated chassis: what is
// plotted is what the simulated module's DAC did.
#include "output_view.h"

#include <gmock/gmock.h>

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "chassis_server_process.h"
#include "front_panel_fixture.h"
#include "front_panel_state.h"
#include "kq7120.h"
#include "kqsim/kq_module.h"
#include "kqsim/mainframe.h"
#include "kqsim/sim_clock.h"
#include "output_trace.h"
#include "panel_layout.h"
#include "ui_operator.h"

namespace sfptest {
namespace {

std::string textValue(int panel, const char* control) {
    std::string text;
    EXPECT_EQ(GetCtrlVal(panel, control, &text), UI_SUCCESS) << control;
    return text;
}

QLineSeries* plotted(int channel) {
    QWidget* plot = GetCtrlWidget(outputViewPanel(), layout::kOutputViewPlot);
    auto* chartView = plot != nullptr ? plot->findChild<QChartView*>() : nullptr;
    if (chartView == nullptr) return nullptr;
    for (QAbstractSeries* series : chartView->chart()->series())
        if (series->name() == QString("CH %1").arg(channel)) return qobject_cast<QLineSeries*>(series);
    return nullptr;
}

// Segment 0 = {1 V, 2 V}, segment 1 = {-1 V, -2 V, -3 V} on channel 1, one point per millisecond,
// played once in that order from now on.
void playArbSequence(ViSession session) {
    ASSERT_EQ(kq7120_setupClock(session, kq7120_ROSC_TIMER, kq7120_POSITIVE), VI_SUCCESS);
    ASSERT_EQ(kq7120_setupTimer(session, 0.001), VI_SUCCESS);
    const ViInt16 channel[] = {1};
    ASSERT_EQ(kq7120_setupScanMode(session, kq7120_SCAN_MODE_ARB, channel, 1), VI_SUCCESS);
    const std::vector<ViReal64> first = {1.0, 2.0};
    const std::vector<ViReal64> second = {-1.0, -2.0, -3.0};
    ASSERT_EQ(kq7120_arbLoadVoltage(session, 0, 1, kq7120_20VOLT_RANGE, first.data(), 2), VI_SUCCESS);
    ASSERT_EQ(kq7120_arbLoadVoltage(session, 1, 1, kq7120_20VOLT_RANGE, second.data(), 3), VI_SUCCESS);
    const ViInt16 sequence[] = {0, 1};
    ASSERT_EQ(kq7120_arbDefineSequence(session, sequence, 2), VI_SUCCESS);
    for (const ViInt16 step : {0, 1})
        ASSERT_EQ(kq7120_arbSetSeqParmsEx(session, step, kq7120_SEQ_AUTO_START, kq7120_SEQ_ASYNC_ADVANCE, 1,
                                          kq7120_SEQ_MARKER_OFF),
                  VI_SUCCESS);
    kqsim::SimClock::advance(std::chrono::milliseconds(1));
    ASSERT_EQ(kq7120_commandArb(session, kq7120_INITIATE), VI_SUCCESS);
}

TEST_F(FrontPanelTest, TheOutputViewPlotsTheSamplesOfAnArbSequence) {
    const kqsim::ManualClockScope manualClock;
    ASSERT_EQ(start(), VI_SUCCESS);
    EXPECT_EQ(textValue(mainPanel(), layout::kSimulatedChassisNote), "Simulated chassis");
    playArbSequence(frontPanel().instrHandle);
    kqsim::SimClock::advance(std::chrono::milliseconds(8));

    ASSERT_EQ(OperateMenuItem(frontPanel().mainMenuBar, layout::kSimulatedOutputsEntry), UI_SUCCESS);
    ASSERT_NE(outputViewPanel(), 0);
    ASSERT_EQ(OperateSelect(outputViewPanel(), layout::kOutputViewWindow, 4), UI_SUCCESS);  // 20 ms
    RefreshOutputView();

    QLineSeries* channel1 = plotted(1);
    ASSERT_NE(channel1, nullptr);
    const QList<QPointF> points = channel1->points();
    const double now = kqsim::secondsOf(kqsim::SimClock::now());
    const auto& module =
        dynamic_cast<const kqsim::KqModule&>(*kqsim::currentMainframe()->find(0, 24)->instrument);
    std::vector<double> levels;
    for (const kqsim::OutputSample& sample : module.recentOutput(1)) {
        const double time = kqsim::secondsOf(sample.time);
        if (time < now - 0.02) continue;
        levels.push_back(sample.volts);
        const QPointF expected((time - now) * 1000.0, sample.volts);
        EXPECT_TRUE(std::any_of(points.begin(), points.end(),
                                [&](const QPointF& point) {
                                    return std::abs(point.x() - expected.x()) < 1e-9 &&
                                           std::abs(point.y() - expected.y()) < 1e-9;
                                }))
            << "sample at " << expected.x() << " ms, " << expected.y() << " V";
    }
    using ::testing::DoubleNear;
    constexpr double kStep = 0.001;  // the DAC's resolution on the 20 V range is 0.6 mV
    EXPECT_THAT(levels, ::testing::IsSupersetOf({DoubleNear(1.0, kStep), DoubleNear(2.0, kStep),
                                                 DoubleNear(-1.0, kStep), DoubleNear(-2.0, kStep),
                                                 DoubleNear(-3.0, kStep)}));
    ASSERT_FALSE(points.isEmpty());
    EXPECT_EQ(points.back().x(), 0.0) << "the last level holds until now";
    EXPECT_NEAR(points.back().y(), -3.0, kStep);
    EXPECT_FALSE(plotted(2)->isVisible()) << "only the chosen channels are drawn";

    // The view stays live while a dialog dims the main panel.
    ASSERT_EQ(OperateMenuItem(frontPanel().mainMenuBar, layout::kSharedMenuEntry), UI_SUCCESS);
    EXPECT_EQ(panelDimmed(mainPanel()), 1);
    EXPECT_EQ(panelDimmed(outputViewPanel()), 0);
    QWidget* plot = GetCtrlWidget(outputViewPanel(), layout::kOutputViewPlot);
    auto* timer = plot->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());

    ASSERT_EQ(OperateClosePanel(outputViewPanel()), UI_SUCCESS);
    EXPECT_EQ(outputViewPanel(), 0);
}

TEST_F(FrontPanelTest, TheMainPanelNamesTheChassisServer) {
    const kqvisatest::ChassisServerProcess server;
    const kqvisatest::UseChassisServer useServer(server.socketPath());
    ASSERT_EQ(start(), VI_SUCCESS);
    EXPECT_EQ(textValue(mainPanel(), layout::kSimulatedChassisNote),
              "Simulated chassis (server " + server.socketPath() + ")");
    int visible = 0;
    ASSERT_EQ(GetMenuBarAttribute(frontPanel().mainMenuBar, layout::kSimulatedOutputsEntry, UI_ATTR_VISIBLE,
                                  &visible),
              UI_SUCCESS);
    EXPECT_EQ(visible, 1);

    // The window shows a level another program of the server could read back as well.
    ASSERT_EQ(OperateEnterValue(mainPanel(), "ChannelVoltage1", "2.5"), UI_SUCCESS);
    ASSERT_EQ(OperateMenuItem(frontPanel().mainMenuBar, layout::kSimulatedOutputsEntry), UI_SUCCESS);
    RefreshOutputView();
    const QList<QPointF> points = plotted(1)->points();
    ASSERT_FALSE(points.isEmpty());
    EXPECT_DOUBLE_EQ(points.back().y(), 2.5);
    DiscardPanel(outputViewPanel());
}

TEST(OutputTraceTest, HoldsEachLevelAndThinsWhatTheWidthCannotShow) {
    const std::vector<double> times = {0.0, 1.0, 2.0, 3.0};
    const std::vector<double> volts = {5.0, 6.0, 7.0, 8.0};
    // The level before the window starts it; each later sample is a step; the last holds to now.
    EXPECT_EQ(outputTrace({times, volts, 1.5, 4.0, 100}),
              (QList<QPointF>{{1.5, 6.0}, {2.0, 6.0}, {2.0, 7.0}, {3.0, 7.0}, {3.0, 8.0}, {4.0, 8.0}}));
    EXPECT_EQ(outputTrace({times, volts, 5.0, 6.0, 100}), (QList<QPointF>{{5.0, 8.0}, {6.0, 8.0}}));
    EXPECT_TRUE(outputTrace({{}, {}, 0.0, 1.0, 100}).isEmpty());
    EXPECT_TRUE(outputTrace({times, volts, -2.0, -1.0, 100}).isEmpty()) << "nothing played yet";

    // 4096 alternating samples on a plot 10 columns wide: two points a column, the extremes kept.
    std::vector<double> denseTimes(4096);
    std::vector<double> denseVolts(4096);
    for (std::size_t i = 0; i < denseTimes.size(); ++i) {
        denseTimes[i] = static_cast<double>(i) * 1e-5;
        denseVolts[i] = i % 2 == 0 ? -1.0 : 1.0;
    }
    const QList<QPointF> thinned = outputTrace({denseTimes, denseVolts, 0.0, 0.04096, 10});
    EXPECT_LE(thinned.size(), 2 * 11 + 1);
    const auto [low, high] = std::minmax_element(
        thinned.begin(), thinned.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    EXPECT_EQ(low->y(), -1.0);
    EXPECT_EQ(high->y(), 1.0);
}

}  // namespace
}  // namespace sfptest

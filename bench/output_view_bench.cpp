// What the Simulated outputs window costs the front panel while 16 channels play at 100 kSa/s on
// a chassis server (the bench starts its own), each figure against a baseline of the same run:
//   one refresh of the window (16 channels read, traced and painted) against reading the samples alone
//   the panel's CPU time over two seconds of its event loop with the window open against closed
// The second ratio's figure is the window's share of one core.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "chassis_server_process.h"
#include "front_panel_state.h"
#include "kq7120.h"
#include "kqsim/chassis_link.h"
#include "kqsim/output_monitor.h"
#include "output_view.h"
#include "panel_layout.h"
#include "ratio_reporter.h"
#include "startup.h"
#include "user_interface.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kChannels = 16;
constexpr int kSamplesKept = 4096;
constexpr auto kLoopSpan = std::chrono::seconds(2);

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Every channel plays a 1000-point sine (each channel its own amplitude) for ever, one point per
// internal clock tick (100 kSa/s).
bool playSixteenChannels(ViSession session) {
    std::vector<ViInt16> channels(kChannels);
    for (int c = 0; c < kChannels; ++c) channels[c] = static_cast<ViInt16>(c + 1);
    if (kq7120_setupClock(session, kq7120_ROSC_INTERNAL, kq7120_POSITIVE) != VI_SUCCESS) return false;
    if (kq7120_setupScanMode(session, kq7120_SCAN_MODE_ARB, channels.data(), kChannels) != VI_SUCCESS)
        return false;
    std::vector<ViReal64> points(1000);
    for (int c = 0; c < kChannels; ++c) {
        for (std::size_t i = 0; i < points.size(); ++i)
            points[i] = (1.0 + c) * std::sin(6.283185307 * static_cast<double>(i) / points.size());
        if (kq7120_arbLoadVoltage(session, 0, channels[c], kq7120_20VOLT_RANGE, points.data(), 1000) !=
            VI_SUCCESS)
            return false;
    }
    const ViInt16 sequence[] = {0};
    return kq7120_arbDefineSequence(session, sequence, 1) == VI_SUCCESS &&
           kq7120_arbSetSeqParmsEx(session, 0, kq7120_SEQ_AUTO_START, kq7120_SEQ_ASYNC_ADVANCE, 0,
                                   kq7120_SEQ_MARKER_OFF) == VI_SUCCESS &&
           kq7120_commandArb(session, kq7120_INITIATE) == VI_SUCCESS;
}

QWidget* viewWindow() {
    QWidget* plot = GetCtrlWidget(outputViewPanel(), layout::kOutputViewPlot);
    return plot != nullptr ? plot->window() : nullptr;
}

void openViewWithEveryChannel() {
    mnuSimulatedOutputs(frontPanel().mainMenuBar, layout::kSimulatedOutputsEntry, frontPanel().mainPanel);
    for (int c = 1; c <= kChannels; ++c) {
        const std::string box = std::string(layout::kOutputViewChannelPrefix) + std::to_string(c);
        SetCtrlVal(outputViewPanel(), box.c_str(), 1);
    }
}

void refreshAndPaint(benchmark::State& state) {
    openViewWithEveryChannel();
    for (auto _ : state) {
        const auto start = Clock::now();
        RefreshOutputView();
        viewWindow()->repaint();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    DiscardPanel(outputViewPanel());
}

void readSamplesOnly(benchmark::State& state) {
    std::vector<double> times(kSamplesKept);
    std::vector<double> volts(kSamplesKept);
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int c = 1; c <= kChannels; ++c)
            kqsim_readChannelOutput(0, 24, c, times.data(), volts.data(), kSamplesKept);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
}

// CPU time of the panel while its event loop runs for the span, with or without the window.
void eventLoopCpu(benchmark::State& state, bool viewOpen) {
    if (viewOpen) openViewWithEveryChannel();
    for (auto _ : state) {
        const double before = cpuSeconds();
        QEventLoop loop;
        QTimer::singleShot(std::chrono::milliseconds(kLoopSpan), &loop, &QEventLoop::quit);
        loop.exec();
        state.SetIterationTime(cpuSeconds() - before);
    }
    if (viewOpen) DiscardPanel(outputViewPanel());
}

constexpr BenchRatio kRatios[] = {
    {"one refresh, 16 channels, painted / reading the samples alone", "view/refresh+paint",
     "view/read-samples"},
    {"panel CPU over 2 s, window open / window closed", "loop/window-open", "loop/window-closed"},
};

void printCoreShare(const RatioReporter& reporter) {
    const double open = reporter.seconds("loop/window-open");
    const double closed = reporter.seconds("loop/window-closed");
    if (open < 0.0 || closed < 0.0) return;
    const double span = std::chrono::duration<double>(kLoopSpan).count();
    std::printf(
        "  the window's share of one core at 20 refreshes a second: %.1f %% (panel %.1f %% open, %.1f %% "
        "closed)\n",
        100.0 * (open - closed) / span, 100.0 * open / span, 100.0 * closed / span);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    BenchChassisServer server;
    if (!server.start(KQ_CHASSIS_SERVER)) {
        std::fprintf(stderr, "cannot start the chassis server\n");
        return 1;
    }
    setenv(kqsim::kServerSocketVariable, server.socket().c_str(), 1);
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    if (const ViStatus status = StartFrontPanel(); status != VI_SUCCESS) {
        std::fprintf(stderr, "cannot start the front panel on the served chassis: status %ld\n",
                     static_cast<long>(status));
        return 1;
    }
    if (!playSixteenChannels(frontPanel().instrHandle)) {
        std::fprintf(stderr, "cannot play an ARB sequence on 16 channels\n");
        return 1;
    }

    const auto timed = [](benchmark::internal::Benchmark* benchmark) {
        benchmark->UseManualTime()->Unit(benchmark::kMillisecond);
    };
    timed(benchmark::RegisterBenchmark("view/read-samples", readSamplesOnly));
    timed(benchmark::RegisterBenchmark("view/refresh+paint", refreshAndPaint));
    timed(benchmark::RegisterBenchmark("loop/window-closed", eventLoopCpu, false)->Iterations(1));
    timed(benchmark::RegisterBenchmark("loop/window-open", eventLoopCpu, true)->Iterations(1));

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(kRatios, true);
    printCoreShare(reporter);
    kq7120_close(frontPanel().instrHandle);
    benchmark::Shutdown();
    return 0;
}

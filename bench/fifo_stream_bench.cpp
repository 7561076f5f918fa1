// The FIFO panel's stream as an operator runs it: two channels of 1000 samples, 1000 periods, on the
// simulated chassis with its real clock (100 kHz sample clock, so the data plays for 10 s). The time
// to send all data (Run switched on until the stream's callback returns) is set against the time the
// module takes to play the same data (Run switched on until the FIFO has run empty), measured in the
// same run. The longest time the panel went without serving the operator is reported as well.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "fifo_panel.h"
#include "form_directory.h"
#include "front_panel_state.h"
#include "kqvisa/bus_trace.h"
#include "startup.h"
#include "ui_operator.h"
#include "ui_popup_capture.h"
#include "user_interface.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSamples = 1000;
constexpr int kPeriods = 1000;

std::string writeChannelFile(const std::filesystem::path& folder, const char* name, std::uint16_t first) {
    std::vector<char> bytes;
    for (int i = 0; i < kSamples; ++i) {
        const auto code = static_cast<std::uint16_t>(first + 16 * i);
        bytes.push_back(static_cast<char>(code & 0xFF));
        bytes.push_back(static_cast<char>(code >> 8));
    }
    const std::filesystem::path path = folder / name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

bool fifoEmpty() {
    ViUInt16 status = 0;
    return kq7120_GetFifoStatus(frontPanel().instrHandle, &status) == VI_SUCCESS &&
           (status & kq7120_FIFO_EMPTY) != 0;
}

void fifoStream(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "sfp-fifo-stream-bench";
    std::filesystem::create_directories(folder);
    const std::string first = writeChannelFile(folder, "channel1.b16", 0x4000);
    const std::string second = writeChannelFile(folder, "channel2.b16", 0x8000);

    OperateMenuItem(frontPanel().mainMenuBar, "FifoMenuEntry");
    const int panel = fifoPanel();
    OperateCommit(panel, "FifoChannelCheck1");
    OperateCommit(panel, "FifoChannelCheck2");
    OperateCommit(panel, "FifoNextButton");
    for (const auto& [entry, path] : {std::pair{0, first}, std::pair{1, second}}) {
        OperateSelect(panel, "FifoChannelSelector", entry);
        QueueFileSelection(path);
        OperateCommit(panel, "FifoFileButton");
        OperateCommit(panel, "FifoAddButton");
    }
    SetCtrlVal(panel, "FifoPeriodsField", kPeriods);

    // A timer the interface serves whenever it handles events: the longest gap between its firings
    // is the longest the operator waited.
    QElapsedTimer sinceService;
    qint64 longestGap = 0;
    QTimer service;
    service.setInterval(1);
    QObject::connect(&service, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, sinceService.restart()); });

    double sendSeconds = 0.0;
    double playSeconds = 0.0;
    for (auto _ : state) {
        ClearCapturedPopups();
        service.start();
        sinceService.start();
        const auto on = Clock::now();
        OperateCommit(panel, "FifoRunSwitch");
        const auto sent = Clock::now();
        service.stop();
        while (!fifoEmpty()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto played = Clock::now();
        OperateCommit(panel, "FifoRunSwitch");  // off: abort
        sendSeconds = std::chrono::duration<double>(sent - on).count();
        playSeconds = std::chrono::duration<double>(played - on).count();
        state.SetIterationTime(sendSeconds);
    }
    state.counters["send_s"] = sendSeconds;
    state.counters["play_s"] = playSeconds;
    state.counters["send/play"] = sendSeconds / playSeconds;
    state.counters["longest_wait/play"] = static_cast<double>(longestGap) / 1000.0 / playSeconds;
    OperateCommit(panel, "FifoCloseButton");
    std::filesystem::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv(kFormDirectoryVariable, SFP_FORM_DIR, 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SetPopupCapture(true);
    // The bus trace is the simulator's test instrument: left on, it would copy every word streamed.
    kqvisa::setTraceRecording(false);
    if (const ViStatus status = StartFrontPanel(); status != VI_SUCCESS) {
        std::fprintf(stderr, "the front panel did not start: status 0x%08X\n", static_cast<unsigned>(status));
        return 1;
    }
    benchmark::RegisterBenchmark("fifo_panel/stream_2x1000_samples_1000_periods", fifoStream)
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    kq7120_close(frontPanel().instrHandle);
    benchmark::Shutdown();
    return 0;
}

#include "output_view.h"

#include <QChart>
#include <QChartView>
#include <QLayout>
#include <QLineSeries>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "decimal_text.h"
#include "front_panel_state.h"
#include "output_trace.h"
#include "panel_layout.h"
#include "simulator_link.h"
#include "user_interface.h"

namespace {

// About 20 refreshes a second.
constexpr int kRefreshMilliseconds = 50;
// The simulator keeps this many recent samples per channel.
constexpr int kSamplesKept = 4096;
// Entries of the window ring, in its order.
constexpr std::array<double, 13> kWindowSeconds = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1,
                                                   0.2,   0.5,   1.0,   2.0,  5.0,  10.0};

struct OutputView {
    int panel = 0;
    SimulatorLink link;
    QPointer<QChart> chart;
    QValueAxis* timeAxis = nullptr;
    QValueAxis* voltsAxis = nullptr;
    std::array<QLineSeries*, kChannelControlCount> series{};
    std::vector<double> times = std::vector<double>(kSamplesKept);
    std::vector<double> volts = std::vector<double>(kSamplesKept);
};

OutputView view;

std::string secondsText(double seconds) {
    std::array<char, 32> text{};
    const auto end =
        std::to_chars(text.data(), text.data() + text.size(), seconds, std::chars_format::fixed, 3).ptr;
    return std::string(text.data(), end);
}

std::string channelName(int channel) { return std::string("CH ") + decimalText(channel); }

// The chosen module's place in the last chassis scan.
std::optional<int> chosenModule() {
    int index = -1;
    if (GetCtrlVal(view.panel, layout::kOutputViewModule, &index) < 0 || index < 0 ||
        index >= frontPanel().moduleCount)
        return std::nullopt;
    return index;
}

double chosenWindow() {
    int index = 0;
    GetCtrlVal(view.panel, layout::kOutputViewWindow, &index);
    return kWindowSeconds[static_cast<std::size_t>(std::clamp<int>(index, 0, kWindowSeconds.size() - 1))];
}

void fillModuleRing() {
    const FrontPanelState& state = frontPanel();
    ClearListCtrl(view.panel, layout::kOutputViewModule);
    for (int i = 0; i < state.moduleCount; ++i) {
        const char* model = state.moduleModel[i] == kq7120_KQ7110 ? "KQ7110" : "KQ7120";
        const std::string label = std::string(model) + " - LA " + decimalText(state.moduleLogicalAddress[i]) +
                                  ", slot " + decimalText(state.moduleSlot[i]);
        InsertListItem(view.panel, layout::kOutputViewModule, -1, label.c_str(), i);
    }
    const int connected =
        state.selectedModule >= 0 && state.selectedModule < state.moduleCount ? state.selectedModule : 0;
    if (state.moduleCount > 0) SetCtrlVal(view.panel, layout::kOutputViewModule, connected);
}

void buildChart() {
    QWidget* plot = GetCtrlWidget(view.panel, layout::kOutputViewPlot);
    if (plot == nullptr) return;
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(4, 4, 4, 4));
    view.timeAxis = new QValueAxis(chart);
    view.voltsAxis = new QValueAxis(chart);
    view.voltsAxis->setTitleText("Volts");
    chart->addAxis(view.timeAxis, Qt::AlignBottom);
    chart->addAxis(view.voltsAxis, Qt::AlignLeft);
    for (int channel = 1; channel <= kChannelControlCount; ++channel) {
        auto* series = new QLineSeries(chart);
        series->setName(QString::fromStdString(channelName(channel)));
        chart->addSeries(series);
        series->attachAxis(view.timeAxis);
        series->attachAxis(view.voltsAxis);
        view.series[static_cast<std::size_t>(channel - 1)] = series;
    }
    auto* chartView = new QChartView(chart, plot);
    chartView->setObjectName("OutputChart");
    chartView->setRenderHint(QPainter::Antialiasing, false);
    plot->layout()->addWidget(chartView);
    view.chart = chart;

    auto* timer = new QTimer(plot);
    QObject::connect(timer, &QTimer::timeout, plot, [] { RefreshOutputView(); });
    timer->start(kRefreshMilliseconds);
}

struct AxisRange {
    double bottom = -1.0;
    double top = 1.0;
    int ticks = 3;
};

// Volts axis bounds around what is drawn, on a step of 1, 2 or 5 times a power of ten that gives
// at most ten intervals.
AxisRange voltsRange(double low, double high) {
    if (low > high) return {};
    const double span = std::max(high - low, 0.1);
    double step = std::pow(10.0, std::floor(std::log10(span / 10.0)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (span / (step * factor) <= 8.0) {
            step *= factor;
            break;
        }
    }
    const double bottom = (std::floor(low / step) - 1.0) * step;
    const double top = (std::ceil(high / step) + 1.0) * step;
    return {bottom, top, static_cast<int>(std::lround((top - bottom) / step)) + 1};
}

// Changes an axis only when its range differs: every change makes the chart lay out all its series
// again, which would cost more than the rest of a refresh.
void setAxis(QValueAxis* axis, const AxisRange& range) {
    if (axis->min() != range.bottom || axis->max() != range.top) axis->setRange(range.bottom, range.top);
    if (axis->tickCount() != range.ticks) axis->setTickCount(range.ticks);
}

void setAxisTitle(QValueAxis* axis, const char* title) {
    if (axis->titleText() != QLatin1String(title)) axis->setTitleText(title);
}

// Beside the main panel when the screen has room, so the window hides none of its controls.
void placeBesideMainPanel() {
    QWidget* mainControl = GetCtrlWidget(frontPanel().mainPanel, layout::kExitButton);
    QWidget* plot = GetCtrlWidget(view.panel, layout::kOutputViewPlot);
    if (mainControl == nullptr || plot == nullptr || plot->window()->screen() == nullptr) return;
    const QRect mainFrame = mainControl->window()->frameGeometry();
    QWidget* window = plot->window();
    const QRect room = window->screen()->availableGeometry();
    const QPoint beside(mainFrame.right() + 8, mainFrame.top());
    if (room.contains(QRect(beside, window->frameGeometry().size()))) window->move(beside);
}

void closeView() {
    DiscardPanel(view.panel);
    view = OutputView{};
}

}  // namespace

void mnuSimulatedOutputs(int, const char*, int) {
    if (outputViewPanel() != 0) {
        SetActivePanel(view.panel);
        return;
    }
    const auto link = simulatorLink();
    if (!link) return;
    const int panel = LoadPanel(frontPanel().mainPanel, layout::kOutputViewForm);
    if (panel < 0) {
        MessagePopup("ERROR", "Error loading the Simulated Outputs Panel");
        return;
    }
    view.panel = panel;
    view.link = *link;
    SetPanelAttribute(panel, UI_ATTR_CLOSE_CTRL, layout::kOutputViewCloseButton);
    fillModuleRing();
    buildChart();
    DisplayPanel(panel);
    placeBesideMainPanel();
    RefreshOutputView();
}

int OutputViewPanel(int, int event) {
    if (event == UI_EVENT_CLOSE) closeView();
    return 0;
}

int OutputViewClose(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) closeView();
    return 0;
}

int OutputViewSettings(int, const char*, int event, int, int*) {
    if (event == UI_EVENT_COMMIT) RefreshOutputView();
    return 0;
}

int outputViewPanel() { return IsPanelLoaded(view.panel) == 1 ? view.panel : 0; }

void RefreshOutputView() {
    if (outputViewPanel() == 0 || view.chart.isNull()) return;
    const FrontPanelState& state = frontPanel();
    const auto module = chosenModule();
    const double now = view.link.chassisTime();
    if (!module || now < 0.0) {
        for (QLineSeries* series : view.series) series->clear();
        SetCtrlVal(view.panel, layout::kOutputViewStatus,
                   !module ? "No module to show" : "No chassis answers");
        return;
    }
    const int channels = state.moduleModel[static_cast<std::size_t>(*module)] == kq7120_KQ7110 ? 8 : 16;
    const double window = chosenWindow();
    // Milliseconds up to a second, seconds beyond; 0 is now.
    const double scale = window < 1.0 ? 1000.0 : 1.0;
    // Columns two pixels wide: what the eye sees of a dense signal, at half the points to lay out.
    const int columns = std::max(view.chart->plotArea().toRect().width() / 2, 50);

    double low = 0.0;
    double high = 0.0;
    bool drawn = false;
    for (int channel = 1; channel <= kChannelControlCount; ++channel) {
        QLineSeries* series = view.series[static_cast<std::size_t>(channel - 1)];
        const std::string box = std::string(layout::kOutputViewChannelPrefix) + decimalText(channel);
        int chosen = 0;
        GetCtrlVal(view.panel, box.c_str(), &chosen);
        SetCtrlAttribute(view.panel, box.c_str(), UI_ATTR_DIMMED, channel > channels ? 1 : 0);
        const int count =
            chosen != 0 && channel <= channels
                ? view.link.readChannelOutput(static_cast<unsigned>(state.moduleInterfaceNumber[*module]),
                                              static_cast<unsigned>(state.moduleLogicalAddress[*module]),
                                              channel, view.times.data(), view.volts.data(), kSamplesKept)
                : 0;
        QList<QPointF> points =
            outputTrace({{view.times.data(), static_cast<std::size_t>(std::max(count, 0))},
                         {view.volts.data(), static_cast<std::size_t>(std::max(count, 0))},
                         now - window,
                         now,
                         columns});
        for (QPointF& point : points) {
            point.setX((point.x() - now) * scale);
            low = drawn ? std::min(low, point.y()) : point.y();
            high = drawn ? std::max(high, point.y()) : point.y();
            drawn = true;
        }
        const bool shown = chosen != 0 && channel <= channels;
        if (shown || series->count() > 0) series->replace(points);
        if (series->isVisible() != shown) series->setVisible(shown);
    }
    setAxis(view.timeAxis, {-window * scale, 0.0, 11});
    setAxisTitle(view.timeAxis, scale > 1.0 ? "Time before now (ms)" : "Time before now (s)");
    setAxis(view.voltsAxis, drawn ? voltsRange(low, high) : AxisRange{});
    const std::string status = "Simulated time " + secondsText(now) + " s";
    SetCtrlVal(view.panel, layout::kOutputViewStatus, status.c_str());
}

void ShowSimulatorPresence() {
    const FrontPanelState& state = frontPanel();
    const std::string note = simulatedChassisNote();
    SetCtrlVal(state.mainPanel, layout::kSimulatedChassisNote, note.c_str());
    SetMenuBarAttribute(state.mainMenuBar, layout::kSimulatedOutputsEntry, UI_ATTR_VISIBLE,
                        note.empty() ? 0 : 1);
}

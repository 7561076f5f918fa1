#include <QProgressBar>
#include <algorithm>
#include <limits>

#include "panel_registry.h"
#include "ui_codes.h"
#include "ui_plots.h"
#include "waveform_graph.h"

namespace {

template <typename Widget>
int lookUp(const char* operation, int panel, const char* control, Widget** widget) {
    QWidget* found = nullptr;
    if (const int status = sfpui::lookUpControl(operation, panel, control, &found); status < 0) return status;
    *widget = qobject_cast<Widget*>(found);
    return *widget != nullptr ? UI_SUCCESS : UI_ERR_WRONG_TYPE;
}

// A progress bar counts in int: large totals are scaled down together with the count.
constexpr long long kProgressScale = std::numeric_limits<int>::max();

}  // namespace

int PlotWaveform(int panel, const char* control, const double* values, int count) {
    WaveformGraph* graph = nullptr;
    if (const int status = lookUp("PlotWaveform", panel, control, &graph); status < 0) return status;
    if (count < 0 || (count > 0 && values == nullptr)) return UI_ERR_INDEX_OUT_OF_RANGE;
    graph->plot(std::vector<double>(values, values + count));
    return UI_SUCCESS;
}

int GetPlotValues(int panel, const char* control, std::vector<double>* values) {
    WaveformGraph* graph = nullptr;
    if (const int status = lookUp("GetPlotValues", panel, control, &graph); status < 0) return status;
    *values = graph->values();
    return UI_SUCCESS;
}

int SetProgress(int panel, const char* control, long long done, long long total) {
    QProgressBar* bar = nullptr;
    if (const int status = lookUp("SetProgress", panel, control, &bar); status < 0) return status;
    total = std::max(total, 0LL);
    done = std::clamp(done, 0LL, total);
    const long long divisor = total / kProgressScale + 1;
    bar->setRange(0, static_cast<int>(total / divisor));
    bar->setValue(static_cast<int>(done / divisor));
    bar->setProperty("sfpui_done", done);
    bar->setProperty("sfpui_total", total);
    return UI_SUCCESS;
}

int GetProgress(int panel, const char* control, long long* done, long long* total) {
    QProgressBar* bar = nullptr;
    if (const int status = lookUp("GetProgress", panel, control, &bar); status < 0) return status;
    *done = bar->property("sfpui_done").toLongLong();
    *total = bar->property("sfpui_total").toLongLong();
    return UI_SUCCESS;
}

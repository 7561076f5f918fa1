#include <span>

#include "graph_control.h"
#include "panel_registry.h"
#include "ui_codes.h"
#include "ui_graphs.h"

namespace {

int lookUpGraph(const char* operation, int panel, const char* control, GraphControl** graph) {
    QWidget* widget = nullptr;
    if (const int status = sfpui::lookUpControl(operation, panel, control, &widget); status < 0)
        return status;
    *graph = qobject_cast<GraphControl*>(widget);
    return *graph != nullptr ? UI_SUCCESS : UI_ERR_WRONG_TYPE;
}

}  // namespace

int PlotValues(int panel, const char* control, const double* values, int count) {
    GraphControl* graph = nullptr;
    if (const int status = lookUpGraph("PlotValues", panel, control, &graph); status < 0) return status;
    if (count < 0 || (count > 0 && values == nullptr)) return UI_ERR_INDEX_OUT_OF_RANGE;
    graph->plot(std::span<const double>(values, static_cast<std::size_t>(count)));
    return UI_SUCCESS;
}

int SetGraphMarker(int panel, const char* control, double x, const char* label) {
    GraphControl* graph = nullptr;
    if (const int status = lookUpGraph("SetGraphMarker", panel, control, &graph); status < 0) return status;
    graph->setMarker(x, QString::fromUtf8(label != nullptr ? label : ""));
    return UI_SUCCESS;
}

int GetGraphPointCount(int panel, const char* control, int* count) {
    GraphControl* graph = nullptr;
    if (const int status = lookUpGraph("GetGraphPointCount", panel, control, &graph); status < 0)
        return status;
    *count = graph->pointCount();
    return UI_SUCCESS;
}

int GetGraphPoint(int panel, const char* control, int index, double* value) {
    GraphControl* graph = nullptr;
    if (const int status = lookUpGraph("GetGraphPoint", panel, control, &graph); status < 0) return status;
    if (index < 0 || index >= graph->pointCount()) return UI_ERR_INDEX_OUT_OF_RANGE;
    *value = graph->pointValue(index);
    return UI_SUCCESS;
}

int GetGraphMarker(int panel, const char* control, double* x) {
    GraphControl* graph = nullptr;
    if (const int status = lookUpGraph("GetGraphMarker", panel, control, &graph); status < 0) return status;
    *x = graph->markerPosition();
    return UI_SUCCESS;
}

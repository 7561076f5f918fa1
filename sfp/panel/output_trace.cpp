#include "output_trace.h"

#include <algorithm>
#include <cmath>

namespace {

void addStep(QList<QPointF>& points, double time, double volts) {
    if (!points.isEmpty()) points.append({time, points.back().y()});
    points.append({time, volts});
}

}  // namespace

QList<QPointF> outputTrace(const OutputTraceInput& input) {
    QList<QPointF> points;
    const std::size_t count = std::min(input.times.size(), input.volts.size());
    if (count == 0 || input.now <= input.windowStart) return points;
    // The first sample that counts: the last one at or before the window's start, else the oldest.
    const auto first = std::upper_bound(input.times.begin(), input.times.begin() + count, input.windowStart);
    std::size_t begin =
        first == input.times.begin() ? 0 : static_cast<std::size_t>(first - input.times.begin()) - 1;
    const auto end = static_cast<std::size_t>(
        std::upper_bound(input.times.begin(), input.times.begin() + count, input.now) - input.times.begin());
    if (begin >= end) return points;

    // A held sample takes two points; past half a column each, a column is its lowest and highest
    // level, which is all its pixels can show.
    const int columns = std::max(input.columns, 1);
    if (end - begin <= static_cast<std::size_t>(columns) / 2) {
        for (std::size_t i = begin; i < end; ++i)
            addStep(points, std::max(input.times[i], input.windowStart), input.volts[i]);
    } else {
        const double columnWidth = (input.now - input.windowStart) / columns;
        std::size_t i = begin;
        while (i < end) {
            const double x = std::max(input.times[i], input.windowStart);
            const double columnEnd =
                input.windowStart + (std::floor((x - input.windowStart) / columnWidth) + 1) * columnWidth;
            double low = input.volts[i];
            double high = input.volts[i];
            std::size_t j = i + 1;
            for (; j < end && input.times[j] < columnEnd; ++j) {
                low = std::min(low, input.volts[j]);
                high = std::max(high, input.volts[j]);
            }
            points.append({x, low});
            points.append({x, high});
            i = j;
        }
    }
    points.append({input.now, points.back().y()});
    return points;
}

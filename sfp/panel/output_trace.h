// The line a channel's output draws in the output view: each sample held until the next one, as
// the DAC holds it, cut to the time window shown and thinned to what the plot's width can show.
#pragma once

#include <QList>
#include <QPointF>
#include <span>

struct OutputTraceInput {
    std::span<const double> times;  // seconds, oldest first
    std::span<const double> volts;
    double windowStart = 0.0;  // seconds
    double now = 0.0;          // the window's end
    int columns = 1000;        // the plot's width in pixels
};

// Points (seconds, volts) of the held output from windowStart (or the first sample, when later) to
// now. The sample before the window gives the level at its start. When more samples fall inside
// than one per two columns, each column is drawn as its lowest and highest level.
QList<QPointF> outputTrace(const OutputTraceInput& input);

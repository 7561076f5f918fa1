#include "waveform_graph.h"

#include <QChart>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

// Sample numbers are whole: ticks every 1, 2 or 5 times a power of ten, about four steps over the axis.
void setSampleAxis(QValueAxis* axis, double last) {
    axis->setRange(0, last);
    const double wanted = std::max(last / 4, 1.0);
    const double power = std::pow(10.0, std::floor(std::log10(wanted)));
    double step = power;
    for (const double factor : {2.0, 5.0})
        if (power * factor <= wanted) step = power * factor;
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
}

}  // namespace

// The view is made with its chart: a chart given later replaces one the view would release, not delete.
WaveformGraph::WaveformGraph(QWidget* parent)
    : QChartView(new QChart, parent),
      series_(new QLineSeries),
      xAxis_(new QValueAxis),
      yAxis_(new QValueAxis) {
    QChart* chart = this->chart();
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->addSeries(series_);
    xAxis_->setLabelFormat(QStringLiteral("%d"));
    yAxis_->setLabelFormat(QStringLiteral("%.5g"));
    chart->addAxis(xAxis_, Qt::AlignBottom);
    chart->addAxis(yAxis_, Qt::AlignLeft);
    series_->attachAxis(xAxis_);
    series_->attachAxis(yAxis_);
    setRenderHint(QPainter::Antialiasing);
    setFocusPolicy(Qt::NoFocus);
    plot({});
}

void WaveformGraph::plot(const std::vector<double>& values) {
    values_ = values;
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i) points.append(QPointF(static_cast<double>(i), values[i]));
    series_->replace(points);
    setSampleAxis(xAxis_, std::max<double>(1, static_cast<double>(values.size()) - 1));
    if (values.empty()) {
        yAxis_->setRange(-1, 1);
        return;
    }
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const double margin = *high > *low ? (*high - *low) * 0.05 : 1.0;
    yAxis_->setRange(*low - margin, *high + margin);
}

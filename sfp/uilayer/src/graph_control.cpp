#include "graph_control.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

GraphControl::GraphControl(QWidget* parent)
    : QWidget(parent),
      chart_(new QChart),
      view_(new QChartView(chart_, this)),
      values_(new QLineSeries(chart_)),
      marker_(new QLineSeries(chart_)),
      xAxis_(new QValueAxis(chart_)),
      yAxis_(new QValueAxis(chart_)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setFocusPolicy(Qt::NoFocus);
    chart_->legend()->setVisible(false);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chart_->addSeries(values_);
    chart_->addSeries(marker_);
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    for (QLineSeries* series : {values_, marker_}) {
        series->attachAxis(xAxis_);
        series->attachAxis(yAxis_);
    }
    QPen markerPen(QColor(0xC0, 0x30, 0x30));
    markerPen.setStyle(Qt::DashLine);
    markerPen.setWidth(2);
    marker_->setPen(markerPen);
    xAxis_->setLabelFormat(QStringLiteral("%d"));
    yAxis_->setLabelFormat(QStringLiteral("%.1f"));
    fitAxes();
}

QString GraphControl::xTitle() const { return xAxis_->titleText(); }
void GraphControl::setXTitle(const QString& title) { xAxis_->setTitleText(title); }
QString GraphControl::yTitle() const { return yAxis_->titleText(); }
void GraphControl::setYTitle(const QString& title) { yAxis_->setTitleText(title); }

void GraphControl::plot(std::span<const double> values) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i)
        if (std::isfinite(values[i])) points.append(QPointF(static_cast<double>(i + 1), values[i]));
    values_->replace(points);
    fitAxes();
}

void GraphControl::setMarker(double x, const QString& label) {
    markerX_ = std::isfinite(x) && x > 0.0 ? x : 0.0;
    marker_->setName(label);
    fitAxes();
}

int GraphControl::pointCount() const { return static_cast<int>(values_->count()); }
double GraphControl::pointValue(int index) const { return values_->at(index).y(); }
double GraphControl::markerPosition() const { return markerX_; }

QSize GraphControl::sizeHint() const { return {320, 220}; }

void GraphControl::fitAxes() {
    const QList<QPointF> points = values_->points();
    double low = -1.0;
    double high = 1.0;
    if (!points.isEmpty()) {
        const auto [least, most] = std::minmax_element(
            points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
        low = std::min(least->y(), 0.0);
        high = std::max(most->y(), 0.0);
        const double room = std::max((high - low) * 0.05, 0.5);
        low -= room;
        high += room;
    }
    xAxis_->setRange(1.0, std::max(2.0, static_cast<double>(points.size())));
    yAxis_->setRange(low, high);
    yAxis_->applyNiceNumbers();
    if (markerX_ > 0.0)
        marker_->replace({QPointF(markerX_, yAxis_->min()), QPointF(markerX_, yAxis_->max())});
    else
        marker_->clear();
}

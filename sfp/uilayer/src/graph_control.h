// A plot of values against their 1-based index, with an optional vertical marker line (a scan
// limit, say). Forms use it as the custom widget GraphControl.
#pragma once

#include <QString>
#include <QWidget>
#include <span>

class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

class GraphControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString xTitle READ xTitle WRITE setXTitle)
    Q_PROPERTY(QString yTitle READ yTitle WRITE setYTitle)

public:
    explicit GraphControl(QWidget* parent = nullptr);

    QString xTitle() const;
    void setXTitle(const QString& title);
    QString yTitle() const;
    void setYTitle(const QString& title);

    void plot(std::span<const double> values);
    // Marker at index `x` named `label`; x <= 0 removes it.
    void setMarker(double x, const QString& label);

    int pointCount() const;
    double pointValue(int index) const;  // 0-based
    double markerPosition() const;       // 0 without a marker

    QSize sizeHint() const override;

private:
    void fitAxes();

    QChart* chart_;
    QChartView* view_;
    QLineSeries* values_;
    QLineSeries* marker_;
    QValueAxis* xAxis_;
    QValueAxis* yAxis_;
    double markerX_ = 0.0;
};

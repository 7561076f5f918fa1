// A small line plot of one waveform (Qt Charts): y values against their index.
#pragma once

#include <QChartView>
#include <vector>

class QLineSeries;
class QValueAxis;

class WaveformGraph : public QChartView {
    Q_OBJECT

public:
    explicit WaveformGraph(QWidget* parent = nullptr);

    // Replaces the plot; an empty set clears it.
    void plot(const std::vector<double>& values);
    std::vector<double> values() const { return values_; }

private:
    QLineSeries* series_;
    QValueAxis* xAxis_;
    QValueAxis* yAxis_;
    std::vector<double> values_;
};

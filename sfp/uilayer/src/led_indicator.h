// A round indicator lamp: lit in its colour when on, dark when off.
#pragma once

#include <QColor>
#include <QWidget>

class LedIndicator : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool on READ isOn WRITE setOn)
    Q_PROPERTY(QColor onColor READ onColor WRITE setOnColor)

public:
    explicit LedIndicator(QWidget* parent = nullptr);

    bool isOn() const { return on_; }
    void setOn(bool on);
    QColor onColor() const { return onColor_; }
    void setOnColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool on_ = false;
    QColor onColor_{0x20, 0xD0, 0x20};
};

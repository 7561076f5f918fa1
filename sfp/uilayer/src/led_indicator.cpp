#include "led_indicator.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

LedIndicator::LedIndicator(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void LedIndicator::setOn(bool on) {
    if (on_ != on) {
        on_ = on;
        update();
    }
}

void LedIndicator::setOnColor(const QColor& color) {
    onColor_ = color;
    update();
}

QSize LedIndicator::sizeHint() const { return {22, 22}; }
QSize LedIndicator::minimumSizeHint() const { return {14, 14}; }

void LedIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal diameter = std::min(width(), height()) - 2.0;
    const QRectF lamp((width() - diameter) / 2.0, (height() - diameter) / 2.0, diameter, diameter);

    QColor base = on_ ? onColor_ : onColor_.darker(420);
    if (!isEnabled()) base = QColor::fromHsv(base.hue(), base.saturation() / 4, base.value());
    QRadialGradient glow(lamp.center() - QPointF(diameter / 6.0, diameter / 6.0), diameter / 1.6);
    glow.setColorAt(0.0, on_ ? base.lighter(170) : base.lighter(130));
    glow.setColorAt(1.0, base);
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.2));
    painter.setBrush(glow);
    painter.drawEllipse(lamp);
}

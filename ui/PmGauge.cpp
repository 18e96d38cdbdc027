#include "ui/PmGauge.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <climits>

namespace {

[[noreturn]] void throwRange(int low, int high) {
    throw EGaugeRangeError(
        QStringLiteral("Value must be between %1 and %2").arg(low).arg(high).toStdString());
}

} // namespace

TPmGauge::TPmGauge(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(100, 100);
}

int TPmGauge::PercentDone() const {
    if (m_max == m_min)
        return 0;
    return int(qint64(100) * (qint64(m_progress) - m_min) / (qint64(m_max) - m_min));
}

void TPmGauge::setMinValue(int value) {
    if (value == m_min)
        return;
    if (value > m_max)
        throwRange(-INT_MAX, m_max - 1);
    m_min = value;
    if (m_progress < value)
        m_progress = value;
    update();
}

void TPmGauge::setMaxValue(int value) {
    if (value == m_max)
        return;
    if (value < m_min)
        throwRange(m_min + 1, INT_MAX);
    m_max = value;
    if (m_progress > value)
        m_progress = value;
    update();
}

void TPmGauge::setProgress(int value) {
    value = std::clamp(value, m_min, m_max);
    if (value == m_progress)
        return;
    const int before = PercentDone();
    m_progress = value;
    if (PercentDone() != before)
        update();
}

void TPmGauge::setShowText(bool on) {
    if (on != m_showText) {
        m_showText = on;
        update();
    }
}

void TPmGauge::setBorderStyle(TBorderStyle style) {
    if (style != m_border) {
        m_border = style;
        update();
    }
}

void TPmGauge::setForeColor(const QColor &color) {
    if (color != m_fore) {
        m_fore = color;
        update();
    }
}

void TPmGauge::setBackColor(const QColor &color) {
    if (color != m_back) {
        m_back = color;
        update();
    }
}

QImage TPmGauge::render() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    QRect inner = rect();
    if (m_border == bsSingle)
        inner.adjust(1, 1, -1, -1);
    p.fillRect(inner, m_back);
    const int percent = PercentDone();
    const int w = inner.right() - inner.left() + 1;
    const int a = int(qint64(w) * percent / 100);
    const int barEnd = std::min(w, a);
    if (barEnd > inner.left())
        p.fillRect(QRect(inner.left(), inner.top(), barEnd - inner.left(), inner.height()), m_fore);
    if (m_showText) {
        const QString label = QString::asprintf("%d%%", percent);
        const QFontMetrics fm(font());
        const int labelWidth = fm.horizontalAdvance(label);
        const int labelHeight = fm.height();
        if (a >= labelWidth + 2) {
            const int x = (a + 1 - inner.left() - labelWidth) / 2;
            const int y = (inner.bottom() - inner.top() - labelHeight + 1) / 2;
            p.setClipRect(inner);
            p.setFont(font());
            p.setPen(Qt::white);
            p.drawText(QRect(x, y, labelWidth, labelHeight), Qt::AlignLeft | Qt::AlignTop, label);
        }
    }
    return image;
}

void TPmGauge::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.drawImage(0, 0, render());
}

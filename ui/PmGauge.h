#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <stdexcept>

// What setting MinValue above MaxValue, or MaxValue below MinValue, throws.
class EGaugeRangeError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// The progress bar of the progress window: a framed bar with the percentage on it.
class TPmGauge : public QWidget {
    Q_OBJECT
public:
    enum TBorderStyle { bsNone, bsSingle };

    explicit TPmGauge(QWidget *parent = nullptr);

    int MinValue() const { return m_min; }
    int MaxValue() const { return m_max; }
    int Progress() const { return m_progress; }
    // Throws EGaugeRangeError when above MaxValue; raises Progress to it when needed.
    void setMinValue(int value);
    // Throws EGaugeRangeError when below MinValue; lowers Progress to it when needed.
    void setMaxValue(int value);
    // Clamped into [MinValue, MaxValue]; repaints only when the percentage changes.
    void setProgress(int value);
    void AddProgress(int value) { setProgress(m_progress + value); }

    bool ShowText() const { return m_showText; }
    void setShowText(bool on);
    TBorderStyle BorderStyle() const { return m_border; }
    void setBorderStyle(TBorderStyle style);
    QColor ForeColor() const { return m_fore; }
    void setForeColor(const QColor &color);
    QColor BackColor() const { return m_back; }
    void setBackColor(const QColor &color);

    // trunc(100 * (Progress - MinValue) / (MaxValue - MinValue)); 0 for an empty range.
    int PercentDone() const;
    // The control's picture, made off screen and drawn in one piece.
    QImage render() const;

    QSize sizeHint() const override { return QSize(100, 100); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_min = 0;
    int m_max = 100;
    int m_progress = 0;
    bool m_showText = true;
    TBorderStyle m_border = bsSingle;
    QColor m_fore = Qt::black;
    QColor m_back = Qt::white;
};

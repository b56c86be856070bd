#pragma once
// A gauge: the part of the bar from the minimum to the current value is drawn in ForeColor, the rest in
// BackColor. Vertical bars grow upwards, horizontal bars to the right. A pie fills its circle clockwise from
// 12 o'clock; a needle turns over a half dial from the left (minimum) to the right (maximum). Level meters
// use it.
#include <QColor>
#include <QWidget>

class QPainter;

class Gauge : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int Progress READ Progress WRITE setProgress NOTIFY progressChanged)
    Q_PROPERTY(Kind kind READ kind WRITE setKind)

public:
    enum Kind { HorizontalBar, VerticalBar, Pie, Needle };
    Q_ENUM(Kind)

    explicit Gauge(Kind kind = VerticalBar, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }
    void setKind(Kind kind);
    int MinValue() const { return m_min; }
    void setMinValue(int value);
    int MaxValue() const { return m_max; }
    void setMaxValue(int value);
    void setRange(int min, int max);
    // Clamped to MinValue..MaxValue.
    int Progress() const { return m_progress; }
    void setProgress(int value);

    QColor ForeColor() const { return m_fore; }
    void setForeColor(const QColor &color);
    QColor BackColor() const { return m_back; }
    void setBackColor(const QColor &color);
    // A one-pixel border in this colour; an invalid colour draws none.
    QColor BorderColor() const { return m_border; }
    void setBorderColor(const QColor &color);

    // How many pixels of a bar `length` pixels long the current value fills.
    int filledLength(int length) const;
    // The share of the range the current value stands for, 0..1.
    double fraction() const;

    QSize sizeHint() const override;

signals:
    void progressChanged(int value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintPie(QPainter &painter, const QRect &box);
    void paintNeedle(QPainter &painter, const QRect &box);
    QRect barRect() const;
    // What a bar shows of the current value: the pixels it fills (-1 for the kinds that are drawn
    // at any angle).
    int drawnLength() const;

    Kind m_kind;
    int m_min = 0;
    int m_max = 100;
    int m_progress = 0;
    QColor m_fore = QColor(0, 200, 0);
    QColor m_back = Qt::black;
    QColor m_border;
};

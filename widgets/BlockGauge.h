#pragma once
// A vertical level meter of separate blocks, filling upwards: blocks below the low limit in the low colour,
// between the limits in the bar colour, from the high limit on in the high colour; the rest of the meter
// in the control colour.
#include <QColor>
#include <QWidget>

class BlockGauge : public QWidget
{
    Q_OBJECT

public:
    static constexpr int BlockGap = 1;

    explicit BlockGauge(QWidget *parent = nullptr);

    void setRange(int min, int max);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    // Clamped to the range.
    void setProgress(int value);
    int Progress() const { return m_progress; }

    void setBlockSize(int pixels);
    int blockSize() const { return m_blockSize; }
    void setLowLimit(int value);
    int lowLimit() const { return m_low; }
    void setHighLimit(int value);
    int highLimit() const { return m_high; }

    void setLowColor(const QColor &color);
    QColor lowColor() const { return m_lowColor; }
    // The colour between the limits.
    void setBarColor(const QColor &color);
    QColor barColor() const { return m_barColor; }
    void setHighColor(const QColor &color);
    QColor highColor() const { return m_highColor; }
    void setControlColor(const QColor &color);
    QColor controlColor() const { return m_controlColor; }

    // How many blocks fit in the meter, and how many of them the current value lights.
    int blockCount() const;
    int filledBlocks() const;
    // The colour of block `index` (0 at the bottom) when lit.
    QColor blockColor(int index) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_min = 0;
    int m_max = 180;
    int m_progress = 0;
    int m_blockSize = 3;
    int m_low = 30;
    int m_high = 150;
    QColor m_lowColor = QColor(0, 255, 0);
    QColor m_barColor = QColor(255, 255, 0);
    QColor m_highColor = QColor(255, 0, 0);
    QColor m_controlColor = Qt::black;
};

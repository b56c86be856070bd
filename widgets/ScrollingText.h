#pragma once
// The song title panel: its lines are drawn centred, one under the other, and roll upwards a few pixels
// every ScrollInterval ms; after the last line the first comes round again. A click is only reported: the
// owner decides whether that starts or stops the scrolling.
#include "widgets/ClickTracker.h"
#include <QColor>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class ScrollingText : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ScrollInterval = 200;
    static constexpr int ScrollStep = 2;

    explicit ScrollingText(QWidget *parent = nullptr);

    // New lines start again at the top; appended lines keep the scroll position.
    void setLines(const QStringList &lines);
    void appendLines(const QStringList &lines);
    QStringList lines() const { return m_lines; }

    QColor backColor() const { return m_back; }
    void setBackColor(const QColor &color);
    // Until set, black or white, whichever stands out better against the back colour.
    QColor textColor() const;
    void setTextColor(const QColor &color);
    void setPointSize(int points);

    void setScrolling(bool on);
    bool isScrolling() const { return m_scrolling; }
    // Pixels the lines have rolled up, 0 .. scrollPeriod() - 1.
    int scrollOffset() const { return m_offset; }
    // Pixels after which the picture repeats: the height of all lines, at least the panel's height.
    int scrollPeriod() const;

public slots:
    // One scroll step, as the timer does it.
    void advance();

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int lineHeight() const;
    void updateTimer();
    // The lines drawn once on the back colour, a whole period high: a scroll step then only moves pixels
    // instead of laying the text out again. Dropped on every change of what it shows.
    void dropStrip();
    bool stripFits() const;
    void drawLines(QPainter &painter, int top, int bottom) const;

    QStringList m_lines;
    QColor m_back = Qt::black;
    QColor m_text;
    bool m_scrolling = true;
    int m_offset = 0;
    ClickTracker m_click;
    QTimer m_timer;
    QPixmap m_strip;
};

#pragma once
// The song title panel drawn from a character font: a picture of 16 x 6 cells of equal size holding the
// characters 32 to 127 row by row (space first); other characters show as their unaccented letter, or as
// "?". Its lines behave as ScrollingText's: drawn centred one under the other, rolling upwards ScrollStep
// pixels every ScrollInterval ms, the first line again after the last, a click only reported. A line wider
// than the panel holds the roll while it stands at the top and slides left until its end has been seen.
// Glyphs keep their own size; the back colour fills around them.
#include "widgets/ClickTracker.h"
#include <QColor>
#include <QImage>
#include <QList>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class GlyphTitle : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Columns = 16;
    static constexpr int Rows = 6;
    static constexpr int FirstCharacter = 32;
    static constexpr int ScrollInterval = 200;
    static constexpr int ScrollStep = 2;
    // Steps a wide line rests at its start and at its end, so both can be read.
    static constexpr int HoldSteps = 5;
    // Steps every line rests at the top of a panel only one line high (a classic skin's title).
    static constexpr int ReadSteps = 12;
    // Longer lines are cut: a tag is never longer, and a line is never drawn longer than this.
    static constexpr int MaxLineCharacters = 2048;

    explicit GlyphTitle(QWidget *parent = nullptr);

    // A picture smaller than the grid holds no font: only the back colour is drawn.
    void setCharacters(const QImage &grid);
    bool hasCharacters() const { return !m_grid.isNull(); }
    QSize cellSize() const;
    // The cell of a character: 0 .. 95.
    static int cellOf(char32_t character);

    // New lines start again at the top; appended lines keep the scroll position.
    void setLines(const QStringList &lines);
    void appendLines(const QStringList &lines);
    QStringList lines() const { return m_lines; }
    // The width of a line in pixels.
    int lineWidth(int line) const;

    QColor backColor() const { return m_back; }
    void setBackColor(const QColor &color);

    void setScrolling(bool on);
    bool isScrolling() const { return m_scrolling; }
    // Pixels the lines have rolled up, 0 .. scrollPeriod() - 1.
    int scrollOffset() const { return m_offset; }
    // Pixels the line at the top has slid left.
    int sideOffset() const { return m_side; }
    int scrollPeriod() const;

    QSize sizeHint() const override;

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

private:
    int lineHeight() const;
    void mapLines();
    void updateTimer();
    void drawLine(QPainter &painter, int line, int y) const;

    QImage m_grid;
    QStringList m_lines;
    QList<QList<quint8>> m_cells; // each line as font cells
    QColor m_back = Qt::black;
    bool m_scrolling = true;
    int m_offset = 0;
    int m_side = 0;
    int m_hold = 0;
    ClickTracker m_click;
    QTimer m_timer;
};

#include "widgets/GlyphTitle.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

GlyphTitle::GlyphTitle(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    m_timer.setInterval(ScrollInterval);
    connect(&m_timer, &QTimer::timeout, this, &GlyphTitle::advance);
}

void GlyphTitle::setCharacters(const QImage &grid)
{
    m_grid = grid.width() >= Columns && grid.height() >= Rows ? grid : QImage();
    m_offset = 0;
    m_side = 0;
    m_hold = 0;
    updateGeometry();
    update();
}

QSize GlyphTitle::cellSize() const
{
    return hasCharacters() ? QSize(m_grid.width() / Columns, m_grid.height() / Rows) : QSize(1, 1);
}

int GlyphTitle::cellOf(char32_t character)
{
    const auto inFont = [](char32_t c) { return c >= FirstCharacter && c < FirstCharacter + Columns * Rows; };
    if (inFont(character))
        return int(character) - FirstCharacter;
    // An accented letter decomposes into its letter and the accents.
    const QString decomposed = QString::fromUcs4(&character, 1).normalized(QString::NormalizationForm_D);
    if (!decomposed.isEmpty() && decomposed.at(0).isLetter() && inFont(decomposed.at(0).unicode()))
        return decomposed.at(0).unicode() - FirstCharacter;
    return '?' - FirstCharacter;
}

void GlyphTitle::mapLines()
{
    m_cells.clear();
    for (const QString &line : std::as_const(m_lines)) {
        QList<quint8> cells;
        for (const char32_t c : line.toUcs4()) {
            if (cells.size() == MaxLineCharacters)
                break;
            cells << quint8(cellOf(c));
        }
        m_cells << cells;
    }
}

void GlyphTitle::setLines(const QStringList &lines)
{
    m_lines = lines;
    mapLines();
    m_offset = 0;
    m_side = 0;
    m_hold = 0;
    updateTimer();
    update();
}

void GlyphTitle::appendLines(const QStringList &lines)
{
    m_lines += lines;
    mapLines();
    updateTimer();
    update();
}

int GlyphTitle::lineWidth(int line) const
{
    return line >= 0 && line < m_cells.size() ? int(m_cells.at(line).size()) * cellSize().width() : 0;
}

void GlyphTitle::setBackColor(const QColor &color)
{
    m_back = color;
    update();
}

void GlyphTitle::setScrolling(bool on)
{
    m_scrolling = on;
    updateTimer();
}

void GlyphTitle::updateTimer()
{
    if (m_scrolling && !m_lines.isEmpty())
        m_timer.start();
    else
        m_timer.stop();
}

int GlyphTitle::lineHeight() const
{
    return std::max(1, cellSize().height());
}

int GlyphTitle::scrollPeriod() const
{
    return std::max({1, int(m_lines.size()) * lineHeight(), height()});
}

QSize GlyphTitle::sizeHint() const
{
    return QSize(154, lineHeight());
}

void GlyphTitle::advance()
{
    if (m_lines.isEmpty())
        return;
    const int lh = lineHeight();
    if (m_offset % lh == 0) {
        const int overflow = lineWidth(m_offset / lh) - width();
        if (overflow > 0) {
            if (m_hold < HoldSteps) {
                ++m_hold;
                return;
            }
            if (m_side < overflow) {
                m_side = std::min(overflow, m_side + ScrollStep);
                update();
                return;
            }
            if (m_hold < 2 * HoldSteps) {
                ++m_hold;
                return;
            }
        } else if (height() < 2 * lh && m_offset / lh < m_lines.size() &&
                   !m_lines.at(m_offset / lh).trimmed().isEmpty() && m_hold < ReadSteps) {
            // A panel of one line shows each line alone: it stays long enough to be read.
            ++m_hold;
            return;
        }
    }
    m_hold = 0;
    m_side = 0;
    // Each line comes to rest at the top on its way, so a wide one is caught there.
    const int period = scrollPeriod();
    const int boundary = std::min(period, (m_offset / lh + 1) * lh);
    m_offset = std::min(m_offset + ScrollStep, boundary) % period;
    update();
}

void GlyphTitle::resizeEvent(QResizeEvent *event)
{
    m_offset %= scrollPeriod();
    QWidget::resizeEvent(event);
}

void GlyphTitle::drawLine(QPainter &painter, int line, int y) const
{
    const QSize cell = cellSize();
    const int lineWide = lineWidth(line);
    const bool atTop = m_offset % lineHeight() == 0 && m_offset / lineHeight() == line;
    const int x0 = lineWide <= width() ? (width() - lineWide) / 2 : (atTop ? -m_side : 0);
    // Only the cells inside the panel: a long line costs no more than a short one.
    const QList<quint8> &cells = m_cells.at(line);
    const int first = std::max(0, -x0 / cell.width());
    for (int i = first; i < cells.size(); ++i) {
        const int x = x0 + i * cell.width();
        if (x >= width())
            break;
        const int c = cells.at(i);
        painter.drawImage(QPoint(x, y), m_grid,
                          QRect(QPoint(c % Columns * cell.width(), c / Columns * cell.height()), cell));
    }
}

void GlyphTitle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_back);
    if (m_lines.isEmpty() || !hasCharacters())
        return;
    const int lh = lineHeight(), period = scrollPeriod();
    for (int top = -m_offset; top < height(); top += period) {
        const int firstLine = std::max(0, -top / lh);
        for (int line = firstLine; line < m_cells.size(); ++line) {
            const int y = top + line * lh;
            if (y >= height())
                break;
            drawLine(painter, line, y);
        }
    }
}

void GlyphTitle::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
}

void GlyphTitle::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(event, rect()))
        emit clicked();
}

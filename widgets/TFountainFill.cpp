#include "widgets/TFountainFill.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <limits>

int TFountainFill::MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const int64_t product = int64_t(number) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const uint64_t magnitude = product < 0 ? uint64_t(-product) : uint64_t(product);
    const uint64_t divisor = denominator < 0 ? uint64_t(-int64_t(denominator)) : uint64_t(denominator);
    const uint64_t quotient = (magnitude + divisor / 2) / divisor;
    if (quotient > uint64_t(std::numeric_limits<int>::max()))
        return -1;
    return negative ? -int(quotient) : int(quotient);
}

std::vector<TFountainFill::Band> TFountainFill::bands(const QColor &from, const QColor &to, int steps,
                                                      int size)
{
    steps = std::clamp(steps, MinSteps, MaxSteps);
    size = std::max(size, 0);
    const QRgb start = from.rgb();
    const QRgb end = to.rgb();
    if (steps < 2 || start == end)
        return {Band{0, size, start}};

    const int dr = qRed(end) - qRed(start);
    const int dg = qGreen(end) - qGreen(start);
    const int db = qBlue(end) - qBlue(start);
    std::vector<Band> result;
    result.reserve(size_t(steps));
    for (int i = 0; i < steps; ++i) {
        Band band;
        band.from = MulDiv(i, size, steps);
        band.to = MulDiv(i + 1, size, steps);
        band.color = qRgb(qRed(start) + MulDiv(i, dr, steps - 1), qGreen(start) + MulDiv(i, dg, steps - 1),
                          qBlue(start) + MulDiv(i, db, steps - 1));
        result.push_back(band);
    }
    return result;
}

TFountainFill::TFountainFill(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TFountainFill::setFromColor(const QColor &color)
{
    m_from = color;
    update();
}

void TFountainFill::setToColor(const QColor &color)
{
    m_to = color;
    update();
}

void TFountainFill::setColors(const QColor &from, const QColor &to)
{
    m_from = from;
    m_to = to;
    update();
}

void TFountainFill::setSteps(int steps)
{
    m_steps = std::clamp(steps, MinSteps, MaxSteps);
    update();
}

void TFountainFill::setStyle(TFillStyle style)
{
    m_style = style;
    update();
}

void TFountainFill::paintFill(QPainter &painter, const QRect &rect, const QColor &from, const QColor &to,
                              int steps, TFillStyle style)
{
    if (rect.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    switch (style) {
    case fsHorizontal:
        for (const Band &b : bands(from, to, steps, rect.width()))
            painter.fillRect(QRect(rect.left() + b.from, rect.top(), b.to - b.from, rect.height()),
                             QColor(b.color));
        break;
    case fsVertical:
        for (const Band &b : bands(from, to, steps, rect.height()))
            painter.fillRect(QRect(rect.left(), rect.top() + b.from, rect.width(), b.to - b.from),
                             QColor(b.color));
        break;
    case fsCircular: {
        // Rings from the outside in: the first band fills the corners too, the last one is the centre.
        const int halfW = (rect.width() + 1) / 2;
        const int halfH = (rect.height() + 1) / 2;
        const auto list = bands(from, to, steps, std::max(halfW, halfH));
        painter.fillRect(rect, QColor(list.front().color));
        for (size_t i = 1; i < list.size(); ++i) {
            const int dx = MulDiv(int(i), halfW, int(list.size()));
            const int dy = MulDiv(int(i), halfH, int(list.size()));
            const QRect ring = rect.adjusted(dx, dy, -dx, -dy);
            if (ring.isEmpty())
                break;
            painter.setBrush(QColor(list[i].color));
            painter.drawEllipse(ring);
        }
        break;
    }
    }
    painter.restore();
}

void TFountainFill::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintFill(painter, rect(), m_from, m_to, m_steps, m_style);
}

void TFountainFill::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void TFountainFill::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton)
        emit mouseDragged(event->buttons(), event->globalPosition().toPoint());
    event->accept();
}

void TFountainFill::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseReleased(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void TFountainFill::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    event->accept();
}

#include "widgets/FlatButton.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

FlatButton::FlatButton(const QString &caption, QWidget *parent) : QAbstractButton(parent)
{
    setText(caption);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

FlatButton::FlatButton(Glyph glyph, QWidget *parent) : FlatButton(QString(), parent)
{
    m_glyph = glyph;
}

void FlatButton::setGlyph(Glyph glyph)
{
    m_glyph = glyph;
    update();
}

void FlatButton::setTextColor(const QColor &color)
{
    m_textColor = color;
    update();
}

QSize FlatButton::sizeHint() const
{
    if (m_glyph != NoGlyph)
        return QSize(22, 18);
    const QFontMetrics fm(font());
    return QSize(std::max(16, fm.horizontalAdvance(text()) + 8), std::max(16, fm.height() + 4));
}

void FlatButton::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FlatButton::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void FlatButton::paintGlyph(QPainter &painter, Glyph glyph, const QRectF &box, const QColor &color)
{
    if (glyph == NoGlyph)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    // Pictures are laid out on a square of side s centred in the box.
    const qreal s = std::min(box.width(), box.height());
    const QPointF o(box.center().x() - s / 2, box.center().y() - s / 2);
    auto pt = [&](qreal x, qreal y) { return o + QPointF(x * s, y * s); };
    auto triangle = [&](qreal x0, qreal x1, bool right) {
        QPainterPath path;
        if (right) {
            path.moveTo(pt(x0, 0.15));
            path.lineTo(pt(x1, 0.5));
            path.lineTo(pt(x0, 0.85));
        } else {
            path.moveTo(pt(x1, 0.15));
            path.lineTo(pt(x0, 0.5));
            path.lineTo(pt(x1, 0.85));
        }
        path.closeSubpath();
        painter.drawPath(path);
    };
    switch (glyph) {
    case PlayGlyph:
        triangle(0.25, 0.85, true);
        break;
    case PauseGlyph:
        painter.drawRect(QRectF(pt(0.22, 0.18), pt(0.42, 0.82)));
        painter.drawRect(QRectF(pt(0.58, 0.18), pt(0.78, 0.82)));
        break;
    case StopGlyph:
        painter.drawRect(QRectF(pt(0.2, 0.2), pt(0.8, 0.8)));
        break;
    case NextGlyph:
        triangle(0.1, 0.48, true);
        triangle(0.44, 0.82, true);
        painter.drawRect(QRectF(pt(0.8, 0.15), pt(0.9, 0.85)));
        break;
    case PreviousGlyph:
        painter.drawRect(QRectF(pt(0.1, 0.15), pt(0.2, 0.85)));
        triangle(0.18, 0.56, false);
        triangle(0.52, 0.9, false);
        break;
    case OpenGlyph: {
        QPainterPath path;
        path.moveTo(pt(0.5, 0.12));
        path.lineTo(pt(0.88, 0.58));
        path.lineTo(pt(0.12, 0.58));
        path.closeSubpath();
        painter.drawPath(path);
        painter.drawRect(QRectF(pt(0.12, 0.7), pt(0.88, 0.86)));
        break;
    }
    case InfoGlyph: {
        QPen pen(color, std::max<qreal>(1.0, s * 0.09));
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(pt(0.1, 0.1), pt(0.9, 0.9)));
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(QRectF(pt(0.44, 0.24), pt(0.56, 0.36)));
        painter.drawRect(QRectF(pt(0.45, 0.42), pt(0.55, 0.76)));
        break;
    }
    case NoGlyph:
        break;
    }
    painter.restore();
}

void FlatButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    const bool sunk = isDown() || isChecked();
    if (sunk) {
        painter.fillRect(rect(), QColor(0, 0, 0, 60));
        painter.setPen(QColor(0, 0, 0, 140));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(QColor(255, 255, 255, 140));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    } else if (m_hover && isEnabled()) {
        painter.setPen(QColor(255, 255, 255, 140));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(QColor(0, 0, 0, 140));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
    QColor color = m_textColor;
    if (!isEnabled())
        color.setAlpha(110);
    const QRect face = rect().adjusted(2, 2, -2, -2).translated(sunk ? 1 : 0, sunk ? 1 : 0);
    if (m_glyph != NoGlyph) {
        paintGlyph(painter, m_glyph, face, color);
        return;
    }
    painter.setPen(color);
    painter.setFont(font());
    painter.drawText(face, Qt::AlignCenter, text());
}

#include "widgets/AngleLabel.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace
{
// Thicker shadows would only smear the text; sizes past this come from damaged masks.
constexpr int MaxShadow = 16;
} // namespace

AngleLabel::AngleLabel(QWidget *parent) : AngleLabel(QString(), parent) {}

AngleLabel::AngleLabel(const QString &text, QWidget *parent) : QWidget(parent), m_text(text)
{
    setPointSize(12);
}

void AngleLabel::setText(const QString &text)
{
    // The time is set ten times a second and changes once: an unchanged text is not drawn again.
    if (text == m_text)
        return;
    m_text = text;
    update();
}

void AngleLabel::setAngle(int degrees)
{
    if (degrees % 360 == m_angle)
        return;
    m_angle = degrees % 360;
    update();
}

void AngleLabel::setPointSize(int points)
{
    QFont f = font();
    f.setPointSize(std::clamp(points, 1, 400));
    setFont(f);
    updateGeometry();
    update();
}

void AngleLabel::setTextColor(const QColor &color)
{
    if (color == m_textColor)
        return;
    m_textColor = color;
    update();
}

void AngleLabel::setShadowColor(const QColor &color)
{
    if (color == m_shadowColor)
        return;
    m_shadowColor = color;
    update();
}

void AngleLabel::setShadowSize(int pixels)
{
    if (std::clamp(pixels, 0, MaxShadow) == m_shadowSize)
        return;
    m_shadowSize = std::clamp(pixels, 0, MaxShadow);
    update();
}

void AngleLabel::setShadowDepth(int pixels)
{
    if (std::clamp(pixels, -MaxShadow, MaxShadow) == m_shadowDepth)
        return;
    m_shadowDepth = std::clamp(pixels, -MaxShadow, MaxShadow);
    update();
}

QSize AngleLabel::sizeHint() const
{
    const QFontMetrics fm(font());
    const QSize flat(fm.horizontalAdvance(m_text) + 4, fm.height());
    QTransform turn;
    turn.rotate(-m_angle);
    return turn.mapRect(QRect(QPoint(), flat)).size();
}

void AngleLabel::drawText(QPainter &painter) const
{
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font());
    const QFontMetrics fm(font());
    // The text's box centred on the origin, turned about it.
    const int w = fm.horizontalAdvance(m_text) + 2;
    const QRect box(-w / 2, -fm.height() / 2, w, fm.height());
    const QPointF centre = QRectF(rect()).center();
    const auto drawAt = [&](QPointF offset, const QColor &color) {
        painter.save();
        painter.translate(centre + offset);
        painter.rotate(-m_angle);
        painter.setPen(color);
        painter.drawText(box, Qt::AlignCenter, m_text);
        painter.restore();
    };
    if (m_shadowSize > 0) {
        for (int dy = 0; dy < m_shadowSize; ++dy)
            for (int dx = 0; dx < m_shadowSize; ++dx)
                drawAt(QPointF(m_shadowDepth + dx, m_shadowDepth + dy), m_shadowColor);
    }
    drawAt(QPointF(), m_textColor);
}

void AngleLabel::paintEvent(QPaintEvent *)
{
    if (m_text.isEmpty() || width() <= 0 || height() <= 0)
        return;
    const qreal ratio = devicePixelRatioF();
    const PictureKey key{
        m_text, font().key(), m_angle, m_shadowSize, m_shadowDepth, m_textColor.rgba(), m_shadowColor.rgba(),
        size(), ratio};
    if (m_picture.isNull() || !(key == m_pictureKey)) {
        m_picture = QPixmap(size() * ratio);
        m_picture.setDevicePixelRatio(ratio);
        m_picture.fill(Qt::transparent);
        QPainter picture(&m_picture);
        drawText(picture);
        m_pictureKey = key;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

void AngleLabel::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
}

void AngleLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(event, rect()))
        emit clicked();
}

#include "masks/art/ArtKit.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

namespace art
{

namespace
{

constexpr int DepthCap = 8;
constexpr double Pi = 3.14159265358979323846;

QColor mix(const QColor &a, const QColor &b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QColor withAlpha(const QColor &c, int alpha)
{
    QColor out = c;
    out.setAlpha(alpha);
    return out;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath p;
    p.addPolygon(QPolygonF(QList<QPointF>(points)));
    p.closeSubpath();
    return p;
}

// The symbol of a button in a box from -1 to 1.
QPainterPath symbolPath(MaskFile::Button button)
{
    QPainterPath p;
    switch (button) {
    case MaskFile::PlayBtn:
        return polygon({{-0.45, -0.7}, {0.7, 0}, {-0.45, 0.7}});
    case MaskFile::PauseBtn:
        p.addRect(QRectF(-0.6, -0.65, 0.42, 1.3));
        p.addRect(QRectF(0.18, -0.65, 0.42, 1.3));
        return p;
    case MaskFile::StopBtn:
        p.addRect(QRectF(-0.58, -0.58, 1.16, 1.16));
        return p;
    case MaskFile::OpenBtn:
        p = polygon({{-0.7, 0.12}, {0, -0.66}, {0.7, 0.12}});
        p.addRect(QRectF(-0.7, 0.36, 1.4, 0.3));
        return p;
    case MaskFile::PrevBtn:
        p.addRect(QRectF(-0.75, -0.6, 0.22, 1.2));
        p.addPath(polygon({{0.1, -0.6}, {-0.5, 0}, {0.1, 0.6}}));
        p.addPath(polygon({{0.72, -0.6}, {0.12, 0}, {0.72, 0.6}}));
        return p;
    case MaskFile::NextBtn: {
        QTransform mirror;
        mirror.scale(-1, 1);
        return mirror.map(symbolPath(MaskFile::PrevBtn));
    }
    case MaskFile::LoopBtn: {
        QPainterPath arc;
        const QRectF box(-0.58, -0.58, 1.16, 1.16);
        arc.arcMoveTo(box, 120);
        arc.arcTo(box, 120, 280);
        QPainterPathStroker stroker;
        stroker.setWidth(0.28);
        stroker.setCapStyle(Qt::FlatCap);
        p = stroker.createStroke(arc);
        // Arrow head at the end of the arc (40 degrees), pointing on round the circle.
        const QPointF end = arc.currentPosition();
        const QPointF along(-std::sin(40 * Pi / 180), -std::cos(40 * Pi / 180));
        const QPointF across(along.y(), -along.x());
        p.addPath(polygon({end + across * 0.34, end - across * 0.34, end + along * 0.42}));
        return p.simplified();
    }
    case MaskFile::RandBtn: {
        QPainterPath a, b;
        a.moveTo(-0.8, -0.45);
        a.cubicTo(-0.1, -0.45, -0.1, 0.45, 0.45, 0.45);
        b.moveTo(-0.8, 0.45);
        b.cubicTo(-0.1, 0.45, -0.1, -0.45, 0.45, -0.45);
        QPainterPathStroker stroker;
        stroker.setWidth(0.22);
        stroker.setCapStyle(Qt::FlatCap);
        p = stroker.createStroke(a);
        p.addPath(stroker.createStroke(b));
        p.addPath(polygon({{0.4, -0.75}, {0.85, -0.45}, {0.4, -0.15}}));
        p.addPath(polygon({{0.4, 0.15}, {0.85, 0.45}, {0.4, 0.75}}));
        return p.simplified();
    }
    case MaskFile::ButtonCount:
        break;
    }
    return p;
}

} // namespace

int32_t colorValue(const QColor &c)
{
    return int32_t(c.red() | (c.green() << 8) | (c.blue() << 16));
}

Canvas::Canvas(const QSize &size, const QPainterPath &shape, const Palette &palette)
    : m_size(size), m_palette(palette), m_image(size, QImage::Format_RGB32),
      m_inside(size, QImage::Format_Grayscale8)
{
    m_image.fill(Lime);
    m_inside.fill(0);
    QPainter p(&m_inside);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillPath(shape, Qt::white);
    p.end();
    grow();
}

void Canvas::grow()
{
    const int w = m_size.width(), h = m_size.height();
    auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && m_inside.constScanLine(y)[x] > 127;
    };
    m_depth.fill(0, w * h);
    m_normal.fill(QPointF(), w * h);
    QList<QPoint> front;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!inside(x, y))
                continue;
            bool edge = false;
            for (int dy = -1; dy <= 1 && !edge; ++dy)
                for (int dx = -1; dx <= 1 && !edge; ++dx)
                    edge = !inside(x + dx, y + dy);
            m_depth[y * w + x] = edge ? 1 : DepthCap;
            if (edge)
                front << QPoint(x, y);
        }
    for (int d = 2; d < DepthCap && !front.isEmpty(); ++d) {
        QList<QPoint> next;
        for (const QPoint &pt : front)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int x = pt.x() + dx, y = pt.y() + dy;
                    if (inside(x, y) && m_depth[y * w + x] > d) {
                        m_depth[y * w + x] = d;
                        next << QPoint(x, y);
                    }
                }
        front = next;
    }
    // The rim is lit by where the outside lies: the sum of the offsets to outside pixels nearby.
    constexpr int Reach = 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (m_depth[y * w + x] == 0 || m_depth[y * w + x] > Reach)
                continue;
            QPointF n;
            for (int dy = -Reach; dy <= Reach; ++dy)
                for (int dx = -Reach; dx <= Reach; ++dx)
                    if (!inside(x + dx, y + dy))
                        n += QPointF(dx, dy);
            const double len = std::hypot(n.x(), n.y());
            m_normal[y * w + x] = len > 0 ? n / len : QPointF();
        }
}

void Canvas::paintBody()
{
    QPainter p(&m_image);
    QLinearGradient g(0, 0, 0, m_size.height());
    g.setColorAt(0, m_palette.bodyTop);
    g.setColorAt(0.45, mix(m_palette.bodyTop, m_palette.bodyBottom, 0.55));
    g.setColorAt(1, m_palette.bodyBottom);
    p.fillRect(m_image.rect(), g);
    // Brushed grain: each row a little lighter or darker, with a few longer streaks.
    QRandomGenerator random(quint32(m_palette.brushSeed));
    for (int y = 0; y < m_size.height(); ++y) {
        const int v = int(random.bounded(17)) - 8;
        p.setPen(v > 0 ? QColor(255, 255, 255, v * 2) : QColor(0, 0, 0, -v * 3));
        p.drawLine(0, y, m_size.width(), y);
        if (random.bounded(4) == 0) {
            const int x = int(random.bounded(m_size.width()));
            const int len = 20 + int(random.bounded(80));
            p.setPen(QColor(255, 255, 255, 14));
            p.drawLine(x, y, x + len, y);
        }
    }
    // A soft sheen across the upper part.
    QLinearGradient sheen(0, 0, 0, m_size.height());
    sheen.setColorAt(0, QColor(255, 255, 255, 0));
    sheen.setColorAt(0.18, QColor(255, 255, 255, 26));
    sheen.setColorAt(0.4, QColor(255, 255, 255, 0));
    p.fillRect(m_image.rect(), sheen);
}

void Canvas::sunken(const QRectF &rect, qreal radius, const QColor &fill)
{
    QPainter p(&m_image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QRectF outer = rect.adjusted(-1, -1, 1, 1);
    QLinearGradient edge(outer.topLeft(), outer.bottomLeft());
    edge.setColorAt(0, mix(m_palette.bodyBottom, Qt::black, 0.55));
    edge.setColorAt(1, mix(m_palette.rimLight, m_palette.bodyTop, 0.4));
    p.setBrush(edge);
    p.drawRoundedRect(outer, radius + 1, radius + 1);
    p.setBrush(fill);
    p.drawRoundedRect(rect, radius, radius);
}

void Canvas::frameAround(const QRect &object, int margin, qreal radius, const QColor &fill)
{
    sunken(QRectF(object).adjusted(-margin, -margin, margin, margin), radius, fill);
}

void Canvas::screw(const QPointF &centre)
{
    QPainter p(&m_image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(centre - QPointF(1, 1), 4);
    g.setColorAt(0, m_palette.rimLight);
    g.setColorAt(1, mix(m_palette.bodyBottom, Qt::black, 0.3));
    p.setPen(QPen(mix(m_palette.bodyBottom, Qt::black, 0.6), 0.8));
    p.setBrush(g);
    p.drawEllipse(centre, 3.2, 3.2);
    p.setPen(QPen(mix(m_palette.bodyBottom, Qt::black, 0.5), 1.1));
    p.drawLine(centre + QPointF(-2, 1.4), centre + QPointF(2, -1.4));
}

void Canvas::grille(const QRect &area, int slotCount)
{
    QPainter p(&m_image);
    p.setRenderHint(QPainter::Antialiasing);
    const double step = double(area.height()) / slotCount;
    for (int i = 0; i < slotCount; ++i) {
        const QRectF slot(area.left(), area.top() + i * step, area.width(), 2);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(m_palette.rimLight, 70));
        p.drawRoundedRect(slot.translated(0, 1), 1, 1);
        p.setBrush(mix(m_palette.bodyBottom, Qt::black, 0.6));
        p.drawRoundedRect(slot, 1, 1);
    }
}

void Canvas::emblem(const QRect &rect)
{
    const QRectF r = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
    sunken(r.adjusted(0.5, 0.5, -0.5, -0.5), r.width() / 2, m_palette.panel);
    QPainter p(&m_image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = r.width();
    p.setPen(QPen(m_palette.accent, std::max(1.0, s / 12)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(r.adjusted(s * 0.14, s * 0.14, -s * 0.14, -s * 0.14));
    QPainterPath v;
    v.moveTo(r.left() + s * 0.32, r.top() + s * 0.33);
    v.lineTo(r.center().x(), r.top() + s * 0.7);
    v.lineTo(r.right() - s * 0.32, r.top() + s * 0.33);
    p.setPen(QPen(m_palette.symbol, std::max(1.2, s / 9), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(v);
}

void Canvas::minimizeMark(const QRect &rect)
{
    sunken(QRectF(rect), 2, m_palette.panel);
    QPainter p(&m_image);
    const int barH = std::max(2, rect.height() / 6);
    p.fillRect(QRect(rect.left() + 3, rect.bottom() - 2 - barH, rect.width() - 6, barH), m_palette.symbol);
}

bool Canvas::holds(const QRect &rect, int margin) const
{
    if (!QRect(QPoint(0, 0), m_size).contains(rect))
        return false;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (m_depth[y * m_size.width() + x] <= margin)
                return false;
    return true;
}

QImage Canvas::finish()
{
    const int w = m_size.width();
    const double k = std::sqrt(0.5);
    const QPointF light(-k, -k);
    for (int y = 0; y < m_size.height(); ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(m_image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int d = m_depth[y * w + x];
            const QPointF n = m_normal[y * w + x];
            const double facing = (n.x() * light.x() + n.y() * light.y() + 1) / 2; // 1: lit
            const QColor lit = mix(m_palette.rimShade, m_palette.rimLight, facing);
            QColor c = QColor::fromRgb(row[x]);
            if (d == 0)
                c = Lime;
            else if (d == 1)
                c = m_palette.outline;
            else if (d == 2)
                c = lit;
            else if (d == 3)
                c = mix(lit, c, 0.45);
            else if (d == 4)
                c = mix(c, Qt::black, 0.18 * (1 - facing));
            // No pixel inside may take the key colour, or it would become a hole.
            if (d != 0 && c.rgb() == Lime.rgb())
                c = QColor(0, 254, 0);
            row[x] = c.rgb();
        }
    }
    return m_image;
}

QImage buttonStrip(MaskFile::Button button, int size, const Palette &pal)
{
    QImage strip(size * 4, size, QImage::Format_RGB32);
    strip.fill(pal.deck);
    const QPainterPath symbol = symbolPath(button);
    for (int frame = 0; frame < 4; ++frame) {
        QPainter p(&strip);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(frame * size, 0);
        const bool hover = frame == 1, pressed = frame == 2, disabled = frame == 3;
        QColor top = pal.capTop, bottom = pal.capBottom, sym = pal.symbol;
        if (hover) {
            top = top.lighter(118);
            bottom = bottom.lighter(118);
            sym = pal.accent;
        } else if (pressed) {
            std::swap(top, bottom);
            top = top.darker(125);
            bottom = bottom.darker(110);
            sym = pal.accent.lighter(110);
        } else if (disabled) {
            top = bottom = mix(pal.capTop, pal.capBottom, 0.6).darker(125);
            sym = mix(pal.symbol, bottom, 0.65);
        }
        const QRectF cap(1.5, 1.5, size - 3, size - 3);
        QLinearGradient g(cap.topLeft(), cap.bottomLeft());
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.setPen(QPen(pal.outline, 1));
        p.setBrush(g);
        p.drawRoundedRect(cap, size * 0.26, size * 0.26);
        if (!pressed && !disabled) {
            // The upper lip catches the light.
            p.setPen(QPen(QColor(255, 255, 255, hover ? 110 : 80), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(cap.adjusted(1, 1, -1, -1), size * 0.22, size * 0.22);
        }
        const double scale = size * 0.27;
        p.translate(size / 2.0 + (pressed ? 0.8 : 0), size / 2.0 + (pressed ? 0.8 : 0));
        p.scale(scale, scale);
        p.setPen(Qt::NoPen);
        if (!disabled) {
            p.setBrush(QColor(0, 0, 0, 110));
            p.drawPath(symbol.translated(0.9 / scale * 1.2, 0.9 / scale * 1.2));
        }
        p.setBrush(sym);
        p.drawPath(symbol);
    }
    return strip;
}

QImage thumbStrip(const QSize &frame, bool vertical, const Palette &pal)
{
    QImage strip(frame.width() * 2, frame.height(), QImage::Format_RGB32);
    strip.fill(pal.outline);
    for (int f = 0; f < 2; ++f) {
        QPainter p(&strip);
        p.translate(f * frame.width(), 0);
        const QRectF face(1, 1, frame.width() - 2, frame.height() - 2);
        QLinearGradient g(face.topLeft(), vertical ? face.topRight() : face.bottomLeft());
        const QColor a = f ? mix(pal.accent, pal.rimLight, 0.25) : pal.rimLight;
        const QColor b = f ? pal.accent.darker(160) : pal.capBottom;
        g.setColorAt(0, a);
        g.setColorAt(1, b);
        p.fillRect(face, g);
        // Bevel: light top left, dark bottom right.
        p.setPen(QColor(255, 255, 255, 120));
        p.drawLine(QPointF(1, 1), QPointF(frame.width() - 2, 1));
        p.drawLine(QPointF(1, 1), QPointF(1, frame.height() - 2));
        p.setPen(QColor(0, 0, 0, 90));
        p.drawLine(QPointF(frame.width() - 2, 2), QPointF(frame.width() - 2, frame.height() - 2));
        p.drawLine(QPointF(2, frame.height() - 2), QPointF(frame.width() - 2, frame.height() - 2));
        // Three grip lines across the direction of travel.
        const QPointF c(frame.width() / 2.0, frame.height() / 2.0);
        for (int i = -1; i <= 1; ++i) {
            if (vertical) {
                const double y = std::floor(c.y()) + i * 2;
                p.setPen(QColor(0, 0, 0, 120));
                p.drawLine(QPointF(4, y), QPointF(frame.width() - 5, y));
            } else {
                const double x = std::floor(c.x()) + i * 2;
                p.setPen(QColor(0, 0, 0, 120));
                p.drawLine(QPointF(x, 4), QPointF(x, frame.height() - 5));
            }
        }
    }
    return strip;
}

QList<QImage> discFrames(int size, int count, const QColor &ground, const QColor &label, const QColor &shine)
{
    QList<QImage> frames;
    const QPointF c(size / 2.0, size / 2.0);
    const double r = size / 2.0 - 1.5;
    for (int i = 0; i < count; ++i) {
        QImage img(size, size, QImage::Format_RGB32);
        img.fill(ground);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0, 0, 0), 1));
        p.setBrush(QColor(24, 26, 31));
        p.drawEllipse(c, r, r);
        // The sheen turns with the disc; two opposite wedges, so half a turn repeats.
        QConicalGradient sheen(c, 30 + 180.0 * i / count);
        sheen.setColorAt(0, withAlpha(shine, 150));
        sheen.setColorAt(0.12, withAlpha(shine, 0));
        sheen.setColorAt(0.38, withAlpha(shine, 0));
        sheen.setColorAt(0.5, withAlpha(shine, 150));
        sheen.setColorAt(0.62, withAlpha(shine, 0));
        sheen.setColorAt(0.88, withAlpha(shine, 0));
        sheen.setColorAt(1, withAlpha(shine, 150));
        p.setPen(Qt::NoPen);
        p.setBrush(sheen);
        p.drawEllipse(c, r - 1, r - 1);
        p.setBrush(Qt::NoBrush);
        for (double g = r * 0.5; g < r - 1; g += 2.2) {
            p.setPen(QPen(QColor(255, 255, 255, 22), 0.6));
            p.drawEllipse(c, g, g);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(label);
        p.drawEllipse(c, r * 0.38, r * 0.38);
        // A dot on the label makes the whole turn visible.
        const double a = 2 * Pi * i / count;
        p.setBrush(label.lighter(160));
        p.drawEllipse(c + QPointF(std::cos(a), std::sin(a)) * r * 0.24, r * 0.08, r * 0.08);
        p.setBrush(ground);
        p.drawEllipse(c, r * 0.09, r * 0.09);
        frames << img;
    }
    return frames;
}

QList<QImage> flameFrames(int size, int count, const QColor &ground)
{
    QList<QImage> frames;
    for (int i = 0; i < count; ++i) {
        QImage img(size, size, QImage::Format_RGB32);
        img.fill(ground);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const double phase = 2 * Pi * i / count;
        const double s = size / 32.0;
        // The glowing coal.
        QRadialGradient coal(QPointF(16 * s, 27 * s), 11 * s);
        coal.setColorAt(0, QColor(255, 150, 40));
        coal.setColorAt(0.5, QColor(200, 50, 10));
        coal.setColorAt(1, QColor(60, 12, 6));
        p.setPen(Qt::NoPen);
        p.setBrush(coal);
        p.drawEllipse(QPointF(16 * s, 27 * s), 11 * s, 4.2 * s);
        // The flame sways and breathes; both loop over the frames.
        const double sway = std::sin(phase) * 3.2 * s;
        const double height = (19 + 2.5 * std::sin(2 * phase)) * s;
        auto flame = [&](double width, double h, double lean) {
            QPainterPath f;
            const QPointF base(16 * s, 26 * s), tip(16 * s + lean, 26 * s - h);
            f.moveTo(base + QPointF(-width, 0));
            f.cubicTo(base + QPointF(-width * 1.2, -h * 0.45), tip + QPointF(-width * 0.2, h * 0.35), tip);
            f.cubicTo(tip + QPointF(width * 0.35, h * 0.4), base + QPointF(width * 1.25, -h * 0.4),
                      base + QPointF(width, 0));
            f.closeSubpath();
            return f;
        };
        QLinearGradient outer(0, 26 * s - height, 0, 26 * s);
        outer.setColorAt(0, QColor(255, 90, 20));
        outer.setColorAt(1, QColor(230, 40, 10));
        p.setBrush(outer);
        p.drawPath(flame(7.5 * s, height, sway));
        QLinearGradient inner(0, 26 * s - height * 0.7, 0, 26 * s);
        inner.setColorAt(0, QColor(255, 200, 60));
        inner.setColorAt(1, QColor(255, 130, 30));
        p.setBrush(inner);
        p.drawPath(flame(4.6 * s, height * 0.68, sway * 0.7));
        p.setBrush(QColor(255, 245, 200));
        p.drawPath(flame(2.0 * s, height * 0.34, sway * 0.4));
        frames << img;
    }
    return frames;
}

QList<QImage> barFrames(int size, int count, const QColor &ground, const QColor &low, const QColor &high)
{
    QList<QImage> frames;
    constexpr int Bars = 5;
    const int multipliers[Bars] = {1, 2, 1, 3, 2};
    const int bw = (size - 4) / Bars - 1;
    for (int i = 0; i < count; ++i) {
        QImage img(size, size, QImage::Format_RGB32);
        img.fill(ground);
        QPainter p(&img);
        const double phase = 2 * Pi * i / count;
        for (int b = 0; b < Bars; ++b) {
            const double level = 0.55 + 0.4 * std::sin(phase * multipliers[b] + b * 1.3);
            const int blocks = std::max(1, int(std::lround(level * (size - 4) / 3)));
            const int x = 2 + b * (bw + 1);
            for (int k = 0; k < blocks; ++k) {
                const int y = size - 3 - (k + 1) * 3 + 1;
                p.fillRect(QRect(x, y, bw, 2), mix(low, high, double(k) / ((size - 4) / 3)));
            }
        }
        frames << img;
    }
    return frames;
}

QList<QImage> waveFrames(const QSize &size, int count, const QColor &ground, const QColor &water,
                         const QColor &foam)
{
    QList<QImage> frames;
    const int w = size.width(), h = size.height();
    for (int i = 0; i < count; ++i) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(ground);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        auto wave = [&](double mid, double amp, double shift) {
            QPainterPath path;
            path.moveTo(0, h);
            for (int x = 0; x <= w; ++x)
                path.lineTo(x, mid + amp * std::sin(2 * Pi * (double(x) / w - double(i) / count) + shift));
            path.lineTo(w, h);
            path.closeSubpath();
            return path;
        };
        QLinearGradient g(0, h * 0.3, 0, h);
        g.setColorAt(0, water.lighter(130));
        g.setColorAt(1, water.darker(170));
        p.setPen(QPen(withAlpha(foam, 120), 1));
        p.setBrush(mix(water, ground, 0.5));
        p.drawPath(wave(h * 0.42, h * 0.13, 2.2));
        p.setPen(QPen(foam, 1.6));
        p.setBrush(g);
        p.drawPath(wave(h * 0.56, h * 0.16, 0));
        frames << img;
    }
    return frames;
}

} // namespace art

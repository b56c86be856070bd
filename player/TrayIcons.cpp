#include "player/TrayIcons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace
{
enum Shape { Note, Notes, Disc, Speaker, Letter, Bars, PlayDisc, Wave };
constexpr int ShapeCount = 8;

struct Palette {
    QColor main;
    QColor light;
};

const std::array<Palette, 3> palettes{{
    {QColor(0x10, 0x50, 0xC0), QColor(0x90, 0xC8, 0xFF)},
    {QColor(0xE0, 0x70, 0x00), QColor(0xFF, 0xD0, 0x80)},
    {QColor(0x10, 0x90, 0x30), QColor(0xA0, 0xF0, 0xA0)},
}};

// Drawn on a 32 x 32 grid and scaled.
void drawShape(QPainter &p, Shape shape, const Palette &c)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(c.main.darker(180), 1.5);
    switch (shape) {
    case Note: {
        p.setPen(Qt::NoPen);
        p.setBrush(c.main);
        p.drawEllipse(QRectF(6, 20, 11, 8));
        p.drawRect(QRectF(15, 4, 3, 20));
        QPainterPath flag;
        flag.moveTo(18, 4);
        flag.cubicTo(24, 8, 28, 12, 24, 20);
        flag.cubicTo(25, 14, 22, 11, 18, 10);
        flag.closeSubpath();
        p.drawPath(flag);
        break;
    }
    case Notes:
        p.setPen(Qt::NoPen);
        p.setBrush(c.main);
        p.drawEllipse(QRectF(3, 21, 10, 7));
        p.drawEllipse(QRectF(17, 18, 10, 7));
        p.drawRect(QRectF(11, 6, 2.5, 18));
        p.drawRect(QRectF(25, 3, 2.5, 18));
        {
            QPainterPath beam;
            beam.moveTo(11, 6);
            beam.lineTo(27.5, 3);
            beam.lineTo(27.5, 8);
            beam.lineTo(11, 11);
            beam.closeSubpath();
            p.drawPath(beam);
        }
        break;
    case Disc:
        p.setPen(outline);
        p.setBrush(c.light);
        p.drawEllipse(QRectF(2, 2, 28, 28));
        p.setBrush(c.main);
        p.drawEllipse(QRectF(10, 10, 12, 12));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(14, 14, 4, 4));
        break;
    case Speaker: {
        p.setPen(Qt::NoPen);
        p.setBrush(c.main);
        QPainterPath body;
        body.moveTo(3, 12);
        body.lineTo(9, 12);
        body.lineTo(17, 5);
        body.lineTo(17, 27);
        body.lineTo(9, 20);
        body.lineTo(3, 20);
        body.closeSubpath();
        p.drawPath(body);
        p.setPen(QPen(c.main, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(14, 10, 8, 12), -60 * 16, 120 * 16);
        p.drawArc(QRectF(13, 5, 15, 22), -60 * 16, 120 * 16);
        break;
    }
    case Letter: {
        p.setPen(outline);
        p.setBrush(c.main);
        p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(22);
        f.setBold(true);
        p.setFont(f);
        p.setPen(c.light);
        p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("V"));
        break;
    }
    case Bars:
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 5; ++i) {
            const qreal h = 6 + std::fmod(i * 9.0 + 5, 22.0);
            p.setBrush(i % 2 ? c.light : c.main);
            p.drawRect(QRectF(2 + i * 6, 30 - h, 5, h));
        }
        break;
    case PlayDisc: {
        p.setPen(outline);
        p.setBrush(c.main);
        p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
        QPainterPath tri;
        tri.moveTo(12, 8);
        tri.lineTo(25, 16);
        tri.lineTo(12, 24);
        tri.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(c.light);
        p.drawPath(tri);
        break;
    }
    case Wave: {
        p.setPen(outline);
        p.setBrush(c.light);
        p.drawRoundedRect(QRectF(1.5, 5.5, 29, 21), 4, 4);
        QPainterPath wave;
        wave.moveTo(4, 16);
        for (int x = 4; x <= 28; ++x)
            wave.lineTo(x, 16 - 7 * std::sin((x - 4) * 3.14159 / 6));
        p.setPen(QPen(c.main, 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
        break;
    }
    }
}
} // namespace

namespace TrayIcons
{
int count()
{
    // The preferences offer a strip of 21.
    return std::min(21, ShapeCount * int(palettes.size()));
}

int valid(int number)
{
    return number >= 1 && number <= count() ? number : 1;
}

QPixmap pixmap(int number, int size)
{
    const int index = valid(number) - 1;
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.scale(size / 32.0, size / 32.0);
    drawShape(p, Shape(index / int(palettes.size())), palettes[size_t(index % int(palettes.size()))]);
    return pm;
}

QIcon icon(int number)
{
    // Drawn once: the tray animation asks for the same two icons twice a second while a song plays.
    static QHash<int, QIcon> drawn;
    const int n = valid(number);
    auto it = drawn.find(n);
    if (it == drawn.end()) {
        QIcon result;
        for (int size : {16, 22, 24, 32, 48})
            result.addPixmap(pixmap(n, size));
        it = drawn.insert(n, result);
    }
    return *it;
}
} // namespace TrayIcons

// vorlan-icons <folder>: draws the programs' icons in the usual hicolor sizes as
// <folder>/<size>x<size>/apps/<program>.png. The art is drawn here, in code, at each size.
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace
{

const int Sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QPainterPath roundedTile(double s)
{
    QPainterPath p;
    const double m = s * 0.06;
    p.addRoundedRect(QRectF(m, m, s - 2 * m, s - 2 * m), s * 0.2, s * 0.2);
    return p;
}

// The player: a night-blue tile, a lime disc and three sound arcs.
QImage player(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    QLinearGradient tile(0, 0, 0, s);
    tile.setColorAt(0, QColor(0x1d, 0x3b, 0x6e));
    tile.setColorAt(1, QColor(0x0a, 0x14, 0x2c));
    p.fillPath(roundedTile(s), tile);
    QRadialGradient disc(QPointF(s * 0.36, s * 0.56), s * 0.3, QPointF(s * 0.3, s * 0.48));
    disc.setColorAt(0, QColor(0xd9, 0xff, 0x6a));
    disc.setColorAt(1, QColor(0x5c, 0xb8, 0x1c));
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(QPointF(s * 0.36, s * 0.56), s * 0.22, s * 0.22);
    p.setBrush(QColor(0x0a, 0x14, 0x2c));
    p.drawEllipse(QPointF(s * 0.36, s * 0.56), s * 0.05, s * 0.05);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        QPen pen(QColor(0xd9, 0xff, 0x6a, 255 - i * 60), std::max(1.0, s * 0.045), Qt::SolidLine,
                 Qt::RoundCap);
        p.setPen(pen);
        const double r = s * (0.32 + 0.1 * i);
        p.drawArc(QRectF(s * 0.36 - r, s * 0.56 - r, 2 * r, 2 * r), 20 * 16, 70 * 16);
    }
    return image;
}

// The mask editor: a warm tile and a pale mask with two eye holes and a shaped outline.
QImage masker(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    QLinearGradient tile(0, 0, s, s);
    tile.setColorAt(0, QColor(0x7a, 0x2a, 0x8c));
    tile.setColorAt(1, QColor(0x2e, 0x0c, 0x3c));
    p.fillPath(roundedTile(s), tile);
    QPainterPath mask;
    mask.moveTo(s * 0.18, s * 0.34);
    mask.cubicTo(s * 0.3, s * 0.24, s * 0.7, s * 0.24, s * 0.82, s * 0.34);
    mask.cubicTo(s * 0.84, s * 0.56, s * 0.7, s * 0.7, s * 0.56, s * 0.64);
    mask.quadTo(s * 0.5, s * 0.56, s * 0.44, s * 0.64);
    mask.cubicTo(s * 0.3, s * 0.7, s * 0.16, s * 0.56, s * 0.18, s * 0.34);
    QPainterPath eyes;
    eyes.addEllipse(QPointF(s * 0.34, s * 0.42), s * 0.08, s * 0.05);
    eyes.addEllipse(QPointF(s * 0.66, s * 0.42), s * 0.08, s * 0.05);
    QLinearGradient face(0, s * 0.25, 0, s * 0.7);
    face.setColorAt(0, QColor(0xff, 0xe0, 0x9a));
    face.setColorAt(1, QColor(0xf0, 0x8a, 0x24));
    p.fillPath(mask.subtracted(eyes), face);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : Sizes) {
        const QString dir = root + QStringLiteral("/%1x%1/apps").arg(size);
        if (!QDir().mkpath(dir) || !player(size).save(dir + QStringLiteral("/vorlan.png")) ||
            !masker(size).save(dir + QStringLiteral("/vorlanmasker.png"))) {
            std::fprintf(stderr, "vorlan-icons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}

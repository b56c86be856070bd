// vorlan_skinart: draws the player's built-in skin and the sample masks into a folder.
//   vorlan_skinart <skins folder> <frames folder>
// Backgrounds, glyphs and thumbs are written as 24-bit BMP, the masks through MaskFile; the frames of each
// animation go to the frames folder as PNG, from which make-skins.sh assembles the GIFs.
#include "masks/MaskFile.h"
#include "masks/art/ArtKit.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cmath>
#include <cstdio>

using art::Canvas;
using art::Palette;

namespace
{

const char *const ButtonFiles[MaskFile::ButtonCount] = {"play", "pause", "stop", "open",
                                                        "prev", "next",  "loop", "rand"};

// The order the buttons sit in on every skin: transport, then open, then the two toggles.
const MaskFile::Button RowOrder[MaskFile::ButtonCount] = {
    MaskFile::PrevBtn, MaskFile::PlayBtn, MaskFile::PauseBtn, MaskFile::StopBtn,
    MaskFile::NextBtn, MaskFile::OpenBtn, MaskFile::LoopBtn,  MaskFile::RandBtn};

constexpr int VolumeBarWidth = 62;
constexpr int BalanceBarWidth = 45;
constexpr int KnobBlockHeight = 22; // knob, bar and the small label below them

QRect rectOf(const MaskGeometry &g)
{
    return QRect(g.left, g.top, g.width, g.height);
}

// One skin: its mask, the background being drawn and what else goes beside it.
struct Skin {
    QString name;   // "Vorlan" -> Vorlan.msk
    QString prefix; // "vorlan" -> vorlan-back.bmp, ...
    Palette palette;
    MaskFile mask;
    int buttonSize = 22;
    QSize thumbFrame;
    QList<QImage> frames;

    void put(MaskFile::Object object, const QRect &r)
    {
        mask.objects[object] = {r.width(), r.height(), r.top(), r.left()};
    }
    QRect at(MaskFile::Object object) const { return rectOf(mask.objects[object]); }
    QRect button(MaskFile::Button b) const
    {
        return at(MaskFile::Object(int(MaskFile::PlayButtom) + int(b)));
    }
    QRect volumeBlock() const
    {
        return QRect(mask.volumeLeft, mask.volumeTop, VolumeBarWidth, KnobBlockHeight);
    }
    QRect balanceBlock() const
    {
        return QRect(mask.balanceLeft, mask.balanceTop, BalanceBarWidth, KnobBlockHeight);
    }
    // Buttons in RowOrder, from `origin` on in steps of `step` (x and y).
    void buttonRow(QPoint origin, QPoint step, int from = 0, int to = MaskFile::ButtonCount)
    {
        for (int i = from; i < to; ++i)
            put(MaskFile::Object(int(MaskFile::PlayButtom) + int(RowOrder[i])),
                QRect(origin + step * (i - from), QSize(buttonSize, buttonSize)));
    }
    // The bounds of the buttons from..to in RowOrder.
    QRect buttonsBounds(int from = 0, int to = MaskFile::ButtonCount) const
    {
        QRect r;
        for (int i = from; i < to; ++i)
            r |= button(RowOrder[i]);
        return r;
    }
};

// Fills the keys every skin sets the same way.
void startMask(Skin &s)
{
    MaskFile &m = s.mask;
    m = MaskFile::defaults(MaskReader::Player);
    m.backImage = s.prefix + QStringLiteral("-back.bmp");
    m.backColor = art::colorValue(art::Lime);
    m.sliderThumb = s.prefix + QStringLiteral("-thumb.bmp");
    for (int b = 0; b < MaskFile::ButtonCount; ++b)
        m.buttonImages[b] = s.prefix + '-' + QLatin1String(ButtonFiles[b]) + QStringLiteral(".bmp");
    m.animatedGif = s.prefix + QStringLiteral("-anim.gif");
    m.timeShadowColor = 0;
    m.author = QStringLiteral("Vorlan");
}

QColor fromValue(int32_t v)
{
    return QColor(v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff);
}

// Everything the window paints itself sits in a sunken frame filled with the colour the window paints it
// with, so no seam shows; the about and hide buttons have no glyph, so their marks are drawn here.
void frameCommon(Canvas &c, const Skin &s, const QColor &meterFill)
{
    const Palette &p = s.palette;
    c.frameAround(s.at(MaskFile::VUMeterL), 1, 1, meterFill);
    c.frameAround(s.at(MaskFile::VUMeterR), 1, 1, meterFill);
    c.frameAround(s.at(MaskFile::Close), 1, 2, p.panel);
    c.frameAround(s.at(MaskFile::AnimatedGif), 3, 5, p.panel);
    c.minimizeMark(s.at(MaskFile::Minimize));
    c.emblem(s.at(MaskFile::About));
    c.frameAround(s.at(MaskFile::SongTitle), 2, 3, fromValue(s.mask.titleColor));
    c.frameAround(s.at(MaskFile::Slider), 2, 3, fromValue(s.mask.sliderColor));
}

// ---- Vorlan: the built-in skin, a dark steel body with a title tab, a control tab and a foot ----

QImage drawVorlan(Skin &s)
{
    s.name = QStringLiteral("Vorlan");
    s.prefix = QStringLiteral("vorlan");
    s.palette = Palette{QColor(0x5b, 0x64, 0x72), QColor(0x26, 0x2b, 0x33), QColor(0x0b, 0x0d, 0x11),
                        QColor(0xe2, 0xe8, 0xf0), QColor(0x5a, 0x63, 0x70), QColor(0x14, 0x19, 0x20),
                        QColor(0x1a, 0x1f, 0x27), QColor(0x4c, 0x55, 0x63), QColor(0x29, 0x2f, 0x38),
                        QColor(0xe6, 0xec, 0xf4), QColor(0x5c, 0xb8, 0xff), 7};
    s.buttonSize = 22;
    s.thumbFrame = QSize(10, 14);
    startMask(s);
    MaskFile &m = s.mask;
    m.sliderColor = art::colorValue(QColor(0x10, 0x15, 0x1c));
    m.sliderKind = QStringLiteral("Horizontal");
    m.timeFont = 12;
    m.timeShadowSize = 1;
    m.timeShadowDepth = 2;
    m.titleFont = 8;
    m.titleColor = art::colorValue(QColor(0x0e, 0x13, 0x1a));
    m.vuKind = QStringLiteral("Vertical");
    m.vuColor = art::colorValue(QColor(0x0e, 0x13, 0x1a));
    m.gifActive = 0;
    m.bestColor1 = art::colorValue(QColor(0x2f, 0x6f, 0xc0));
    m.bestColor2 = art::colorValue(QColor(0xdc, 0xe8, 0xf6));

    const QSize size(340, 148);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0, 16, 340, 124), 24, 24);
    QPainterPath tab;
    tab.addRoundedRect(QRectF(22, 0, 200, 40), 12, 12);
    QPainterPath controls;
    controls.addRoundedRect(QRectF(280, 4, 46, 32), 8, 8);
    QPainterPath foot;
    foot.addRoundedRect(QRectF(56, 124, 228, 24), 12, 12);
    shape = shape.united(tab).united(controls).united(foot);

    s.put(MaskFile::SongTitle, QRect(34, 9, 176, 16));
    s.put(MaskFile::Minimize, QRect(288, 13, 12, 12));
    s.put(MaskFile::Close, QRect(306, 13, 12, 12));
    s.put(MaskFile::PlayTime, QRect(18, 46, 74, 22));
    const MaskFile::Object labels[5] = {MaskFile::PlayList, MaskFile::Equalizer, MaskFile::Information,
                                        MaskFile::Configration, MaskFile::OnTop};
    for (int i = 0; i < 5; ++i)
        s.put(labels[i], QRect(19 + i * 15, 72, 12, 14));
    s.put(MaskFile::VUMeterL, QRect(102, 44, 8, 44));
    s.put(MaskFile::VUMeterR, QRect(113, 44, 8, 44));
    m.volumeLeft = 134;
    m.volumeTop = 48;
    m.balanceLeft = 210;
    m.balanceTop = 48;
    s.put(MaskFile::AnimatedGif, QRect(276, 46, 32, 32));
    s.put(MaskFile::About, QRect(28, 117, 18, 18));
    s.put(MaskFile::Slider, QRect(18, 96, 304, 14));
    s.buttonRow(QPoint(68, 116), QPoint(26, 0));

    Canvas c(size, shape, s.palette);
    c.paintBody();
    frameCommon(c, s, fromValue(m.vuColor));
    c.sunken(QRectF(12, 40, 86, 52), 5, s.palette.panel);                          // time and labels
    c.sunken(QRectF(128, 42, 132, 32), 5, s.palette.panel);                        // volume and balance
    c.sunken(QRectF(s.buttonsBounds()).adjusted(-5, -4, 5, 4), 8, s.palette.deck); // button deck
    c.grille(QRect(288, 116, 30, 18), 5);
    c.screw(QPointF(236, 24));
    c.screw(QPointF(266, 24));
    c.screw(QPointF(140, 84));
    c.screw(QPointF(248, 84));
    for (int i = 0; i < 3; ++i) // engraved lines between the screws
        c.sunken(QRectF(150, 80 + i * 3, 88, 1), 0, s.palette.bodyBottom.darker(115));
    s.frames = art::discFrames(32, 8, s.palette.panel, QColor(0x2f, 0x6f, 0xc0), QColor(0xb8, 0xd8, 0xff));
    return c.finish();
}

// ---- Ember: a compact, nearly round copper body with notches, needle meters ----

QPainterPath squircle(const QPointF &centre, double a, double b, int notches, double notchDepth)
{
    QPolygonF points;
    constexpr int Steps = 720;
    for (int i = 0; i < Steps; ++i) {
        const double t = 2 * M_PI * i / Steps;
        const double c = std::cos(t), s = std::sin(t);
        QPointF p(a * std::copysign(std::sqrt(std::abs(c)), c), b * std::copysign(std::sqrt(std::abs(s)), s));
        // Narrow notches, like cracks in a cooling coal.
        const double slot = std::fmod(t * notches / (2 * M_PI) + 0.5, 1.0);
        const double dip = std::max(0.0, std::cos((slot - 0.5) * M_PI * 5));
        const double len = std::hypot(p.x(), p.y());
        p *= (len - notchDepth * dip) / len;
        points << centre + p;
    }
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

QImage drawEmber(Skin &s)
{
    s.name = QStringLiteral("Ember");
    s.prefix = QStringLiteral("ember");
    s.palette = Palette{QColor(0x70, 0x3c, 0x2a), QColor(0x2a, 0x13, 0x0e), QColor(0x0e, 0x06, 0x05),
                        QColor(0xff, 0xc8, 0x90), QColor(0x6e, 0x36, 0x22), QColor(0x1a, 0x0d, 0x0a),
                        QColor(0x22, 0x12, 0x0f), QColor(0x5e, 0x31, 0x24), QColor(0x2e, 0x16, 0x10),
                        QColor(0xff, 0xe8, 0xd0), QColor(0xff, 0x8c, 0x3c), 11};
    s.buttonSize = 18;
    s.thumbFrame = QSize(10, 14);
    startMask(s);
    MaskFile &m = s.mask;
    m.sliderColor = art::colorValue(QColor(0x1a, 0x0d, 0x0a));
    m.sliderKind = QStringLiteral("Horizontal");
    m.timeFont = 12;
    m.timeShadowSize = 1;
    m.timeShadowDepth = 1;
    m.titleFont = 8;
    m.titleColor = art::colorValue(QColor(0x16, 0x0a, 0x07));
    m.vuKind = QStringLiteral("Needle");
    m.vuColor = art::colorValue(QColor(0xf2, 0xe2, 0xc8));
    m.gifActive = 2;
    m.bestColor1 = art::colorValue(QColor(0xc2, 0x41, 0x0c));
    m.bestColor2 = art::colorValue(QColor(0xff, 0xe0, 0xb8));

    const QSize size(220, 200);
    const QPainterPath shape = squircle(QPointF(110, 100), 109.5, 99.5, 10, 5);

    s.put(MaskFile::Minimize, QRect(92, 18, 12, 12));
    s.put(MaskFile::Close, QRect(116, 18, 12, 12));
    s.put(MaskFile::SongTitle, QRect(44, 34, 132, 16));
    s.put(MaskFile::VUMeterL, QRect(20, 56, 40, 24));
    s.put(MaskFile::PlayTime, QRect(72, 56, 76, 22));
    s.put(MaskFile::VUMeterR, QRect(160, 56, 40, 24));
    const MaskFile::Object labels[5] = {MaskFile::PlayList, MaskFile::Equalizer, MaskFile::Information,
                                        MaskFile::Configration, MaskFile::OnTop};
    for (int i = 0; i < 5; ++i)
        s.put(labels[i], QRect(75 + i * 15, 84, 12, 14));
    s.put(MaskFile::About, QRect(24, 104, 16, 16));
    m.volumeLeft = 48;
    m.volumeTop = 105;
    m.balanceLeft = 118;
    m.balanceTop = 105;
    s.put(MaskFile::AnimatedGif, QRect(172, 86, 32, 32));
    s.put(MaskFile::Slider, QRect(26, 135, 168, 14));
    s.buttonRow(QPoint(31, 156), QPoint(20, 0));

    Canvas c(size, shape, s.palette);
    c.paintBody();
    frameCommon(c, s, fromValue(m.vuColor));
    c.sunken(QRectF(68, 54, 84, 46), 5, s.palette.panel);                          // time and labels
    c.sunken(QRectF(44, 102, 122, 28), 5, s.palette.panel);                        // volume and balance
    c.sunken(QRectF(s.buttonsBounds()).adjusted(-4, -3, 4, 3), 6, s.palette.deck); // button deck
    c.grille(QRect(80, 183, 60, 8), 3);
    c.screw(QPointF(32, 96));
    c.screw(QPointF(188, 126));
    s.frames = art::flameFrames(32, 10, s.palette.panel);
    return c.finish();
}

// ---- Tower: a tall column with a waist, block meters and a vertical position slider ----

QImage drawTower(Skin &s)
{
    s.name = QStringLiteral("Tower");
    s.prefix = QStringLiteral("tower");
    s.palette = Palette{QColor(0x3e, 0x5c, 0x5a), QColor(0x13, 0x22, 0x22), QColor(0x04, 0x0b, 0x0b),
                        QColor(0xc4, 0xf6, 0xea), QColor(0x3a, 0x5a, 0x55), QColor(0x0a, 0x14, 0x14),
                        QColor(0x0f, 0x1b, 0x1b), QColor(0x3b, 0x57, 0x54), QColor(0x1a, 0x2a, 0x29),
                        QColor(0xdc, 0xff, 0xf6), QColor(0x3f, 0xe0, 0xb0), 23};
    s.buttonSize = 22;
    s.thumbFrame = QSize(14, 10);
    startMask(s);
    MaskFile &m = s.mask;
    m.sliderColor = art::colorValue(QColor(0x0a, 0x14, 0x14));
    m.sliderKind = QStringLiteral("Vertical");
    m.timeFont = 12;
    m.timeShadowSize = 1;
    m.timeShadowDepth = 2;
    m.titleFont = 8;
    m.titleColor = art::colorValue(QColor(0x08, 0x12, 0x12));
    m.vuKind = QStringLiteral("Grad Vertical");
    m.vuColor = art::colorValue(QColor(0x08, 0x12, 0x12));
    m.gifActive = 1;
    m.bestColor1 = art::colorValue(QColor(0x1f, 0x8a, 0x70));
    m.bestColor2 = art::colorValue(QColor(0xd6, 0xf7, 0xee));

    const QSize size(128, 336);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0, 0, 128, 336), 36, 36);
    QPainterPath cuts;
    cuts.addEllipse(QPointF(-1, 200), 8, 26);
    cuts.addEllipse(QPointF(129, 200), 8, 26);
    cuts.addEllipse(QPointF(64, -3), 14, 9);
    cuts.addEllipse(QPointF(64, 339), 14, 9);
    shape = shape.subtracted(cuts);

    s.put(MaskFile::Minimize, QRect(40, 14, 12, 12));
    s.put(MaskFile::Close, QRect(76, 14, 12, 12));
    s.put(MaskFile::SongTitle, QRect(12, 32, 104, 16));
    s.put(MaskFile::PlayTime, QRect(26, 56, 76, 22));
    const MaskFile::Object labels[5] = {MaskFile::PlayList, MaskFile::Equalizer, MaskFile::Information,
                                        MaskFile::Configration, MaskFile::OnTop};
    for (int i = 0; i < 5; ++i)
        s.put(labels[i], QRect(29 + i * 15, 84, 12, 14));
    s.put(MaskFile::About, QRect(16, 112, 16, 16));
    s.put(MaskFile::AnimatedGif, QRect(48, 104, 32, 32));
    s.put(MaskFile::VUMeterL, QRect(14, 146, 10, 96));
    s.put(MaskFile::VUMeterR, QRect(27, 146, 10, 96));
    for (int i = 0; i < MaskFile::ButtonCount; ++i)
        s.put(MaskFile::Object(int(MaskFile::PlayButtom) + int(RowOrder[i])),
              QRect(44 + (i % 2) * 26, 146 + (i / 2) * 25, 22, 22));
    s.put(MaskFile::Slider, QRect(100, 146, 14, 96));
    m.volumeLeft = 33;
    m.volumeTop = 256;
    m.balanceLeft = 41;
    m.balanceTop = 282;

    Canvas c(size, shape, s.palette);
    c.paintBody();
    frameCommon(c, s, Qt::black);
    c.sunken(QRectF(20, 52, 88, 48), 5, s.palette.panel);                          // time and labels
    c.sunken(QRectF(27, 252, 74, 54), 5, s.palette.panel);                         // volume and balance
    c.sunken(QRectF(s.buttonsBounds()).adjusted(-4, -4, 4, 4), 7, s.palette.deck); // button deck
    c.grille(QRect(44, 314, 40, 10), 3);
    c.screw(QPointF(99, 120));
    c.screw(QPointF(20, 314));
    c.screw(QPointF(108, 314));
    s.frames = art::barFrames(32, 8, s.palette.panel, QColor(0x3f, 0xe0, 0xb0), QColor(0xf5, 0xe9, 0x6a));
    return c.finish();
}

// ---- Tide: a wide bar whose top breaks into waves, pie meters ----

QImage drawTide(Skin &s)
{
    s.name = QStringLiteral("Tide");
    s.prefix = QStringLiteral("tide");
    s.palette = Palette{QColor(0x33, 0x64, 0x8c), QColor(0x0f, 0x22, 0x36), QColor(0x03, 0x09, 0x12),
                        QColor(0xc8, 0xec, 0xff), QColor(0x2c, 0x56, 0x76), QColor(0x08, 0x15, 0x22),
                        QColor(0x0c, 0x1c, 0x2c), QColor(0x2d, 0x52, 0x70), QColor(0x13, 0x2a, 0x40),
                        QColor(0xe6, 0xf6, 0xff), QColor(0x4f, 0xd2, 0xff), 31};
    s.buttonSize = 20;
    s.thumbFrame = QSize(10, 12);
    startMask(s);
    MaskFile &m = s.mask;
    m.sliderColor = art::colorValue(QColor(0x08, 0x15, 0x22));
    m.sliderKind = QStringLiteral("Horizontal");
    m.timeFont = 12;
    m.timeShadowSize = 1;
    m.timeShadowDepth = 2;
    m.titleFont = 8;
    m.titleColor = art::colorValue(QColor(0x06, 0x11, 0x1c));
    m.vuKind = QStringLiteral("Pie");
    m.vuColor = art::colorValue(QColor(0x06, 0x11, 0x1c));
    m.gifActive = 0;
    m.bestColor1 = art::colorValue(QColor(0x1c, 0x6e, 0xa8));
    m.bestColor2 = art::colorValue(QColor(0xd8, 0xf1, 0xff));

    const QSize size(500, 88);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0, 12, 500, 76), 24, 24);
    QPolygonF crest;
    crest << QPointF(60, 40);
    for (int x = 60; x <= 440; ++x)
        crest << QPointF(x, 6.5 + 6 * std::cos(2 * M_PI * (x - 60) / 95.0));
    crest << QPointF(440, 40);
    QPainterPath waves;
    waves.addPolygon(crest);
    waves.closeSubpath();
    shape = shape.united(waves);

    s.put(MaskFile::AnimatedGif, QRect(12, 26, 32, 32));
    s.put(MaskFile::About, QRect(21, 66, 14, 14));
    s.put(MaskFile::SongTitle, QRect(56, 20, 220, 16));
    s.put(MaskFile::Slider, QRect(56, 41, 220, 12));
    s.buttonRow(QPoint(56, 60), QPoint(28, 0));
    s.put(MaskFile::PlayTime, QRect(288, 20, 76, 22));
    const MaskFile::Object labels[5] = {MaskFile::PlayList, MaskFile::Equalizer, MaskFile::Information,
                                        MaskFile::Configration, MaskFile::OnTop};
    for (int i = 0; i < 5; ++i)
        s.put(labels[i], QRect(290 + i * 15, 48, 12, 14));
    m.volumeLeft = 376;
    m.volumeTop = 20;
    m.balanceLeft = 384;
    m.balanceTop = 52;
    s.put(MaskFile::VUMeterL, QRect(446, 24, 20, 20));
    s.put(MaskFile::VUMeterR, QRect(446, 54, 20, 20));
    s.put(MaskFile::Minimize, QRect(474, 32, 12, 12));
    s.put(MaskFile::Close, QRect(474, 52, 12, 12));

    Canvas c(size, shape, s.palette);
    c.paintBody();
    frameCommon(c, s, fromValue(m.vuColor));
    c.sunken(QRectF(284, 16, 84, 52), 5, s.palette.panel);                         // time and labels
    c.sunken(QRectF(372, 16, 70, 60), 5, s.palette.panel);                         // volume and balance
    c.sunken(QRectF(s.buttonsBounds()).adjusted(-4, -2, 4, 2), 6, s.palette.deck); // button deck
    s.frames = art::waveFrames(QSize(32, 32), 8, s.palette.panel, QColor(0x1c, 0x6e, 0xa8),
                               QColor(0xd8, 0xf1, 0xff));
    return c.finish();
}

} // namespace

// ---- writing ----

namespace
{

bool saveBmp(const QImage &image, const QString &path)
{
    QFile::remove(path);
    return image.convertToFormat(QImage::Format_RGB888).save(path, "BMP");
}

bool checkPlacement(const Skin &s, const QImage &back)
{
    bool ok = true;
    auto inside = [&](const QRect &r) {
        // At least the rim's width away from the cut-away in every direction.
        const QRect grown = r.adjusted(-3, -3, 3, 3);
        if (!back.rect().contains(grown))
            return false;
        for (int y = grown.top(); y <= grown.bottom(); ++y)
            for (int x = grown.left(); x <= grown.right(); ++x)
                if (back.pixelColor(x, y) == art::Lime)
                    return false;
        return true;
    };
    for (int o = 0; o < MaskFile::ObjectCount; ++o)
        if (!inside(s.at(MaskFile::Object(o)))) {
            std::fprintf(stderr, "%s: %s is not inside the shape\n", qPrintable(s.name),
                         qPrintable(MaskFile::ObjectNames[o]));
            ok = false;
        }
    if (!inside(s.volumeBlock()) || !inside(s.balanceBlock())) {
        std::fprintf(stderr, "%s: volume or balance is not inside the shape\n", qPrintable(s.name));
        ok = false;
    }
    // No two objects may overlap.
    QList<QRect> all;
    for (int o = 0; o < MaskFile::ObjectCount; ++o)
        all << s.at(MaskFile::Object(o));
    all << s.volumeBlock() << s.balanceBlock();
    for (int i = 0; i < all.size(); ++i)
        for (int j = i + 1; j < all.size(); ++j)
            if (all[i].intersects(all[j])) {
                std::fprintf(stderr, "%s: objects %d and %d overlap\n", qPrintable(s.name), i, j);
                ok = false;
            }
    return ok;
}

bool writeSkin(Skin &s, const QImage &back, const QDir &out, const QDir &frames)
{
    if (!checkPlacement(s, back))
        return false;
    bool ok = saveBmp(back, out.filePath(s.mask.backImage));
    for (int b = 0; b < MaskFile::ButtonCount; ++b)
        ok &= saveBmp(art::buttonStrip(MaskFile::Button(b), s.buttonSize, s.palette),
                      out.filePath(s.mask.buttonImages[b]));
    ok &= saveBmp(art::thumbStrip(s.thumbFrame, !s.mask.sliderHorizontal(), s.palette),
                  out.filePath(s.mask.sliderThumb));
    for (int i = 0; i < s.frames.size(); ++i)
        ok &= s.frames[i].save(
            frames.filePath(s.prefix + QStringLiteral("-anim-%1.png").arg(i, 2, 10, QChar('0'))), "PNG");
    const QString maskPath = out.filePath(s.name + QStringLiteral(".msk"));
    QFile::remove(maskPath); // a fresh file, in the writer's order
    ok &= s.mask.save(maskPath);
    if (!ok)
        std::fprintf(stderr, "%s: could not write its files\n", qPrintable(s.name));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vorlan_skinart <skins folder> <frames folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir frames(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out.path());
    QDir().mkpath(frames.path());

    bool ok = true;
    Skin vorlan;
    for (QImage (*draw)(Skin &) : {drawVorlan, drawEmber, drawTower, drawTide}) {
        Skin skin;
        const QImage back = draw(skin);
        ok &= writeSkin(skin, back, out, frames);
    }
    return ok ? 0 : 1;
}

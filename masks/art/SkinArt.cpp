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

// Everything the window paints itself sits in a sunken frame; texts sit on plain fields.
void frameObjects(Canvas &c, const Skin &s, const QColor &meterFill)
{
    const Palette &p = s.palette;
    c.frameAround(s.at(MaskFile::VUMeterL), 1, 1, meterFill);
    c.frameAround(s.at(MaskFile::VUMeterR), 1, 1, meterFill);
    c.frameAround(s.at(MaskFile::Close), 1, 2, p.panel);
    c.frameAround(s.at(MaskFile::AnimatedGif), 3, 5, p.panel);
    c.minimizeMark(s.at(MaskFile::Minimize));
    c.emblem(s.at(MaskFile::About));
}

QColor fromValue(int32_t v)
{
    return QColor(v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff);
}

// The title and slider frames take the colours the window paints them with, so no seam shows.
void frameTitleAndSlider(Canvas &c, const Skin &s)
{
    c.frameAround(s.at(MaskFile::SongTitle), 2, 3, fromValue(s.mask.titleColor));
    c.frameAround(s.at(MaskFile::Slider), 2, 3, fromValue(s.mask.sliderColor));
}

void frameCommon(Canvas &c, const Skin &s, const QColor &meterFill)
{
    frameObjects(c, s, meterFill);
    frameTitleAndSlider(c, s);
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
    const QImage vorlanBack = drawVorlan(vorlan);
    ok &= writeSkin(vorlan, vorlanBack, out, frames);
    return ok ? 0 : 1;
}

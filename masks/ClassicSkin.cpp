#include "masks/ClassicSkin.h"

#include "masks/ClassicArchive.h"
#include "masks/ClassicLayout.h"
#include "masks/MaskFile.h"
#include "masks/RegionFile.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

namespace
{

// What a missing sheet costs the mask.
const char *const MissingNote[ClassicSkin::SpriteCount] = {
    "",
    "the title bar is main's own",
    "the buttons have no pictures",
    "the position slider is drawn plain",
    "the window has no volume bar",
    "the window has no balance bar",
    "",
    "",
    "the title is written in the mask's font",
    "shuffle and repeat have no pictures",
};

// Sheets and files of the classic windows a mask has no place for.
struct Unplaceable {
    const char *name; // the base name; without an extension, any picture of that name
    const char *what;
};
const Unplaceable UnplaceableArt[] = {
    {"playpaus", "the play and pause indicator"},
    {"monoster", "the mono and stereo indicators"},
    {"eqmain", "the equalizer window"},
    {"eq_ex", "the shaded equalizer window"},
    {"pledit", "the playlist window"},
    {"pledit.txt", "the playlist's colours and font"},
    {"gen", "the frame of the other windows"},
    {"genex", "the colours of the other windows"},
    {"avs", "the visualisation window"},
    {"mb", "the browser window"},
    {"video", "the video window"},
};

QString mib(qint64 bytes)
{
    return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
}

// "r,g,b" at the start of each line; what follows (a comment) does not count.
QList<QColor> visColorsIn(const QByteArray &text)
{
    QList<QColor> colors;
    for (const QByteArray &line : text.split('\n')) {
        int values[3];
        int found = 0;
        qsizetype i = 0;
        while (found < 3 && i < line.size()) {
            if (line[i] == '/' || line[i] == ';')
                break;
            if (line[i] >= '0' && line[i] <= '9') {
                int v = 0;
                while (i < line.size() && line[i] >= '0' && line[i] <= '9')
                    v = std::min(v * 10 + (line[i++] - '0'), 100000);
                values[found++] = std::clamp(v, 0, 255);
            } else {
                ++i;
            }
        }
        if (found == 3)
            colors.append(QColor(values[0], values[1], values[2]));
        if (colors.size() == 24)
            break;
    }
    return colors;
}

} // namespace

QString ClassicSkin::spriteName(Sprite sprite)
{
    static const char *const names[SpriteCount] = {"main",    "titlebar", "cbuttons", "posbar", "volume",
                                                   "balance", "numbers",  "nums_ex",  "text",   "shufrep"};
    return QString::fromLatin1(names[sprite]);
}

ClassicSkin ClassicSkin::read(ClassicArchive &archive)
{
    ClassicSkin skin;
    for (int s = 0; s < SpriteCount; ++s) {
        const Sprite sprite = Sprite(s);
        const QString name = spriteName(sprite);
        QString file = name + QStringLiteral(".bmp");
        if (!archive.contains(file) && archive.contains(name + QStringLiteral(".png")))
            file = name + QStringLiteral(".png");
        QByteArray bytes;
        QString problem;
        switch (archive.read(file, ClassicArchive::MaxPictureBytes, &bytes)) {
        case ClassicArchive::Read::Missing:
            if (*MissingNote[s])
                skin.notes.append(name + QStringLiteral(": missing, ") + QLatin1String(MissingNote[s]));
            continue;
        case ClassicArchive::Read::TooLarge:
            problem =
                QStringLiteral("%1 unpacks to more than %2").arg(file, mib(ClassicArchive::MaxPictureBytes));
            if (archive.bytesRead() >= ClassicArchive::MaxTotalBytes)
                problem = QStringLiteral("the skin unpacks to more than %1")
                              .arg(mib(ClassicArchive::MaxTotalBytes));
            break;
        case ClassicArchive::Read::Damaged:
            problem = QStringLiteral("%1 cannot be read").arg(file);
            break;
        case ClassicArchive::Read::Ok: {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::ReadOnly);
            const QSize size = QImageReader(&buffer).size();
            if (size.isValid() &&
                (size.width() > MaxPictureSize.width() || size.height() > MaxPictureSize.height())) {
                problem = QStringLiteral("%1 is %2 x %3 pixels, more than %4 x %5")
                              .arg(file)
                              .arg(size.width())
                              .arg(size.height())
                              .arg(MaxPictureSize.width())
                              .arg(MaxPictureSize.height());
                break;
            }
            const QImage image = MaskFile::imageFromBytes(bytes, MaxPictureSize);
            if (image.isNull()) {
                problem = QStringLiteral("%1 is not a whole picture").arg(file);
                break;
            }
            skin.sprites[s] = image.convertToFormat(QImage::Format_RGB32);
            continue;
        }
        }
        if (sprite == Main)
            skin.mainProblem = problem;
        else
            skin.notes.append(name + QStringLiteral(": ") + problem + QStringLiteral(", left out"));
    }
    // Either digit sheet will do.
    if (!skin.has(Numbers) && !skin.has(NumsEx))
        skin.notes.append(QStringLiteral("numbers: missing, the time is written in the mask's font"));

    QByteArray text;
    const ClassicArchive::Read region =
        archive.read(QStringLiteral("region.txt"), ClassicArchive::MaxTextBytes, &text);
    if (region != ClassicArchive::Read::Missing) {
        QString problem;
        if (region == ClassicArchive::Read::Ok)
            skin.region = RegionFile::parse(text, QStringLiteral("Normal"), &problem);
        else
            problem = QStringLiteral("it cannot be read");
        if (RegionFile::region(skin.region, ClassicLayout::Window).isEmpty()) {
            skin.region.clear();
            if (problem.isEmpty())
                problem = QStringLiteral("it has no outline of the main window");
        }
        if (skin.region.isEmpty())
            skin.notes.append(QStringLiteral("region.txt: ") + problem +
                              QStringLiteral(", the window is a rectangle"));
    }
    if (archive.read(QStringLiteral("viscolor.txt"), ClassicArchive::MaxTextBytes, &text) ==
        ClassicArchive::Read::Ok)
        skin.visColors = visColorsIn(text);
    if (skin.visColors.isEmpty())
        skin.notes.append(QStringLiteral("viscolor.txt: missing, the level meters are white"));

    if (skin.has(TitleBar) && skin.sprite(TitleBar).height() > ClassicLayout::TitleBarShadeTop)
        skin.notes.append(QStringLiteral("titlebar: the shaded window's bar has no place in a mask"));
    for (const Unplaceable &art : UnplaceableArt) {
        const QString name = QLatin1String(art.name);
        const bool present = name.contains(u'.') ? archive.contains(name)
                                                 : archive.contains(name + QStringLiteral(".bmp")) ||
                                                       archive.contains(name + QStringLiteral(".png"));
        if (present)
            skin.notes.append(name + QStringLiteral(": ") + QLatin1String(art.what) +
                              QStringLiteral(" has no place in a mask"));
    }
    const QStringList names = archive.names();
    const auto cursors = std::count_if(names.begin(), names.end(), [](const QString &n) {
        return n.endsWith(QLatin1String(".cur")) || n.endsWith(QLatin1String(".ani"));
    });
    if (cursors > 0)
        skin.notes.append(QStringLiteral("cursors: %1 mouse pointers have no place in a mask").arg(cursors));
    return skin;
}

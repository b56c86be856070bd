#include "masks/MaskFile.h"

#include "platform/ProfileFile.h"
#include "platform/TextFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <cstdlib>

const QString MaskFile::SectionName = QStringLiteral("Vorlan Mask");
const QString MaskFile::DefaultAuthor = QStringLiteral("Nuri Calvat");

const std::array<QString, MaskFile::ObjectCount> MaskFile::ObjectNames = {
    QStringLiteral("Slider"),       QStringLiteral("Song Title"),  QStringLiteral("About"),
    QStringLiteral("Play List"),    QStringLiteral("Equalizer"),   QStringLiteral("Information"),
    QStringLiteral("Configration"), QStringLiteral("On Top"),      QStringLiteral("Minimize"),
    QStringLiteral("Close"),        QStringLiteral("Play Time"),   QStringLiteral("VU-Meter R"),
    QStringLiteral("VU-Meter L"),   QStringLiteral("Play Buttom"), QStringLiteral("Pause Buttom"),
    QStringLiteral("Stop Buttom"),  QStringLiteral("Open Buttom"), QStringLiteral("Prev Buttom"),
    QStringLiteral("Next Buttom"),  QStringLiteral("Loop Buttom"), QStringLiteral("Rand Buttom"),
    QStringLiteral("Animated Gif"),
};

const std::array<QString, MaskFile::ButtonCount> MaskFile::ButtonKeys = {
    QStringLiteral("PlayBtn"), QStringLiteral("PauseBtn"), QStringLiteral("StopBtn"),
    QStringLiteral("OpenBtn"), QStringLiteral("PrevBtn"),  QStringLiteral("NextBtn"),
    QStringLiteral("LoopBtn"), QStringLiteral("RandBtn"),
};

const std::array<QString, MaskFile::ToggleCount> MaskFile::ToggleOnKeys = {QStringLiteral("LoopBtnOn"),
                                                                           QStringLiteral("RandBtnOn")};

const std::array<QString, MaskFile::ExtraObjectCount> MaskFile::ExtraObjectNames = {
    QStringLiteral("Volume Bar"), QStringLiteral("Balance Bar")};

namespace
{

const QString GeometrySuffixes[4] = {QStringLiteral("-W"), QStringLiteral("-H"), QStringLiteral("-T"),
                                     QStringLiteral("-L")};

// The file stores bare names; a name given with a folder (ours or a Windows one) keeps only its last part.
QString bareName(const QString &name)
{
    QString n = name;
    n.replace('\\', '/');
    return n.mid(n.lastIndexOf('/') + 1);
}

} // namespace

QStringList MaskFile::objectNameList()
{
    return QStringList(ObjectNames.begin(), ObjectNames.end());
}

MaskFile MaskFile::defaults(MaskReader reader)
{
    MaskFile mask;
    const int place = reader == MaskReader::EditorLoad ? 0 : -50;
    for (MaskGeometry &g : mask.objects)
        g = MaskGeometry{place, place, place, place};
    for (MaskGeometry &g : mask.extraObjects)
        g = MaskGeometry{place, place, place, place};
    mask.volumeLeft = mask.volumeTop = mask.balanceLeft = mask.balanceTop = place;
    mask.titleFont = reader == MaskReader::Player ? 8 : 12;
    return mask;
}

MaskFile MaskFile::load(const QString &path, MaskReader reader, bool *ok)
{
    const ProfileFile profile(path);
    if (ok)
        *ok = profile.existed();
    return fromProfile(profile, reader, path);
}

MaskFile MaskFile::fromProfile(const ProfileFile &profile, MaskReader reader, const QString &maskPath)
{
    MaskFile m = defaults(reader);
    m.path = maskPath;
    const QString &s = SectionName;
    auto str = [&](const char *key, const QString &def) {
        return profile.readString(s, QLatin1String(key), def);
    };
    auto num = [&](const char *key, int def) { return profile.readInteger(s, QLatin1String(key), def); };

    m.backImage = str("BackImage", m.backImage);
    m.backColor = num("BackColor", m.backColor);
    m.sliderThumb = str("SliderThumb", m.sliderThumb);
    m.sliderColor = num("SliderColor", m.sliderColor);
    m.sliderKind = str("SliderKind", m.sliderKind);
    m.timeFont = num("TimeFont", m.timeFont);
    if (reader == MaskReader::TestWindow)
        m.timeColor = num("TimeColor", m.timeColor);
    m.timeAngle = num("TimeAngle", m.timeAngle);
    m.timeShadowColor = num("TimeShadowColor", m.timeShadowColor);
    m.timeShadowSize = num("TimeShodowSize", m.timeShadowSize);
    m.timeShadowDepth = num("TimeShodowDepth", m.timeShadowDepth);
    m.titleFont = num("TitleFont", m.titleFont);
    m.titleColor = num("TitleColor", m.titleColor);
    m.vuKind = str("VUKind", m.vuKind);
    m.vuColor = num("VUColor", m.vuColor);
    for (int b = 0; b < ButtonCount; ++b)
        m.buttonImages[b] = profile.readString(s, ButtonKeys[b], m.buttonImages[b]);
    m.animatedGif = str("Animated Gif", m.animatedGif);
    m.gifActive = num("Gif Active", m.gifActive);
    const auto readPlace = [&](const QString &name, MaskGeometry &g) {
        int *fields[4] = {&g.width, &g.height, &g.top, &g.left};
        for (int f = 0; f < 4; ++f)
            *fields[f] = profile.readInteger(s, name + GeometrySuffixes[f], *fields[f]);
    };
    for (int o = 0; o < ObjectCount; ++o)
        readPlace(ObjectNames[o], m.objects[o]);
    m.volumeTop = num("Volume-T", m.volumeTop);
    m.volumeLeft = num("Volume-L", m.volumeLeft);
    m.balanceTop = num("Balance-T", m.balanceTop);
    m.balanceLeft = num("Balance-L", m.balanceLeft);
    m.bestColor1 = num("BestColor1", m.bestColor1);
    m.bestColor2 = num("BestColor2", m.bestColor2);
    m.author = str("Author", m.author);

    m.timeDigits = str("TimeDigits", m.timeDigits);
    m.titleChars = str("TitleChars", m.titleChars);
    m.sliderBack = str("SliderBack", m.sliderBack);
    m.volumeBar = str("VolumeBar", m.volumeBar);
    m.volumeBarFrames = num("VolumeBarFrames", m.volumeBarFrames);
    m.volumeThumb = str("VolumeThumb", m.volumeThumb);
    m.balanceBar = str("BalanceBar", m.balanceBar);
    m.balanceBarFrames = num("BalanceBarFrames", m.balanceBarFrames);
    m.balanceThumb = str("BalanceThumb", m.balanceThumb);
    for (int t = 0; t < ToggleCount; ++t)
        m.toggleOnImages[t] = profile.readString(s, ToggleOnKeys[t], m.toggleOnImages[t]);
    m.shape = str("Shape", m.shape);
    for (int o = 0; o < ExtraObjectCount; ++o)
        readPlace(ExtraObjectNames[o], m.extraObjects[o]);
    return m;
}

bool MaskFile::hasExtras() const
{
    if (!timeDigits.isEmpty() || !titleChars.isEmpty() || !sliderBack.isEmpty() || !volumeBar.isEmpty() ||
        !volumeThumb.isEmpty() || !balanceBar.isEmpty() || !balanceThumb.isEmpty() || !shape.isEmpty())
        return true;
    for (const QString &image : toggleOnImages)
        if (!image.isEmpty())
            return true;
    return false;
}

void MaskFile::writeTo(ProfileFile &profile) const
{
    const QString &s = SectionName;
    auto str = [&](const QString &key, const QString &value) { profile.writeString(s, key, value); };
    auto num = [&](const QString &key, int value) { profile.writeInteger(s, key, value); };

    str(QStringLiteral("BackImage"), bareName(backImage));
    num(QStringLiteral("BackColor"), backColor);
    str(QStringLiteral("SliderThumb"), bareName(sliderThumb));
    num(QStringLiteral("SliderColor"), sliderColor);
    str(QStringLiteral("SliderKind"), sliderKind);
    num(QStringLiteral("TimeFont"), timeFont);
    num(QStringLiteral("TimeAngle"), timeAngle);
    num(QStringLiteral("TimeShadowColor"), timeShadowColor);
    num(QStringLiteral("TimeShodowSize"), timeShadowSize);
    num(QStringLiteral("TimeShodowDepth"), timeShadowDepth);
    num(QStringLiteral("TitleFont"), titleFont);
    num(QStringLiteral("TitleColor"), titleColor);
    str(QStringLiteral("VUKind"), vuKind);
    num(QStringLiteral("VUColor"), vuColor);
    for (int b = 0; b < ButtonCount; ++b)
        str(ButtonKeys[b], bareName(buttonImages[b]));
    str(QStringLiteral("Animated Gif"), bareName(animatedGif));
    num(QStringLiteral("Gif Active"), gifActive);
    for (int o = 0; o < ObjectCount; ++o) {
        const MaskGeometry &g = objects[o];
        const int fields[4] = {g.width, g.height, g.top, g.left};
        for (int f = 0; f < 4; ++f)
            num(ObjectNames[o] + GeometrySuffixes[f], fields[f]);
    }
    num(QStringLiteral("Volume-L"), volumeLeft);
    num(QStringLiteral("Volume-T"), volumeTop);
    num(QStringLiteral("Balance-L"), balanceLeft);
    num(QStringLiteral("Balance-T"), balanceTop);
    num(QStringLiteral("BestColor1"), bestColor1);
    num(QStringLiteral("BestColor2"), bestColor2);
    str(QStringLiteral("Author"), author);

    // The extras follow; a mask without them gets none of their keys, and a key already in the file is
    // emptied rather than left naming a picture the mask no longer uses.
    const auto extraStr = [&](const QString &key, const QString &value) {
        if (!value.isEmpty() || profile.hasKey(s, key))
            str(key, bareName(value));
    };
    const auto extraNum = [&](const QString &key, int value, bool used) {
        if (used || profile.hasKey(s, key))
            num(key, value);
    };
    extraStr(QStringLiteral("TimeDigits"), timeDigits);
    extraStr(QStringLiteral("TitleChars"), titleChars);
    extraStr(QStringLiteral("SliderBack"), sliderBack);
    extraStr(QStringLiteral("VolumeBar"), volumeBar);
    extraNum(QStringLiteral("VolumeBarFrames"), volumeBarFrames, !volumeBar.isEmpty());
    extraStr(QStringLiteral("VolumeThumb"), volumeThumb);
    extraStr(QStringLiteral("BalanceBar"), balanceBar);
    extraNum(QStringLiteral("BalanceBarFrames"), balanceBarFrames, !balanceBar.isEmpty());
    extraStr(QStringLiteral("BalanceThumb"), balanceThumb);
    for (int t = 0; t < ToggleCount; ++t)
        extraStr(ToggleOnKeys[t], toggleOnImages[t]);
    extraStr(QStringLiteral("Shape"), shape);
    const bool barUsed[ExtraObjectCount] = {!volumeBar.isEmpty(), !balanceBar.isEmpty()};
    for (int o = 0; o < ExtraObjectCount; ++o) {
        const MaskGeometry &g = extraObjects[o];
        const int fields[4] = {g.width, g.height, g.top, g.left};
        for (int f = 0; f < 4; ++f)
            extraNum(ExtraObjectNames[o] + GeometrySuffixes[f], fields[f], barUsed[o]);
    }
}

bool MaskFile::save(const QString &savePath) const
{
    ProfileFile profile(savePath);
    writeTo(profile);
    return profile.saveAs(savePath);
}

VUKind MaskFile::vuKindFromText(const QString &text)
{
    if (text == QLatin1String("Horizontal"))
        return VUKind::Horizontal;
    if (text == QLatin1String("Vertical"))
        return VUKind::Vertical;
    if (text == QLatin1String("Pie"))
        return VUKind::Pie;
    if (text == QLatin1String("Needle"))
        return VUKind::Needle;
    if (text == QLatin1String("Grad Vertical"))
        return VUKind::GradVertical;
    return VUKind::Unchanged;
}

GifActivity MaskFile::gifActivity() const
{
    switch (gifActive) {
    case 1:
        return GifActivity::Hide;
    case 2:
        return GifActivity::AnimateUnderMouse;
    default:
        return GifActivity::DoNothing;
    }
}

QString MaskFile::resolveImage(const QString &maskPath, const QString &imageName)
{
    if (imageName.trimmed().isEmpty() || maskPath.isEmpty())
        return QString();
    const QDir folder = QFileInfo(maskPath).absoluteDir();
    QString name = imageName;
    name.replace('\\', '/');
    const QFileInfo direct(folder.filePath(name));
    if (direct.isFile())
        return direct.absoluteFilePath();
    // Masks made on Windows name their images without regard to case, and sometimes with a folder: the file
    // beside the mask whose name matches without case is the one meant.
    const QString bare = bareName(name);
    if (bare.isEmpty())
        return QString();
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString &entry : entries)
        if (entry.compare(bare, Qt::CaseInsensitive) == 0)
            return folder.absoluteFilePath(entry);
    return QString();
}

namespace
{

qint64 le32(const QByteArray &b, int at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(b.constData() + at);
    return qint64(p[0]) | (qint64(p[1]) << 8) | (qint64(p[2]) << 16) | (qint64(p[3]) << 24);
}

// Whether an uncompressed bitmap holds fewer bytes than its header says its rows take.
bool isCutShortBitmap(const QByteArray &bytes)
{
    if (bytes.size() < 30)
        return true;
    const qint64 offset = le32(bytes, 10);
    const qint64 header = le32(bytes, 14);
    if (header < 12)
        return true;
    qint64 width, height, bits, compression = 0;
    if (header == 12) { // the old OS/2 header: 16-bit sizes
        width = quint16(le32(bytes, 18) & 0xFFFF);
        height = quint16(le32(bytes, 20) & 0xFFFF);
        bits = le32(bytes, 24) & 0xFFFF;
    } else {
        if (bytes.size() < 34)
            return true;
        width = qint32(le32(bytes, 18));
        height = qint32(le32(bytes, 22));
        bits = le32(bytes, 28) & 0xFFFF;
        compression = le32(bytes, 30);
    }
    // Run-length and embedded formats have no fixed size; their readers see their own end.
    if (compression != 0 && compression != 3 && compression != 6)
        return false;
    const qint64 stride = (std::abs(width) * bits + 31) / 32 * 4;
    return offset + stride * std::abs(height) > bytes.size();
}

} // namespace

QImage MaskFile::readImage(const QString &path)
{
    constexpr qint64 MaxBytes = 32 * 1024 * 1024;
    QByteArray bytes;
    if (path.isEmpty() || TextFile::readBytes(path, MaxBytes, &bytes) != TextFile::ReadStatus::Ok)
        return QImage();
    return imageFromBytes(bytes);
}

QImage MaskFile::imageFromBytes(const QByteArray &bytes, const QSize &maxSize)
{
    constexpr qint64 MaxPixels = 16'000'000;
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    auto read = [&](bool asBitmap) {
        buffer.seek(0);
        QImageReader reader(&buffer);
        // Qt reads bitmaps itself; named so, the reader does not load every image plugin to ask it first.
        if (asBitmap) {
            reader.setFormat("bmp");
            reader.setAutoDetectImageFormat(false);
        }
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() > MaxPixels)
            return QImage();
        if (size.isValid() && maxSize.isValid() &&
            (size.width() > maxSize.width() || size.height() > maxSize.height()))
            return QImage();
        return reader.read();
    };
    const bool bitmap = bytes.startsWith("BM");
    // A bitmap cut short is read by Qt as far as it goes, the rest of its rows left as whatever memory held:
    // a picture that is not whole is no picture.
    if (bitmap && isCutShortBitmap(bytes))
        return QImage();
    QImage image = read(bitmap);
    // Not a bitmap after all: the content decides.
    if (image.isNull() && bitmap)
        image = read(false);
    if (maxSize.isValid() && (image.width() > maxSize.width() || image.height() > maxSize.height()))
        return QImage();
    return image;
}

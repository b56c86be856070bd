#include "player/Settings.h"

#include "platform/ProfileFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

const QString Settings::FileName = QStringLiteral("Vorlan.cfg");
const QString Settings::SectionName = QStringLiteral("Setting");
const QString Settings::DefaultPath3 = QStringLiteral("MyPlayList");

const QString WindowPlacement::ConfigSection = QStringLiteral("Config Position");
const QString WindowPlacement::InfoSection = QStringLiteral("Info Position");
const QString WindowPlacement::EditTagSection = QStringLiteral("EditTag Position");
const QString WindowPlacement::AddSection = QStringLiteral("Add Position");
const QString WindowPlacement::StatisticsSection = QStringLiteral("Statistics Position");
const QString WindowPlacement::EqualizerSection = QStringLiteral("Equalizer Position");

Settings Settings::defaults(const ScreenMetrics &screen)
{
    Settings s;
    s.maskLeft = screen.screenWidth - screen.maskWidth;
    s.playListLeft = screen.screenWidth - screen.playListWidth - screen.maskWidth;
    // The home folder stands where a Windows setup starts at the drive root.
    s.outPutDir = QDir::homePath();
    return s;
}

Settings Settings::load(const QString &path, const ScreenMetrics &screen, bool *existed)
{
    const ProfileFile profile(path);
    if (existed)
        *existed = profile.existed();
    return fromProfile(profile, screen);
}

Settings Settings::fromProfile(const ProfileFile &p, const ScreenMetrics &screen)
{
    Settings s = defaults(screen);
    const QString &sec = SectionName;
    auto str = [&](const char *key, QString &value) { value = p.readString(sec, QLatin1String(key), value); };
    auto num = [&](const char *key, auto &value) { value = p.readInteger(sec, QLatin1String(key), value); };
    auto flag = [&](const char *key, bool &value) { value = p.readBool(sec, QLatin1String(key), value); };

    flag("BackMask", s.backMask);
    str("MaskUsed", s.maskUsed);
    num("MaskLeft", s.maskLeft);
    num("MaskTop", s.maskTop);
    num("Color1", s.color1);
    num("Color2", s.color2);
    num("Alignment", s.alignment);
    num("ListWidth", s.listWidth);
    num("ListHeight", s.listHeight);
    str("ListFontName", s.listFontName);
    s.listFontName.truncate(MaxFontNameLength);
    num("ListFontSize", s.listFontSize);
    str("Nail1", s.nail1);
    str("Nail2", s.nail2);
    str("Nail3", s.nail3);
    num("ShutTime", s.shutTime);
    num("ShutNumSong", s.shutNumSong);
    flag("Loop", s.loop);
    flag("Random", s.random);
    flag("TimeElapsed", s.timeElapsed);
    flag("AnimatedTray", s.animatedTray);
    flag("RandomColors", s.randomColors);
    flag("DockSide", s.dockSide);
    flag("AutoPlay", s.autoPlay);
    flag("ShowHints", s.showHints);
    flag("AnimatedGif", s.animatedGif);
    num("Icon1", s.icon1);
    num("Icon2", s.icon2);
    flag("PlayListDock", s.playListDock);
    flag("Equalizer", s.equalizer);
    num("OutputControl", s.outputControl);
    num("OutputModule", s.outputModule);
    num("XPriority", s.xPriority);
    str("OutPutDir", s.outPutDir);
    if (!s.playListDock) {
        num("PlayListLeft", s.playListLeft);
        num("PlayListTop", s.playListTop);
    }
    str("Path1", s.path1);
    str("Path2", s.path2);
    str("Path3", s.path3);
    flag("ReplayGain", s.replayGain);
    const QString path4 = p.readString(sec, QStringLiteral("Path4"));
    if (!path4.isEmpty() && QFileInfo(path4).isDir())
        s.path4 = path4;
    return s;
}

void Settings::writeTo(ProfileFile &p) const
{
    const QString &sec = SectionName;
    auto str = [&](const char *key, const QString &value) { p.writeString(sec, QLatin1String(key), value); };
    auto num = [&](const char *key, int value) { p.writeInteger(sec, QLatin1String(key), value); };
    auto flag = [&](const char *key, bool value) { p.writeBool(sec, QLatin1String(key), value); };

    flag("BackMask", backMask);
    str("MaskUsed", maskUsed);
    num("MaskLeft", maskLeft);
    num("MaskTop", maskTop);
    num("Color1", color1);
    num("Color2", color2);
    num("Alignment", alignment);
    num("ListWidth", listWidth);
    num("ListHeight", listHeight);
    str("ListFontName", listFontName.left(MaxFontNameLength));
    num("ListFontSize", listFontSize);
    str("Nail1", nail1);
    str("Nail2", nail2);
    str("Nail3", nail3);
    num("ShutTime", shutTime);
    num("ShutNumSong", shutNumSong);
    flag("Loop", loop);
    flag("Random", random);
    flag("TimeElapsed", timeElapsed);
    flag("AnimatedTray", animatedTray);
    flag("RandomColors", randomColors);
    flag("DockSide", dockSide);
    flag("AutoPlay", autoPlay);
    flag("ShowHints", showHints);
    flag("AnimatedGif", animatedGif);
    num("Icon1", icon1);
    num("Icon2", icon2);
    flag("PlayListDock", playListDock);
    flag("Equalizer", equalizer);
    num("OutputControl", outputControl);
    num("OutputModule", outputModule);
    num("XPriority", xPriority);
    str("OutPutDir", outPutDir);
    if (!playListDock) {
        num("PlayListLeft", playListLeft);
        num("PlayListTop", playListTop);
    }
    // The dialogs' folders are written once a file was chosen in them.
    if (!path1.isEmpty())
        str("Path1", path1);
    if (!path2.isEmpty())
        str("Path2", path2);
    if (path3 != DefaultPath3)
        str("Path3", path3);
    str("Path4", path4);
    // After every older key, so an older player reads the file as it always did.
    flag("ReplayGain", replayGain);

    p.writeString(QStringLiteral("This Program"), QStringLiteral("Name"), QStringLiteral("Vorlan"));
    p.writeString(QStringLiteral("This Program"), QStringLiteral("Version"), QStringLiteral("1.8"));
}

bool Settings::save(const QString &path) const
{
    ProfileFile profile(path);
    writeTo(profile);
    return profile.saveAs(path);
}

namespace
{

// "%d,%d,%d,%d"; false unless there are exactly four integers.
bool readFour(const QString &text, int values[4])
{
    const QStringList parts = text.split(',');
    if (parts.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i)
        if (!ProfileFile::parseInteger(parts[i], &values[i]))
            return false;
    return true;
}

QString four(int a, int b, int c, int d)
{
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

} // namespace

WindowPlacement WindowPlacement::fromGeometry(const QRect &frame, bool maximized, bool minimized,
                                              int pixelsPerInch)
{
    WindowPlacement w;
    w.normPos = frame;
    w.pixelsPerInch = pixelsPerInch > 0 ? pixelsPerInch : 96;
    if (minimized) {
        w.showCmd = ShowMinimized;
        w.flags = WasMinimized | (maximized ? RestoreToMaximized : 0);
    } else {
        w.showCmd = maximized ? ShowMaximized : ShowNormal;
    }
    return w;
}

bool WindowPlacement::read(const ProfileFile &p, const QString &section, WindowPlacement *placement)
{
    if (!p.hasSection(section))
        return false;
    int norm[4];
    if (!readFour(p.readString(section, QStringLiteral("NormPos")), norm))
        return false;
    const qint64 width = qint64(norm[2]) - norm[0];
    const qint64 height = qint64(norm[3]) - norm[1];
    if (width <= 0 || height <= 0 || width > 100000 || height > 100000)
        return false;

    WindowPlacement w;
    w.normPos = QRect(norm[0], norm[1], int(width), int(height));
    w.flags = p.readInteger(section, QStringLiteral("Flags"), 0) & (WasMinimized | RestoreToMaximized);
    const int show = p.readInteger(section, QStringLiteral("ShowCmd"), ShowNormal);
    w.showCmd = show >= ShowNormal && show <= ShowMaximized ? show : ShowNormal;
    const int ppi = p.readInteger(section, QStringLiteral("PixelsPerInch"), 96);
    w.pixelsPerInch = ppi > 0 && ppi <= 10000 ? ppi : 96;
    int minMax[4];
    if (readFour(p.readString(section, QStringLiteral("MinMaxPos")), minMax)) {
        w.minPos = QPoint(minMax[0], minMax[1]);
        w.maxPos = QPoint(minMax[2], minMax[3]);
    }
    *placement = w;
    return true;
}

void WindowPlacement::write(ProfileFile &p, const QString &section) const
{
    p.writeInteger(section, QStringLiteral("Flags"), flags);
    p.writeInteger(section, QStringLiteral("ShowCmd"), showCmd);
    p.writeInteger(section, QStringLiteral("PixelsPerInch"), pixelsPerInch);
    p.writeString(section, QStringLiteral("MinMaxPos"), four(minPos.x(), minPos.y(), maxPos.x(), maxPos.y()));
    p.writeString(
        section, QStringLiteral("NormPos"),
        four(normPos.left(), normPos.top(), normPos.x() + normPos.width(), normPos.y() + normPos.height()));
}

bool WindowPlacement::load(const QString &path, const QString &section, WindowPlacement *placement)
{
    return read(ProfileFile(path), section, placement);
}

bool WindowPlacement::store(const QString &path, const QString &section) const
{
    ProfileFile profile(path);
    write(profile, section);
    return profile.saveAs(path);
}

QRect WindowPlacement::restoredGeometry(int currentPixelsPerInch) const
{
    if (currentPixelsPerInch <= 0 || currentPixelsPerInch == pixelsPerInch)
        return normPos;
    const auto scale = [&](int v) { return int(qint64(v) * currentPixelsPerInch / pixelsPerInch); };
    return QRect(normPos.topLeft(), QSize(qMax(1, scale(normPos.width())), qMax(1, scale(normPos.height()))));
}

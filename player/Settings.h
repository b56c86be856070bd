#pragma once
// The player's settings, kept in "Vorlan.cfg" (section "Setting"), and the placement of the secondary windows
// kept in the same file. Settings are read once at start and written at exit; a save keeps every key and
// section of the file that it does not write itself.
#include <QRect>
#include <QString>
#include <cstdint>

class ProfileFile;

// What the screen-dependent defaults need, taken when the settings are read.
struct ScreenMetrics {
    int screenWidth = 1024;
    int maskWidth = 0;     // width of the skinned window
    int playListWidth = 0; // width of the playlist window
};

struct Settings {
    static const QString FileName;     // "Vorlan.cfg"
    static const QString SectionName;  // "Setting"
    static const QString DefaultPath3; // "MyPlayList"
    static constexpr int MaxFontNameLength = 255;

    bool backMask = true;
    QString maskUsed;
    int maskLeft = 0; // default: screen width minus the skinned window's width
    int maskTop = 0;
    int32_t color1 = 12615680; // 0xC08000
    int32_t color2 = 16777215;
    int alignment = 2;
    int listWidth = 360;
    int listHeight = 300;
    QString listFontName = QStringLiteral("MS Sans Serif");
    int listFontSize = 8;
    QString nail1 = QStringLiteral("..");
    QString nail2 = QStringLiteral("..");
    QString nail3 = QStringLiteral("..");
    int shutTime = 5; // minutes; the timed shutdown counts it down, and a save keeps what is left
    int shutNumSong = 5;
    bool loop = true;
    bool random = false;
    bool timeElapsed = true;
    bool animatedTray = true;
    bool randomColors = false;
    bool dockSide = false; // true: left screen edge
    bool autoPlay = true;
    bool showHints = true;
    bool animatedGif = true;
    int icon1 = 1;
    int icon2 = 2;
    bool playListDock = false;
    bool equalizer = false;
    int outputControl = 0;
    int outputModule = 1; // 0 sound server, 1 wave device, 2 WAV file
    int xPriority = 3;
    bool replayGain = false; // the track gain of LAME headers and ID3v2 RVA2 frames
    QString outPutDir;       // default: the user's home folder
    int playListLeft = 0;    // default: screen width minus the playlist's and the skinned window's widths
    int playListTop = 0;
    QString path1;
    QString path2;
    QString path3 = DefaultPath3;
    QString path4;
    // Not kept in "Vorlan.cfg": the shutdown's mode lasts one session, and whether several players may run
    // lives in the registry store.
    int shutMode = 3; // TimedShutdown::Off
    bool multiInstance = false;

    // Every key missing.
    static Settings defaults(const ScreenMetrics &screen);
    // Reads "Vorlan.cfg" at path; a missing file gives the defaults and *existed false (the first run).
    static Settings load(const QString &path, const ScreenMetrics &screen, bool *existed = nullptr);
    static Settings fromProfile(const ProfileFile &profile, const ScreenMetrics &screen);

    // Writes the keys of "Setting" in their order, then the "This Program" section. Keys that are not written
    // (the playlist position while docked, "Path1" while empty, "Path3" while "MyPlayList") keep what the
    // file had.
    void writeTo(ProfileFile &profile) const;
    // Saves into path, keeping the rest of an existing file; false when it could not be written.
    bool save(const QString &path) const;

    bool operator==(const Settings &) const = default;
};

// Where a secondary window was, kept in a section of "Vorlan.cfg" of its own:
// clang-format off
//   key                        value
//   Flags=<bits>               bit 0: the window was minimized,
//                              bit 1: it was maximized before it was minimized
//   ShowCmd=<n>                1 normal, 2 minimized, 3 maximized
//   PixelsPerInch=<dpi>        logical dots per inch of the screen when the placement was stored
//   MinMaxPos=<x>,<y>,<x>,<y>  where the window sat minimized and maximized (-1,-1 when the system chose)
//   NormPos=<l>,<t>,<r>,<b>    the restored (normal) frame: left, top, right and bottom,
//                              right and bottom exclusive (right = left + width)
// clang-format on
// A window restores to the NormPos frame, so a window stored and restored lands where it was; its size is
// scaled when the screen's dots per inch changed in between.
struct WindowPlacement {
    static const QString ConfigSection;     // "Config Position"
    static const QString InfoSection;       // "Info Position"
    static const QString EditTagSection;    // "EditTag Position"
    static const QString AddSection;        // "Add Position"
    static const QString StatisticsSection; // "Statistics Position"
    static const QString EqualizerSection;  // "Equalizer Position"

    enum Flag { WasMinimized = 1, RestoreToMaximized = 2 };
    enum ShowCmd { ShowNormal = 1, ShowMinimized = 2, ShowMaximized = 3 };

    int flags = 0;
    int showCmd = ShowNormal;
    int pixelsPerInch = 96;
    QPoint minPos{-1, -1};
    QPoint maxPos{-1, -1};
    QRect normPos; // the restored frame (x, y, width, height)

    // A placement of a window whose normal frame is given (frame geometry, in screen coordinates).
    static WindowPlacement fromGeometry(const QRect &frame, bool maximized, bool minimized,
                                        int pixelsPerInch);

    // False, leaving *placement alone, when the section is missing or its NormPos does not hold a frame.
    static bool read(const ProfileFile &profile, const QString &section, WindowPlacement *placement);
    void write(ProfileFile &profile, const QString &section) const;
    // The same on a file: load reads it, store writes the section and keeps everything else in the file.
    static bool load(const QString &path, const QString &section, WindowPlacement *placement);
    bool store(const QString &path, const QString &section) const;

    // The frame to restore on a screen with the given dots per inch.
    QRect restoredGeometry(int currentPixelsPerInch) const;
    bool maximized() const { return showCmd == ShowMaximized; }
    bool minimized() const { return showCmd == ShowMinimized; }

    bool operator==(const WindowPlacement &) const = default;
};

#pragma once
// A mask (".msk"): the background picture, its transparent colour, the place and size of each of the 22
// objects of the skinned player, the button and thumb images, and a few colours, font sizes and kinds. All
// keys lie in the one section "Vorlan Mask". The player, the masker's "Load Mask" and the masker's test
// window read the same file with different defaults for missing keys, so a MaskFile is always read for one of
// them.
#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

class ProfileFile;

// Who reads the mask: the defaults of missing keys differ between them.
enum class MaskReader {
    Player,     // objects at -50 (hidden), title font 8
    EditorLoad, // objects at 0, title font 12
    TestWindow, // objects at -50, title font 12, and the only reader of "TimeColor"
};

// The level meters' kinds a mask can ask for. Unchanged: the text named none, the meters keep their kind.
enum class VUKind { Horizontal, Vertical, Pie, Needle, GradVertical, Unchanged };

// What the animated picture does under the mouse ("Gif Active").
enum class GifActivity { DoNothing = 0, Hide = 1, AnimateUnderMouse = 2 };

struct MaskGeometry {
    int width = 0;
    int height = 0;
    int top = 0;
    int left = 0;
    bool operator==(const MaskGeometry &) const = default;
};

class MaskFile
{
public:
    static const QString SectionName; // "Vorlan Mask"
    // No object is wider or taller than this when there is no background to bound it.
    static constexpr int MaxObjectSide = 4096;

    // The objects in their fixed order; the names are the key prefixes ("Play Buttom" + "-W").
    enum Object {
        Slider,
        SongTitle,
        About,
        PlayList,
        Equalizer,
        Information,
        Configration,
        OnTop,
        Minimize,
        Close,
        PlayTime,
        VUMeterR,
        VUMeterL,
        PlayButtom,
        PauseButtom,
        StopButtom,
        OpenButtom,
        PrevButtom,
        NextButtom,
        LoopButtom,
        RandButtom,
        AnimatedGif,
        ObjectCount
    };
    static const std::array<QString, ObjectCount> ObjectNames;
    // The same list, for choosers and hidden lists.
    static QStringList objectNameList();

    // The eight buttons with a glyph, in the order their keys are written.
    enum Button { PlayBtn, PauseBtn, StopBtn, OpenBtn, PrevBtn, NextBtn, LoopBtn, RandBtn, ButtonCount };
    static const std::array<QString, ButtonCount> ButtonKeys;

    // Defaults shared by every reader.
    static constexpr int32_t DefaultBackColor = 32896; // olive
    static constexpr int32_t White = 16777215;
    static constexpr int32_t ButtonShadow = int32_t(0x80000010u); // system colour
    static constexpr int32_t DefaultBestColor1 = 16711680;        // blue
    static const QString DefaultAuthor;

    // Image names are bare file names beside the mask file; empty means no image.
    QString backImage;
    int32_t backColor = DefaultBackColor;
    QString sliderThumb;
    int32_t sliderColor = White;
    QString sliderKind = QStringLiteral("Horizontal");
    int timeFont = 12;
    int32_t timeColor = White; // read by the test window only, never written
    int timeAngle = 0;
    int32_t timeShadowColor = ButtonShadow;
    int timeShadowSize = 0;
    int timeShadowDepth = 0;
    int titleFont = 8;
    int32_t titleColor = White;
    QString vuKind = QStringLiteral("Horizontal");
    int32_t vuColor = White;
    std::array<QString, ButtonCount> buttonImages;
    QString animatedGif;
    int gifActive = 0;
    std::array<MaskGeometry, ObjectCount> objects;
    int volumeLeft = -50;
    int volumeTop = -50;
    int balanceLeft = -50;
    int balanceTop = -50;
    int32_t bestColor1 = DefaultBestColor1;
    int32_t bestColor2 = White;
    QString author = DefaultAuthor;

    // --- Art beyond the standard objects (the classic skins' kinds) ---
    // Written after the keys above, and only when a mask uses them; readers that do not know them show the
    // mask with the standard controls. Every picture lies beside the mask, as the others do.
    //
    // "TimeDigits": the time label drawn from a digit font: 12 glyphs of equal width side by side, the
    // digits 0 to 9, a blank and a minus. The label shows a sign cell (the minus when the time counts down,
    // else the blank), then the digits, each glyph width + 3 px apart, with 6 px more after the second digit
    // where a colon would stand; any other character of the time text is not drawn.
    QString timeDigits;
    // "TitleChars": the title drawn from a character font: a grid of 16 x 6 cells of equal size holding the
    // characters 32 to 127 row by row (space first). Other characters show as their unaccented letter, or
    // as "?".
    QString titleChars;
    // "SliderBack": a picture drawn as the position slider's groove, instead of "SliderColor".
    QString sliderBack;
    // A sprite bar for volume or balance: "VolumeBar" holds "VolumeBarFrames" frames of equal height stacked
    // top to bottom, drawn over the object "Volume Bar"; the frame shown follows the value (volume: silent
    // first, loud last; balance: centre first, either side last). "VolumeThumb" holds the thumb's normal and
    // pressed frames side by side; it is dragged along the bar, centred on its height. The same for
    // "BalanceBar", "BalanceBarFrames", "BalanceThumb" over "Balance Bar". With a bar picture the round
    // knob and its bar are not shown.
    QString volumeBar;
    int volumeBarFrames = 0;
    QString volumeThumb;
    QString balanceBar;
    int balanceBarFrames = 0;
    QString balanceThumb;
    // "LoopBtnOn", "RandBtnOn": four-frame glyphs shown while Loop or Random is on ("LoopBtn" and
    // "RandBtn" are then the off glyphs).
    enum Toggle { LoopToggle, RandToggle, ToggleCount };
    static const std::array<QString, ToggleCount> ToggleOnKeys;
    std::array<QString, ToggleCount> toggleOnImages;
    // "Shape": a file of polygons beside the mask (see RegionFile) that gives the window its outline
    // instead of the background's transparent colour.
    QString shape;
    // Objects placed by the extras, with their "-W", "-H", "-T", "-L" keys as the standard objects.
    enum ExtraObject { VolumeBarObject, BalanceBarObject, ExtraObjectCount };
    static const std::array<QString, ExtraObjectCount> ExtraObjectNames; // "Volume Bar", "Balance Bar"
    std::array<MaskGeometry, ExtraObjectCount> extraObjects;
    // Whether any of the extras is set (a mask without them is written exactly as before the extras existed).
    bool hasExtras() const;

    // The file the mask was read from or saved to; image names are resolved against its folder.
    QString path;

    // Every key missing, as the given reader sees it.
    static MaskFile defaults(MaskReader reader);
    // Reads a mask; a missing or unreadable file gives the reader's defaults (*ok false).
    static MaskFile load(const QString &path, MaskReader reader, bool *ok = nullptr);
    static MaskFile fromProfile(const ProfileFile &profile, MaskReader reader, const QString &maskPath);

    // Writes every key but "TimeColor" in the masker's order into the section; keys already there keep their
    // place and get the new value, keys we do not know stay.
    void writeTo(ProfileFile &profile) const;
    // Saves into path (keeping foreign keys of an existing file) through a temporary file.
    bool save(const QString &path) const;

    // "Horizontal" exactly is horizontal; any other text (also "horizontal") is vertical.
    bool sliderHorizontal() const { return sliderKind == QLatin1String("Horizontal"); }
    VUKind vuKindValue() const { return vuKindFromText(vuKind); }
    static VUKind vuKindFromText(const QString &text);
    // A value outside 0..2 does nothing.
    GifActivity gifActivity() const;

    // The full path of an image named in this mask, or empty when the name is empty or no such file is beside
    // the mask.
    QString imagePath(const QString &imageName) const { return resolveImage(path, imageName); }
    QString buttonImagePath(Button button) const { return imagePath(buttonImages[button]); }
    static QString resolveImage(const QString &maskPath, const QString &imageName);
    // Reads a picture of a mask: only a regular file of a sane size (a FIFO or a device in its place never
    // blocks), and not an absurd number of pixels. A null image when it cannot be read.
    static QImage readImage(const QString &path);
    // The same for a picture already in memory (a file of a zip). A picture wider or taller than `maxSize`
    // (when valid) is refused before it is decoded.
    static QImage imageFromBytes(const QByteArray &bytes, const QSize &maxSize = QSize());

    bool operator==(const MaskFile &) const = default;
};

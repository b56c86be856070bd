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

    bool operator==(const MaskFile &) const = default;
};

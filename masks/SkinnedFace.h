#pragma once
// The controls of a mask, placed where the mask says over a transparent surface the size of the background:
// the position slider, the scrolling title, the lit labels, the glyph buttons, the time label, the level
// meters, the animated picture, and the volume and balance knobs. A mask with the extra kinds of art (digit
// and character fonts, sprite bars, toggle glyphs, a groove picture) has those drawn in their places instead.
// It holds no player logic: it emits what the user does and shows what it is given. The player's skinned
// window and the mask editor's test window both wear it.
#include "masks/MaskFile.h"

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

class AngleLabel;
class BlockGauge;
class FlashLabel;
class Gauge;
class GifAnimator;
class GlyphButton;
class GlyphTimeLabel;
class GlyphTitle;
class HoverWatcher;
class KnobBar;
class QToolButton;
class ScrollingText;
class SpriteBar;
class ThumbSlider;

class SkinnedFace : public QWidget
{
    Q_OBJECT

public:
    static const QString OnTopOn;  // "T"
    static const QString OnTopOff; // ".."

    explicit SkinnedFace(QWidget *parent = nullptr);

    // Everything of a mask but the background and the best colours, in the loader's order; `step` runs after
    // each stage worth showing on a progress bar. `background` is the picture the face lies on (for text that
    // stays readable on it); a null image keeps the one given before.
    using Step = std::function<void()>;
    void applyMask(const MaskFile &mask, const QImage &background, const Step &step = {});
    const MaskFile &mask() const { return m_mask; }

    // The standard control that the mask's object places (the drawn time, title and bars stand in the
    // places of the standard ones while the mask has them).
    QWidget *objectWidget(MaskFile::Object object) const;
    GlyphButton *button(MaskFile::Button button) const { return m_buttons[button]; }

    // --- What the owner shows ---
    void setTimeText(const QString &text);
    void setPosition(int value);
    void setPositionEnabled(bool enabled);
    // The song's lines; the mask's author follows them.
    void setTitleLines(const QStringList &lines);
    QStringList titleLines() const;
    void setLevels(int left, int right);
    // The window is minimised: meters and animation wait, and show the latest when it comes back.
    void setOutOfSight(bool out);
    void setVolumePosition(int position);  // 0 full volume .. 100 silence
    void setBalancePosition(int position); // 0 left .. 100 right
    void setLoopRandom(bool loop, bool random);
    void setPlaylistLit(bool lit);
    void setEqualizerLit(bool lit);
    void setInfoLit(bool lit);
    bool playlistLit() const;
    bool equalizerLit() const;
    bool infoLit() const;
    void setOnTopCaption(const QString &caption);
    QString onTopCaption() const;
    void setExitHint(const QString &hint);
    // The knobs rest in the first colour and take the second while dragged.
    void setKnobColors(const QColor &rest, const QColor &press);
    // The player's two colours on the captions: the first on the title, time, volume, balance and close
    // button; the second on the lettered labels (while they are not lit).
    void setTextColors(const QColor &first, const QColor &second);
    // "AnimatedGif": whether the mask's picture may move at all.
    void setGifAnimationAllowed(bool allowed);
    void setShowHints(bool on);
    // The test window's extras: the time label's colour, and the meter colour also on the block gauges.
    void setTimeColor(const QColor &color);
    void setBlockGaugeColor(const QColor &color);
    // Whether the block gauges stand in for the plain meters ("Grad Vertical").
    bool blockGaugesShown() const { return m_blockGauges; }
    int gifMode() const { return m_gifMode; }
    HoverWatcher *gifHotspot() const { return GifHotspot; }

    // The controls, named as the mask's objects name them.
    ThumbSlider *Slider = nullptr;
    ScrollingText *Title = nullptr;
    GlyphButton *About = nullptr;
    FlashLabel *PlayList = nullptr;
    FlashLabel *Equalizer = nullptr;
    FlashLabel *Information = nullptr;
    FlashLabel *Configration = nullptr;
    FlashLabel *OnTop = nullptr;
    GlyphButton *Minimize = nullptr;
    QToolButton *ExitBtn = nullptr;
    AngleLabel *PlayTime = nullptr;
    Gauge *VU_R = nullptr;
    Gauge *VU_L = nullptr;
    BlockGauge *GVU_R = nullptr;
    BlockGauge *GVU_L = nullptr;
    GlyphButton *PlayBtn = nullptr;
    GlyphButton *PauseBtn = nullptr;
    GlyphButton *StopBtn = nullptr;
    GlyphButton *OpenBtn = nullptr;
    GlyphButton *PrevBtn = nullptr;
    GlyphButton *NextBtn = nullptr;
    GlyphButton *LoopBtn = nullptr;
    GlyphButton *RandBtn = nullptr;
    GifAnimator *AniGif = nullptr;
    HoverWatcher *GifHotspot = nullptr;
    KnobBar *VolumeBar = nullptr;
    KnobBar *BalanceBar = nullptr;
    // The mask's fonts and sprite bars, shown instead of PlayTime, Title, VolumeBar and BalanceBar while the
    // mask has them.
    GlyphTimeLabel *PlayDigits = nullptr;
    GlyphTitle *TitleGlyphs = nullptr;
    SpriteBar *VolumeSprite = nullptr;
    SpriteBar *BalanceSprite = nullptr;

signals:
    void playClicked();
    void pauseClicked();
    void stopClicked();
    void openClicked();
    void prevClicked();
    void nextClicked();
    void loopClicked(bool on);
    void randomClicked(bool on);
    void aboutClicked();
    void configClicked();
    void hideAllClicked();
    void exitClicked();
    void playTimeClicked();
    void playlistClicked();
    void equalizerClicked();
    void infoClicked();
    void onTopClicked();
    void sliderPressed();
    void sliderReleased();
    void sliderTrackingStarted();
    void sliderValueChanged(int value);
    void sliderTrackingStopped(int value);
    // The strip's volume (0 loud .. 100 silent) and balance track bar positions the knobs ask for.
    void volumeTrackBarChanged(int position);
    void balanceTrackBarChanged(int position);
    // A picture of the mask was left out, and why (a message naming its file).
    void pictureRefused(const QString &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    int volumeTrackBarPosition() const;
    int balanceTrackBarPosition() const;
    void applyMeters(const MaskFile &mask);
    void applyGif(const MaskFile &mask);
    void placeKnobs(const MaskFile &mask);
    // The extra art, after the standard objects are placed.
    void applyExtras(const MaskFile &mask, const QSize &bound);
    bool applySpriteBar(SpriteBar *bar, const QString &picture, int frames, const QString &thumb,
                        const MaskGeometry &place, const QSize &bound);
    // A picture the mask names, or a null image with pictureRefused saying what is shown instead.
    QImage readExtra(const MaskFile &mask, const QString &name, const QString &instead);
    void pickTextColors();
    void gifEntered();
    void gifLeft();
    void refreshTitle();
    void setTitleScrolling(bool on);

    std::array<GlyphButton *, MaskFile::ButtonCount> m_buttons{};
    MaskFile m_mask;
    QImage m_background;
    QStringList m_songLines;
    int m_gifMode = 0;
    bool m_gifLoaded = false;
    bool m_gifAllowed = true;
    bool m_blockGauges = false;
    bool m_outOfSight = false;
    int m_levelLeft = 0;
    int m_levelRight = 0;
    bool m_showHints = true;
    // Which art the mask wears in place of the standard title and knobs.
    bool m_titleGlyphs = false;
    bool m_volumeSprites = false;
    bool m_balanceSprites = false;
    bool m_titleScrolling = true;
};

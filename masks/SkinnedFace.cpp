#include "masks/SkinnedFace.h"

#include "platform/SystemColors.h"
#include "widgets/AngleLabel.h"
#include "widgets/BlockGauge.h"
#include "widgets/FlashLabel.h"
#include "widgets/Gauge.h"
#include "widgets/GifAnimator.h"
#include "widgets/GlyphButton.h"
#include "widgets/GlyphTimeLabel.h"
#include "widgets/GlyphTitle.h"
#include "widgets/HoverWatcher.h"
#include "widgets/KnobBar.h"
#include "widgets/ReadableText.h"
#include "widgets/ScrollingText.h"
#include "widgets/SpriteBar.h"
#include "widgets/ThumbSlider.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QToolButton>
#include <algorithm>

const QString SkinnedFace::OnTopOn = QStringLiteral("T");
const QString SkinnedFace::OnTopOff = QStringLiteral("..");

namespace
{

constexpr int LevelMax = 180;
constexpr int MaxPointSize = 144;
constexpr int MaxShadow = 20; // the editor's range

QColor colour(int32_t value)
{
    return SystemColors::fromValue(value);
}

// The mean lightness of the background under a rectangle; 128 when there is nothing to look at.
int lightnessUnder(const QImage &background, const QRect &rect)
{
    const QRect area = rect.intersected(background.rect());
    if (background.isNull() || area.isEmpty())
        return 128;
    long long sum = 0;
    int count = 0;
    const int stepX = std::max(1, area.width() / 12), stepY = std::max(1, area.height() / 8);
    for (int y = area.top(); y <= area.bottom(); y += stepY)
        for (int x = area.left(); x <= area.right(); x += stepX) {
            sum += qGray(background.pixel(x, y));
            ++count;
        }
    return int(sum / std::max(1, count));
}

} // namespace

SkinnedFace::SkinnedFace(QWidget *parent) : QWidget(parent)
{
    // The empty parts of the face are the background: the window is dragged by them.
    setProperty("skinBackground", true);
    buildControls();
    m_mask = MaskFile::defaults(MaskReader::Player);
}

void SkinnedFace::buildControls()
{
    Slider = new ThumbSlider(this);
    Slider->setRange(0, 400);
    Slider->setEnabled(false);
    connect(Slider, &ThumbSlider::pressed, this, &SkinnedFace::sliderPressed);
    connect(Slider, &ThumbSlider::released, this, &SkinnedFace::sliderReleased);
    connect(Slider, &ThumbSlider::trackingStarted, this, &SkinnedFace::sliderTrackingStarted);
    connect(Slider, &ThumbSlider::valueChanged, this, &SkinnedFace::sliderValueChanged);
    connect(Slider, &ThumbSlider::trackingStopped, this, &SkinnedFace::sliderTrackingStopped);

    Title = new ScrollingText(this);
    connect(Title, &ScrollingText::clicked, this, [this] { setTitleScrolling(!m_titleScrolling); });

    About = new GlyphButton(this);
    About->setToolTip(QStringLiteral("About"));
    connect(About, &GlyphButton::clicked, this, &SkinnedFace::aboutClicked);

    PlayList = new FlashLabel(QStringLiteral("P"), this);
    PlayList->setToolTip(QStringLiteral("Play List"));
    connect(PlayList, &FlashLabel::clicked, this, &SkinnedFace::playlistClicked);
    Equalizer = new FlashLabel(QStringLiteral("E"), this);
    Equalizer->setToolTip(QStringLiteral("Equalizer"));
    connect(Equalizer, &FlashLabel::clicked, this, &SkinnedFace::equalizerClicked);
    Information = new FlashLabel(QStringLiteral("i"), this);
    Information->setToolTip(QStringLiteral("File Info"));
    connect(Information, &FlashLabel::clicked, this, &SkinnedFace::infoClicked);
    Configration = new FlashLabel(QStringLiteral("C"), this);
    Configration->setToolTip(QStringLiteral("Preferences"));
    connect(Configration, &FlashLabel::clicked, this, &SkinnedFace::configClicked);
    OnTop = new FlashLabel(OnTopOff, this);
    OnTop->setToolTip(QStringLiteral("Stay On Top"));
    connect(OnTop, &FlashLabel::clicked, this, &SkinnedFace::onTopClicked);

    Minimize = new GlyphButton(this);
    Minimize->setToolTip(QStringLiteral("Hide All"));
    connect(Minimize, &GlyphButton::clicked, this, &SkinnedFace::hideAllClicked);

    ExitBtn = new QToolButton(this);
    ExitBtn->setText(QStringLiteral("x"));
    ExitBtn->setToolTip(QStringLiteral("Close."));
    ExitBtn->setAutoRaise(true);
    ExitBtn->setFocusPolicy(Qt::NoFocus);
    ExitBtn->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; font: bold 8pt; }"));
    connect(ExitBtn, &QToolButton::clicked, this, &SkinnedFace::exitClicked);

    PlayTime = new AngleLabel(this);
    PlayTime->setText(QStringLiteral("[00:00]"));
    connect(PlayTime, &AngleLabel::clicked, this, &SkinnedFace::playTimeClicked);

    VU_R = new Gauge(Gauge::VerticalBar, this);
    VU_L = new Gauge(Gauge::VerticalBar, this);
    GVU_R = new BlockGauge(this);
    GVU_L = new BlockGauge(this);
    for (Gauge *g : {VU_R, VU_L})
        g->setRange(0, LevelMax);
    for (BlockGauge *g : {GVU_R, GVU_L}) {
        g->setRange(0, LevelMax);
        g->hide();
    }

    const std::array<QString, MaskFile::ButtonCount> hints = {
        QStringLiteral("Play"),      QStringLiteral("Pause"),       QStringLiteral("Stop"),
        QStringLiteral("Open"),      QStringLiteral("Prev"),        QStringLiteral("Next"),
        QStringLiteral("Loop : On"), QStringLiteral("Random : Off")};
    for (int i = 0; i < MaskFile::ButtonCount; ++i) {
        m_buttons[i] = new GlyphButton(this);
        m_buttons[i]->setToolTip(hints[i]);
    }
    PlayBtn = m_buttons[MaskFile::PlayBtn];
    PauseBtn = m_buttons[MaskFile::PauseBtn];
    StopBtn = m_buttons[MaskFile::StopBtn];
    OpenBtn = m_buttons[MaskFile::OpenBtn];
    PrevBtn = m_buttons[MaskFile::PrevBtn];
    NextBtn = m_buttons[MaskFile::NextBtn];
    LoopBtn = m_buttons[MaskFile::LoopBtn];
    RandBtn = m_buttons[MaskFile::RandBtn];
    LoopBtn->setCheckable(true);
    RandBtn->setCheckable(true);
    connect(PlayBtn, &GlyphButton::clicked, this, &SkinnedFace::playClicked);
    connect(PauseBtn, &GlyphButton::clicked, this, &SkinnedFace::pauseClicked);
    connect(StopBtn, &GlyphButton::clicked, this, &SkinnedFace::stopClicked);
    connect(OpenBtn, &GlyphButton::clicked, this, &SkinnedFace::openClicked);
    connect(PrevBtn, &GlyphButton::clicked, this, &SkinnedFace::prevClicked);
    connect(NextBtn, &GlyphButton::clicked, this, &SkinnedFace::nextClicked);
    // The buttons toggle their own down state; the owner decides what it means.
    connect(LoopBtn, &GlyphButton::clicked, this, [this] { emit loopClicked(LoopBtn->isChecked()); });
    connect(RandBtn, &GlyphButton::clicked, this, [this] { emit randomClicked(RandBtn->isChecked()); });

    AniGif = new GifAnimator(this);
    AniGif->hide();
    GifHotspot = new HoverWatcher(this);
    connect(GifHotspot, &HoverWatcher::entered, this, &SkinnedFace::gifEntered);
    connect(GifHotspot, &HoverWatcher::left, this, &SkinnedFace::gifLeft);

    VolumeBar = new KnobBar(KnobBar::Volume, this);
    BalanceBar = new KnobBar(KnobBar::Balance, this);
    connect(VolumeBar, &KnobBar::trackBarPositionChanged, this, [this](int volume) {
        emit volumeTrackBarChanged(volume);
        emit balanceTrackBarChanged(balanceTrackBarPosition());
    });
    connect(BalanceBar, &KnobBar::trackBarPositionChanged, this, [this](int balance) {
        emit volumeTrackBarChanged(volumeTrackBarPosition());
        emit balanceTrackBarChanged(balance);
    });

    PlayDigits = new GlyphTimeLabel(this);
    PlayDigits->setText(PlayTime->text());
    connect(PlayDigits, &GlyphTimeLabel::clicked, this, &SkinnedFace::playTimeClicked);
    TitleGlyphs = new GlyphTitle(this);
    TitleGlyphs->setScrolling(false);
    connect(TitleGlyphs, &GlyphTitle::clicked, this, [this] { setTitleScrolling(!m_titleScrolling); });
    VolumeSprite = new SpriteBar(SpriteBar::Volume, this);
    BalanceSprite = new SpriteBar(SpriteBar::Balance, this);
    connect(VolumeSprite, &SpriteBar::trackBarPositionChanged, this, [this](int volume) {
        emit volumeTrackBarChanged(volume);
        emit balanceTrackBarChanged(balanceTrackBarPosition());
    });
    connect(BalanceSprite, &SpriteBar::trackBarPositionChanged, this, [this](int balance) {
        emit volumeTrackBarChanged(volumeTrackBarPosition());
        emit balanceTrackBarChanged(balance);
    });
    for (QWidget *w : std::initializer_list<QWidget *>{PlayDigits, TitleGlyphs, VolumeSprite, BalanceSprite})
        w->hide();

    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);

    // Until a mask places them, every object lies outside the face.
    for (int i = 0; i < MaskFile::ObjectCount; ++i)
        objectWidget(MaskFile::Object(i))->setGeometry(-50, -50, 0, 0);
    VolumeBar->move(-50 - VolumeBar->width(), -50);
    BalanceBar->move(-50 - BalanceBar->width(), -50);
}

int SkinnedFace::volumeTrackBarPosition() const
{
    if (m_volumeSprites)
        return VolumeSprite->position();
    const int range = VolumeBar->barWidth() - KnobBar::KnobWidth;
    return 100 - (100 / range) * VolumeBar->knobOffset();
}

int SkinnedFace::balanceTrackBarPosition() const
{
    if (m_balanceSprites)
        return BalanceSprite->position();
    if (BalanceBar->caption() == QLatin1String("Center"))
        return 50;
    const int range = BalanceBar->barWidth() - KnobBar::KnobWidth;
    return (100 / range) * BalanceBar->knobOffset();
}

QWidget *SkinnedFace::objectWidget(MaskFile::Object object) const
{
    switch (object) {
    case MaskFile::Slider:
        return Slider;
    case MaskFile::SongTitle:
        return Title;
    case MaskFile::About:
        return About;
    case MaskFile::PlayList:
        return PlayList;
    case MaskFile::Equalizer:
        return Equalizer;
    case MaskFile::Information:
        return Information;
    case MaskFile::Configration:
        return Configration;
    case MaskFile::OnTop:
        return OnTop;
    case MaskFile::Minimize:
        return Minimize;
    case MaskFile::Close:
        return ExitBtn;
    case MaskFile::PlayTime:
        return PlayTime;
    case MaskFile::VUMeterR:
        return VU_R;
    case MaskFile::VUMeterL:
        return VU_L;
    case MaskFile::PlayButtom:
        return PlayBtn;
    case MaskFile::PauseButtom:
        return PauseBtn;
    case MaskFile::StopButtom:
        return StopBtn;
    case MaskFile::OpenButtom:
        return OpenBtn;
    case MaskFile::PrevButtom:
        return PrevBtn;
    case MaskFile::NextButtom:
        return NextBtn;
    case MaskFile::LoopButtom:
        return LoopBtn;
    case MaskFile::RandButtom:
        return RandBtn;
    case MaskFile::AnimatedGif:
        return AniGif;
    case MaskFile::ObjectCount:
        break;
    }
    return nullptr;
}

void SkinnedFace::applyMask(const MaskFile &mask, const QImage &background, const Step &step)
{
    const auto advance = [&step] {
        if (step)
            step();
    };
    m_mask = mask;
    if (!background.isNull())
        m_background = background;

    // Slider: a two-frame thumb when the mask has one.
    const QString thumb = mask.imagePath(mask.sliderThumb);
    if (!thumb.isEmpty()) {
        const QImage image = MaskFile::readImage(thumb);
        if (!image.isNull())
            Slider->setThumbImage(image);
    }
    Slider->setBackColor(colour(mask.sliderColor));
    Slider->setBackImage(readExtra(mask, mask.sliderBack, QStringLiteral("the slider's colour")));
    Slider->setHorizontal(mask.sliderHorizontal());

    // Values from a file: fonts and shadows are kept within what a window can draw in good time.
    PlayTime->setPointSize(std::clamp(mask.timeFont, 1, MaxPointSize));
    PlayTime->setAngle(mask.timeAngle % 360);
    PlayTime->setShadowColor(colour(mask.timeShadowColor));
    PlayTime->setShadowSize(std::clamp(mask.timeShadowSize, 0, MaxShadow));
    PlayTime->setShadowDepth(std::clamp(mask.timeShadowDepth, 0, MaxShadow));
    advance();

    Title->setPointSize(std::clamp(mask.titleFont, 1, MaxPointSize));
    Title->setBackColor(colour(mask.titleColor));
    advance();

    applyMeters(mask);
    advance();

    for (int i = 0; i < MaskFile::ButtonCount; ++i) {
        const QString path = mask.buttonImagePath(MaskFile::Button(i));
        const QImage glyph = MaskFile::readImage(path);
        if (glyph.isNull())
            m_buttons[i]->clearGlyph(); // invisible but still clickable
        else
            m_buttons[i]->setGlyph(glyph);
        if (i == MaskFile::OpenBtn)
            advance();
    }
    LoopBtn->setOnGlyph(readExtra(mask, mask.toggleOnImages[MaskFile::LoopToggle],
                                  QStringLiteral("Loop shows its pressed frame while on")));
    RandBtn->setOnGlyph(readExtra(mask, mask.toggleOnImages[MaskFile::RandToggle],
                                  QStringLiteral("Random shows its pressed frame while on")));

    applyGif(mask);
    placeKnobs(mask);
    advance();

    // An object is never larger than the background it sits on (or, without one, than a large screen): some
    // keep a picture of their own size, which a mask's number could otherwise make gigabytes.
    const QSize bound =
        m_background.isNull() ? QSize(MaskFile::MaxObjectSide, MaskFile::MaxObjectSide) : m_background.size();
    for (int i = 0; i < MaskFile::ObjectCount; ++i) {
        const MaskGeometry &g = mask.objects[i];
        objectWidget(MaskFile::Object(i))
            ->setGeometry(g.left, g.top, std::clamp(g.width, 0, bound.width()),
                          std::clamp(g.height, 0, bound.height()));
        advance();
    }

    GifHotspot->setTarget(this, AniGif->geometry());
    GVU_R->setGeometry(VU_R->geometry());
    GVU_L->setGeometry(VU_L->geometry());
    applyExtras(mask, bound);
    pickTextColors();
    refreshTitle();
}

QImage SkinnedFace::readExtra(const MaskFile &mask, const QString &name, const QString &instead)
{
    if (name.isEmpty())
        return QImage();
    const QString path = mask.imagePath(name);
    const QImage image = MaskFile::readImage(path);
    if (image.isNull())
        emit pictureRefused(QStringLiteral("The picture \"%1\" of the mask cannot be read; %2 instead.")
                                .arg(QDir::toNativeSeparators(path.isEmpty() ? name : path), instead));
    return image;
}

void SkinnedFace::applyExtras(const MaskFile &mask, const QSize &bound)
{
    // The time in the digit font where "Play Time" is placed; the text label keeps getting the text, so a
    // mask without the font shows the time at once.
    const QImage digits = readExtra(mask, mask.timeDigits, QStringLiteral("the time is written as text"));
    PlayDigits->setDigits(digits);
    PlayDigits->setGeometry(PlayTime->geometry());
    PlayDigits->setVisible(PlayDigits->hasDigits());
    PlayTime->setVisible(!PlayDigits->hasDigits());

    const QImage characters =
        readExtra(mask, mask.titleChars, QStringLiteral("the title is written as text"));
    TitleGlyphs->setCharacters(characters);
    TitleGlyphs->setBackColor(colour(mask.titleColor));
    TitleGlyphs->setGeometry(Title->geometry());
    m_titleGlyphs = TitleGlyphs->hasCharacters();
    TitleGlyphs->setVisible(m_titleGlyphs);
    Title->setVisible(!m_titleGlyphs);
    setTitleScrolling(m_titleScrolling);

    m_volumeSprites = applySpriteBar(VolumeSprite, mask.volumeBar, mask.volumeBarFrames, mask.volumeThumb,
                                     mask.extraObjects[MaskFile::VolumeBarObject], bound);
    VolumeBar->setVisible(!m_volumeSprites);
    m_balanceSprites =
        applySpriteBar(BalanceSprite, mask.balanceBar, mask.balanceBarFrames, mask.balanceThumb,
                       mask.extraObjects[MaskFile::BalanceBarObject], bound);
    BalanceBar->setVisible(!m_balanceSprites);
}

bool SkinnedFace::applySpriteBar(SpriteBar *bar, const QString &picture, int frames, const QString &thumb,
                                 const MaskGeometry &place, const QSize &bound)
{
    // A bar the mask gives no place to would leave the player without the control: the knob stays.
    if (place.width <= 0 || place.height <= 0) {
        bar->setFrames(QImage(), 0);
        bar->setThumb(QImage());
        bar->hide();
        return false;
    }
    const QImage stack = readExtra(m_mask, picture, QStringLiteral("the round knob is shown"));
    bar->setFrames(stack, frames);
    bar->setThumb(bar->hasFrames() ? readExtra(m_mask, thumb, QStringLiteral("the bar has no thumb"))
                                   : QImage());
    bar->setGeometry(place.left, place.top, std::clamp(place.width, 0, bound.width()),
                     std::clamp(place.height, 0, bound.height()));
    bar->setVisible(bar->hasFrames());
    return bar->hasFrames();
}

void SkinnedFace::applyMeters(const MaskFile &mask)
{
    for (QWidget *w : std::initializer_list<QWidget *>{VU_R, VU_L, GVU_R, GVU_L})
        w->hide();
    VU_R->setBackColor(colour(mask.vuColor));
    VU_L->setBackColor(VU_R->BackColor());
    // The block gauges keep their own (black) ground: the mask's meter colour is for the plain meters.
    const VUKind kind = mask.vuKindValue();
    switch (kind) {
    case VUKind::Horizontal:
        VU_R->setKind(Gauge::HorizontalBar);
        break;
    case VUKind::Vertical:
        VU_R->setKind(Gauge::VerticalBar);
        break;
    case VUKind::Pie:
        VU_R->setKind(Gauge::Pie);
        break;
    case VUKind::Needle:
        VU_R->setKind(Gauge::Needle);
        break;
    case VUKind::GradVertical:
    case VUKind::Unchanged:
        break;
    }
    VU_L->setKind(VU_R->kind());
    m_blockGauges = kind == VUKind::GradVertical;
    if (m_blockGauges) {
        GVU_R->show();
        GVU_L->show();
    } else {
        VU_R->show();
        VU_L->show();
    }
}

void SkinnedFace::applyGif(const MaskFile &mask)
{
    AniGif->show();
    AniGif->setAnimating(m_gifAllowed);
    GifHotspot->setActive(true);
    const int mode = mask.gifActive;
    if (mode >= 0 && mode <= 2)
        m_gifMode = mode;
    const QString path = mask.imagePath(mask.animatedGif);
    m_gifLoaded = !path.isEmpty() && AniGif->setFile(path);
    if (!AniGif->refusal().isEmpty())
        emit pictureRefused(AniGif->refusal());
    if (m_gifLoaded) {
        AniGif->setAnimating(m_gifAllowed);
    } else {
        AniGif->clear();
        AniGif->hide();
        AniGif->setAnimating(false);
    }
    if (m_gifMode == 0)
        GifHotspot->setActive(false);
    else if (m_gifMode == 2)
        AniGif->setAnimating(false); // it moves only under the mouse
}

void SkinnedFace::placeKnobs(const MaskFile &mask)
{
    // The knob keeps its place on the bar; the bar's left and the knob's top come from the mask, the bar
    // lies 4 px below the knob's top and the caption under the knob.
    VolumeBar->move(mask.volumeLeft, mask.volumeTop);
    BalanceBar->move(mask.balanceLeft, mask.balanceTop);
}

void SkinnedFace::pickTextColors()
{
    const auto textOn = [this](QWidget *w) {
        return ReadableText::isLight(lightnessUnder(m_background, w->geometry())) ? QColor(20, 20, 24)
                                                                                  : QColor(235, 238, 242);
    };
    for (FlashLabel *label : {PlayList, Equalizer, Information, Configration, OnTop}) {
        const bool light = ReadableText::isLight(lightnessUnder(m_background, label->geometry()));
        label->setColors(light ? QColor(200, 60, 0) : QColor(255, 208, 64),
                         light ? QColor(70, 70, 80) : QColor(170, 176, 186));
    }
    PlayTime->setTextColor(textOn(PlayTime));
    VolumeBar->setTextColor(textOn(VolumeBar));
    BalanceBar->setTextColor(textOn(BalanceBar));
    QPalette palette = ExitBtn->palette();
    palette.setColor(QPalette::ButtonText, textOn(ExitBtn));
    ExitBtn->setPalette(palette);
}

void SkinnedFace::gifEntered()
{
    if (m_gifMode == 2)
        AniGif->setAnimating(m_gifAllowed && m_gifLoaded);
    else if (m_gifMode == 1)
        AniGif->hide();
}

void SkinnedFace::gifLeft()
{
    if (m_gifMode == 2)
        AniGif->setAnimating(false);
    else if (m_gifMode == 1 && m_gifLoaded)
        AniGif->show();
}

void SkinnedFace::setTimeText(const QString &text)
{
    PlayTime->setText(text);
    PlayDigits->setText(text);
}

void SkinnedFace::setPosition(int value)
{
    Slider->setValue(value);
}

void SkinnedFace::setPositionEnabled(bool enabled)
{
    Slider->setEnabled(enabled);
}

void SkinnedFace::setTitleLines(const QStringList &lines)
{
    m_songLines = lines;
    refreshTitle();
}

QStringList SkinnedFace::titleLines() const
{
    return Title->lines();
}

void SkinnedFace::refreshTitle()
{
    QStringList lines = m_songLines;
    lines << QString() << QStringLiteral("Mask Author: ") + m_mask.author << QString();
    Title->setLines(lines);
    TitleGlyphs->setLines(lines);
}

void SkinnedFace::setTitleScrolling(bool on)
{
    // Only the title shown rolls; a click stops or starts it, whichever kind the next mask shows.
    m_titleScrolling = on;
    Title->setScrolling(on && !m_titleGlyphs);
    TitleGlyphs->setScrolling(on && m_titleGlyphs);
}

void SkinnedFace::setLevels(int left, int right)
{
    m_levelLeft = left;
    m_levelRight = right;
    if (m_outOfSight)
        return;
    if (m_blockGauges) {
        GVU_L->setProgress(left);
        GVU_R->setProgress(right);
    } else {
        VU_L->setProgress(left);
        VU_R->setProgress(right);
    }
}

void SkinnedFace::setOutOfSight(bool out)
{
    if (out == m_outOfSight)
        return;
    m_outOfSight = out;
    AniGif->setOutOfSight(out);
    if (!out)
        setLevels(m_levelLeft, m_levelRight);
}

void SkinnedFace::setVolumePosition(int position)
{
    // Both follow the player, so a mask loaded later shows the volume at once whichever it uses.
    VolumeBar->showTrackBarPosition(position);
    VolumeSprite->showTrackBarPosition(position);
}

void SkinnedFace::setBalancePosition(int position)
{
    BalanceBar->showTrackBarPosition(position);
    BalanceSprite->showTrackBarPosition(position);
}

void SkinnedFace::setLoopRandom(bool loop, bool random)
{
    LoopBtn->setChecked(loop);
    RandBtn->setChecked(random);
    LoopBtn->setToolTip(loop ? QStringLiteral("Loop : On") : QStringLiteral("Loop : Off"));
    RandBtn->setToolTip(random ? QStringLiteral("Random : On") : QStringLiteral("Random : Off"));
}

void SkinnedFace::setPlaylistLit(bool lit)
{
    PlayList->setLit(lit);
}

void SkinnedFace::setEqualizerLit(bool lit)
{
    Equalizer->setLit(lit);
}

void SkinnedFace::setInfoLit(bool lit)
{
    Information->setLit(lit);
}

bool SkinnedFace::playlistLit() const
{
    return PlayList->isLit();
}

bool SkinnedFace::equalizerLit() const
{
    return Equalizer->isLit();
}

bool SkinnedFace::infoLit() const
{
    return Information->isLit();
}

void SkinnedFace::setOnTopCaption(const QString &caption)
{
    OnTop->setCaption(caption);
}

QString SkinnedFace::onTopCaption() const
{
    return OnTop->caption();
}

void SkinnedFace::setExitHint(const QString &hint)
{
    ExitBtn->setToolTip(hint);
}

void SkinnedFace::setKnobColors(const QColor &rest, const QColor &press)
{
    VolumeBar->setColors(rest, press);
    BalanceBar->setColors(rest, press);
}

void SkinnedFace::setTextColors(const QColor &first, const QColor &second)
{
    Title->setTextColor(first);
    PlayTime->setTextColor(first);
    VolumeBar->setTextColor(first);
    BalanceBar->setTextColor(first);
    QPalette palette = ExitBtn->palette();
    palette.setColor(QPalette::ButtonText, first);
    ExitBtn->setPalette(palette);
    for (FlashLabel *label : {PlayList, Equalizer, Information, Configration, OnTop})
        label->setColors(label->litColor(), second);
}

void SkinnedFace::setGifAnimationAllowed(bool allowed)
{
    m_gifAllowed = allowed;
    if (!allowed)
        AniGif->setAnimating(false);
    else if (m_gifLoaded && m_gifMode != 2)
        AniGif->setAnimating(true);
}

void SkinnedFace::setShowHints(bool on)
{
    m_showHints = on;
}

bool SkinnedFace::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip && !m_showHints)
        return true;
    return QWidget::eventFilter(watched, event);
}

void SkinnedFace::setTimeColor(const QColor &color)
{
    PlayTime->setTextColor(color);
}

void SkinnedFace::setBlockGaugeColor(const QColor &color)
{
    GVU_R->setControlColor(color);
    GVU_L->setControlColor(color);
}

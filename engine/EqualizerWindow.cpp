#include "engine/EqualizerWindow.h"

#include "engine/TXaudioPlayer.h"
#include "widgets/FlatButton.h"
#include "widgets/GradientFrame.h"
#include "widgets/WindowDragger.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace
{

const QString PitchName = QStringLiteral("OUTPUT.DIRECTSOUND.PITCH");
const QString PitchAtRest = QStringLiteral("Pitch");

struct Preset {
    const char *name;
    std::array<int, EqualizerSettings::SliderCount> values; // both channels
};

// Bands:                   60  150  260  500  780   1K   3K   6K  10K  12K  14K  16K
const Preset Presets[] = {
    {"Rock", {{40, 30, 10, -10, -20, -10, 10, 30, 40, 40, 40, 40}}},
    {"Classical", {{0, 0, 0, 0, 0, 0, 0, -10, -25, -30, -35, -40}}},
    {"Voice", {{-60, -40, -20, 0, 20, 30, 40, 30, 10, 0, -10, -20}}},
    {"Bass Boost", {{70, 60, 40, 15, 0, 0, 0, 0, 0, 0, 0, 0}}},
    {"Treble Boost", {{0, 0, 0, 0, 0, 0, 10, 30, 50, 60, 65, 70}}},
    {"Loudness", {{50, 35, 15, 0, -5, -5, 0, 10, 25, 30, 35, 35}}},
};

QSlider *bandSlider(QWidget *parent, const QString &name)
{
    auto *slider = new QSlider(Qt::Vertical, parent);
    slider->setObjectName(name);
    slider->setRange(EqualizerSettings::MinValue, EqualizerSettings::MaxValue);
    slider->setSingleStep(1);
    slider->setPageStep(10);
    slider->setValue(0);
    slider->setMinimumHeight(110);
    return slider;
}

} // namespace

const QStringList &EqualizerWindow::bandLabels()
{
    static const QStringList labels{QStringLiteral("60"),  QStringLiteral("150"), QStringLiteral("260"),
                                    QStringLiteral("500"), QStringLiteral("780"), QStringLiteral("1K"),
                                    QStringLiteral("3K"),  QStringLiteral("6K"),  QStringLiteral("10K"),
                                    QStringLiteral("12K"), QStringLiteral("14K"), QStringLiteral("16K")};
    return labels;
}

EqualizerWindow::EqualizerWindow(TXaudioPlayer *player, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_player(player)
{
    setObjectName(QStringLiteral("Equalizer"));
    setWindowTitle(QStringLiteral("Equalizer"));
    m_frame = new GradientFrame(this, QStringLiteral("Vorlan Equalizer"));
    TitleLabel = m_frame->titleLabel();
    ExitBtn = m_frame->exitButton();

    QWidget *body = m_frame->body();
    auto *column = new QVBoxLayout(body);
    column->setContentsMargins(8, 6, 8, 8);
    column->setSpacing(6);

    auto *top = new QHBoxLayout;
    EnableCheckBox = new QCheckBox(QStringLiteral("Use Equalizer"), body);
    EnableCheckBox->setObjectName(QStringLiteral("EnableCheckBox"));
    LeftRight = new QPushButton(QStringLiteral("Right = Left"), body);
    LeftRight->setObjectName(QStringLiteral("LeftRight"));
    ResetBtn = new QPushButton(QStringLiteral("Reset"), body);
    ResetBtn->setObjectName(QStringLiteral("ResetBtn"));
    SaveBtn = new QPushButton(QStringLiteral("Save"), body);
    SaveBtn->setObjectName(QStringLiteral("SaveBtn"));
    top->addWidget(EnableCheckBox);
    top->addStretch(1);
    top->addWidget(LeftRight);
    top->addWidget(ResetBtn);
    top->addWidget(SaveBtn);
    column->addLayout(top);

    EQList = new QComboBox(body);
    EQList->setObjectName(QStringLiteral("EQList"));
    EQList->setPlaceholderText(QStringLiteral("Presets"));
    column->addWidget(EQList);

    auto *channels = new QHBoxLayout;
    for (int ch = 0; ch < 2; ++ch) {
        auto *box = new QGroupBox(ch == 0 ? QStringLiteral("Left") : QStringLiteral("Right"), body);
        auto *grid = new QGridLayout(box);
        grid->setContentsMargins(4, 4, 4, 4);
        grid->setHorizontalSpacing(2);
        // Columns of one width, so the sliders stand at even distances whatever their labels' widths.
        int widest = 0;
        for (const QString &text : bandLabels())
            widest = std::max(widest, box->fontMetrics().horizontalAdvance(text));
        for (int i = 0; i < EqualizerSettings::SliderCount; ++i) {
            grid->setColumnMinimumWidth(i, widest);
            grid->setColumnStretch(i, 1);
        }
        for (int i = 0; i < EqualizerSettings::SliderCount; ++i) {
            QSlider *slider =
                bandSlider(box, QStringLiteral("%1Slider%2").arg(ch == 0 ? u'L' : u'R').arg(i + 1));
            (ch == 0 ? LSlider : RSlider)[size_t(i)] = slider;
            auto *label = new QLabel(bandLabels()[i], box);
            label->setAlignment(Qt::AlignHCenter);
            grid->addWidget(slider, 0, i, Qt::AlignHCenter);
            grid->addWidget(label, 1, i);
            connect(slider, &QSlider::valueChanged, this, [this] {
                if (!m_loading)
                    Send();
            });
        }
        channels->addWidget(box);
    }
    column->addLayout(channels);

    auto *pitchRow = new QHBoxLayout;
    PitchLabel = new QLabel(PitchAtRest, body);
    PitchLabel->setObjectName(QStringLiteral("PitchLabel"));
    PitchLabel->setMinimumWidth(PitchLabel->fontMetrics().horizontalAdvance(QStringLiteral("2000 %")));
    PitchBar = new QSlider(Qt::Horizontal, body);
    PitchBar->setObjectName(QStringLiteral("PitchBar"));
    PitchBar->setRange(10, 2000);
    PitchBar->setSingleStep(10);
    PitchBar->setPageStep(100);
    PitchBar->setValue(1000);
    pitchRow->addWidget(PitchLabel);
    pitchRow->addWidget(PitchBar, 1);
    column->addLayout(pitchRow);

    // A move made from the keyboard or the wheel has no release: the label rests again a moment later.
    m_pitchRest = new QTimer(this);
    m_pitchRest->setSingleShot(true);
    m_pitchRest->setInterval(800);
    connect(m_pitchRest, &QTimer::timeout, this, &EqualizerWindow::PitchBarStopTracking);

    connect(EnableCheckBox, &QCheckBox::clicked, this, &EqualizerWindow::Send);
    connect(LeftRight, &QPushButton::clicked, this, &EqualizerWindow::LeftRightClick);
    connect(ResetBtn, &QPushButton::clicked, this, &EqualizerWindow::ResetBtnClick);
    connect(SaveBtn, &QPushButton::clicked, this, &EqualizerWindow::SaveBtnClick);
    connect(EQList, &QComboBox::activated, this, &EqualizerWindow::EQListChange);
    connect(PitchBar, &QSlider::valueChanged, this, &EqualizerWindow::PitchBarChange);
    connect(PitchBar, &QSlider::sliderReleased, this, &EqualizerWindow::PitchBarStopTracking);

    // The body drags the window too, wherever no control takes the mouse.
    m_bodyDragger = new WindowDragger(this);
    body->installEventFilter(this);

    setColors(QColor(0x00, 0x80, 0xC0), Qt::white);
}

void EqualizerWindow::setPresetFolder(const QString &folder)
{
    m_folder = folder;
    RefreshEQList();
}

EqualizerSettings EqualizerWindow::sliders() const
{
    EqualizerSettings s;
    for (size_t i = 0; i < s.left.size(); ++i) {
        s.left[i] = LSlider[i]->value();
        s.right[i] = RSlider[i]->value();
    }
    return s;
}

void EqualizerWindow::setSliders(const EqualizerSettings &settings)
{
    // One record for the whole change, not one per slider.
    m_loading = true;
    for (size_t i = 0; i < settings.left.size(); ++i) {
        LSlider[i]->setValue(settings.left[i]);
        RSlider[i]->setValue(settings.right[i]);
    }
    m_loading = false;
    Send();
}

void EqualizerWindow::Send()
{
    if (!m_player)
        return;
    if (EnableCheckBox->isChecked()) {
        const XA_EqualizerInfo info = sliders().toEqualizerInfo();
        m_player->SetCodecEqualizer(&info);
    } else {
        m_player->SetCodecEqualizer(nullptr);
    }
}

void EqualizerWindow::setEqualizerOn(bool on)
{
    EnableCheckBox->setChecked(on);
    Send();
}

bool EqualizerWindow::equalizerOn() const
{
    return EnableCheckBox->isChecked();
}

bool EqualizerWindow::Load(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        RefreshEQList();
        return false;
    }
    EqualizerSettings s = sliders();
    if (!s.load(path))
        return false;
    setSliders(s);
    return true;
}

bool EqualizerWindow::Save(const QString &path) const
{
    return sliders().save(path);
}

void EqualizerWindow::LeftRightClick()
{
    EqualizerSettings s = sliders();
    s.rightEqualsLeft();
    setSliders(s);
}

void EqualizerWindow::ResetBtnClick()
{
    EqualizerSettings s;
    setSliders(s);
}

void EqualizerWindow::SaveBtnClick()
{
    if (!m_prompt || m_folder.isEmpty())
        return;
    // Made when first asked for: the pattern engine is loaded only by those who save a preset.
    if (!m_nameValidator)
        m_nameValidator =
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9]{0,34}")), this);
    const std::optional<QString> answer =
        m_prompt(QStringLiteral("Please enter equalizer file name:"), m_nameValidator, MaxNameLength);
    if (!answer)
        return;
    // The name is taken as typed (no extension added); only names that would leave the folder are refused.
    const QString name = answer->trimmed();
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..") ||
        name.contains(QLatin1Char('/')))
        return;
    QDir().mkpath(m_folder);
    const QString path = m_folder + QLatin1Char('/') + name;
    // A preset that could not be written (a full disk) is said so; one saved before under that name stays.
    if (!Save(path))
        QMessageBox::warning(
            this, QStringLiteral("Vorlan"),
            QStringLiteral("The equalizer preset \"%1\" could not be saved (is the disk full?).")
                .arg(QDir::toNativeSeparators(path)));
    RefreshEQList();
    EQList->setCurrentIndex(EQList->findText(name));
}

void EqualizerWindow::EQListChange(int index)
{
    if (index < 0 || m_folder.isEmpty())
        return;
    Load(m_folder + QLatin1Char('/') + EQList->itemText(index));
}

void EqualizerWindow::RefreshEQList()
{
    const QString current = EQList->currentText();
    QStringList names;
    if (!m_folder.isEmpty())
        names =
            QDir(m_folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                     QDir::Name | QDir::IgnoreCase);
    EQList->clear();
    EQList->addItems(names);
    EQList->setCurrentIndex(EQList->findText(current));
}

void EqualizerWindow::PitchBarChange(int value)
{
    if (m_player)
        m_player->SetPlayerEnvironmentInteger(PitchName, value);
    PitchLabel->setText(QStringLiteral("%1 %").arg(qRound(value / 10.0), 2, 10, QLatin1Char('0')));
    if (!PitchBar->isSliderDown())
        m_pitchRest->start();
}

void EqualizerWindow::PitchBarStopTracking()
{
    m_pitchRest->stop();
    PitchLabel->setText(PitchAtRest);
}

void EqualizerWindow::setPitchEnabled(bool enabled)
{
    PitchBar->setEnabled(enabled);
    if (!enabled)
        PitchBarStopTracking();
}

void EqualizerWindow::setColors(const QColor &from, const QColor &to)
{
    m_frame->setColors(from, to);
}

void EqualizerWindow::installPresets(const QString &folder)
{
    if (folder.isEmpty() || QFileInfo::exists(folder) || !QDir().mkpath(folder))
        return;
    for (const Preset &p : Presets) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(p.name);
        if (QFileInfo::exists(path))
            continue;
        EqualizerSettings s;
        s.left = s.right = p.values;
        s.save(path);
    }
}

void EqualizerWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    RefreshEQList();
    emit visibilityChanged(true);
}

void EqualizerWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    emit visibilityChanged(false);
}

bool EqualizerWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_frame->body()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *e = static_cast<QMouseEvent *>(event);
            m_bodyDragger->press(e->button(), e->globalPosition().toPoint());
            break;
        }
        case QEvent::MouseMove: {
            auto *e = static_cast<QMouseEvent *>(event);
            m_bodyDragger->drag(e->buttons(), e->globalPosition().toPoint());
            break;
        }
        case QEvent::MouseButtonRelease:
            m_bodyDragger->release();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

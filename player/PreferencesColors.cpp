// The preferences' colour tab: the two colour pickers with their preview, the list of favourite pairs, and
// the colours of Apply, spread over every window.
#include "engine/EqualizerWindow.h"
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
#include "platform/SystemColors.h"
#include "player/AboutWindow.h"
#include "player/ColorList.h"
#include "player/MainWindow.h"
#include "player/PreferencesWindow.h"
#include "player/Settings.h"
#include "player/StatisticsWindow.h"
#include "playlist/AddFilesWindow.h"
#include "playlist/PlaylistWindow.h"
#include "playlist/UrlInputWindow.h"
#include "tags/FileInfoWindow.h"
#include "tags/TagEditorWindow.h"
#include "widgets/GradientFrame.h"
#include "widgets/TFountainFill.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>

namespace
{

QIcon swatch(const QColor &color)
{
    QPixmap pm(28, 14);
    pm.fill(color);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.drawRect(pm.rect().adjusted(0, 0, -1, -1));
    return QIcon(pm);
}

} // namespace

void PreferencesWindow::buildInterfaceTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    CP1 = new QPushButton(QStringLiteral("From.."), page);
    CP1->setObjectName(QStringLiteral("CP1"));
    CP2 = new QPushButton(QStringLiteral("To......."), page);
    CP2->setObjectName(QStringLiteral("CP2"));
    for (QPushButton *b : {CP1, CP2})
        b->setAutoDefault(false);
    FountainFill1 = new TFountainFill(page);
    FountainFill1->setObjectName(QStringLiteral("FountainFill1"));
    FountainFill1->setStyle(TFountainFill::fsHorizontal);
    FountainFill1->setSteps(PreviewSteps);
    FountainFill1->setMinimumHeight(36);
    BestColor = new QComboBox(page);
    BestColor->setObjectName(QStringLiteral("BestColor"));
    ColorName = new QLineEdit(page);
    ColorName->setObjectName(QStringLiteral("ColorName"));
    ColorName->setMaxLength(ColorList::MaxNameLength);
    CAddBtn = new QPushButton(QStringLiteral("ADD"), page);
    CAddBtn->setObjectName(QStringLiteral("CAddBtn"));
    CRemoveBtn = new QPushButton(QStringLiteral("REMOVE"), page);
    CRemoveBtn->setObjectName(QStringLiteral("CRemoveBtn"));
    for (QPushButton *b : {CAddBtn, CRemoveBtn})
        b->setAutoDefault(false);
    RandColor = new QCheckBox(QStringLiteral("Random my Best Colors"), page);
    RandColor->setObjectName(QStringLiteral("RandColor"));

    grid->addWidget(CP1, 0, 0);
    grid->addWidget(CP2, 0, 1);
    grid->addWidget(FountainFill1, 1, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("My Best Colors"), page), 2, 0);
    grid->addWidget(BestColor, 2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("New Color Name"), page), 3, 0);
    grid->addWidget(ColorName, 3, 1, 1, 2);
    grid->addWidget(CAddBtn, 4, 1);
    grid->addWidget(CRemoveBtn, 4, 2);
    grid->addWidget(RandColor, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);

    connect(CP1, &QPushButton::clicked, this, &PreferencesWindow::CP1Click);
    connect(CP2, &QPushButton::clicked, this, &PreferencesWindow::CP2Click);
    connect(BestColor, &QComboBox::activated, this, &PreferencesWindow::BestColorChange);
    connect(CAddBtn, &QPushButton::clicked, this, &PreferencesWindow::CAddBtnClick);
    connect(CRemoveBtn, &QPushButton::clicked, this, &PreferencesWindow::CRemoveBtnClick);
    Tabs->addTab(page, QStringLiteral("Interface"));
}

void PreferencesWindow::setColorListPath(const QString &path)
{
    m_colors = std::make_unique<ColorList>(path);
    loadColorList();
}

QString PreferencesWindow::colorListPath() const
{
    return m_colors->path();
}

void PreferencesWindow::loadColorList()
{
    m_colors->reload();
    BestColor->clear();
    BestColor->addItems(m_colors->names());
}

void PreferencesWindow::setPickerColors(int32_t color1, int32_t color2)
{
    m_cp1 = color1;
    m_cp2 = color2;
    showPickerColors();
}

void PreferencesWindow::showPickerColors()
{
    const QColor c1 = SystemColors::fromValue(m_cp1), c2 = SystemColors::fromValue(m_cp2);
    CP1->setIcon(swatch(c1));
    CP2->setIcon(swatch(c2));
    FountainFill1->setColors(c1, c2);
}

void PreferencesWindow::CP1Click()
{
    if (const auto c = m_colorChooser(this, SystemColors::fromValue(m_cp1)))
        setPickerColors(SystemColors::toValue(*c), m_cp2);
}

void PreferencesWindow::CP2Click()
{
    if (const auto c = m_colorChooser(this, SystemColors::fromValue(m_cp2)))
        setPickerColors(m_cp1, SystemColors::toValue(*c));
}

void PreferencesWindow::BestColorChange(int index)
{
    int32_t c1 = 0, c2 = 0;
    if (m_colors->pick(index, &c1, &c2))
        setPickerColors(c1, c2);
}

void PreferencesWindow::CAddBtnClick()
{
    const QString stored = m_colors->add(ColorName->text(), m_cp1, m_cp2);
    if (stored.isEmpty()) {
        // The list on disk stays as it was.
        QMessageBox::warning(this, QStringLiteral("Vorlan"),
                             QStringLiteral("The colour list \"%1\" could not be saved (is the disk full?).")
                                 .arg(QDir::toNativeSeparators(m_colors->path())));
        return;
    }
    loadColorList();
    BestColor->setCurrentIndex(BestColor->count() - 1);
}

void PreferencesWindow::CRemoveBtnClick()
{
    const int index = BestColor->currentIndex();
    if (index < 0)
        return;
    if (!m_colors->remove(index))
        QMessageBox::warning(this, QStringLiteral("Vorlan"),
                             QStringLiteral("The colour list \"%1\" could not be saved (is the disk full?).")
                                 .arg(QDir::toNativeSeparators(m_colors->path())));
    loadColorList();
}

bool PreferencesWindow::pickRandomBestColor()
{
    m_colors->reload();
    if (m_colors->count() <= 1)
        return false;
    const int index = int(QRandomGenerator::global()->bounded(m_colors->count()));
    loadColorList();
    BestColor->setCurrentIndex(index);
    BestColorChange(index);
    applyColors();
    return true;
}

void PreferencesWindow::applyFrameColors(const QColor &c1, const QColor &c2)
{
    // Top and left start in the first colour, bottom and right end in it; the other ends keep the frame's
    // own.
    TopFill->setColors(c1, FrameColor);
    LeftFill->setColors(c1, FrameColor);
    BottomFill->setColors(FrameColor, c1);
    RightFill->setColors(FrameColor, c1);
    QPalette pal = Label8->palette();
    pal.setColor(QPalette::WindowText, GradientFrame::captionColor(c1, c2));
    Label8->setPalette(pal);
}

void PreferencesWindow::applyColors()
{
    m_settings->color1 = m_cp1;
    m_settings->color2 = m_cp2;
    const QColor c1 = SystemColors::fromValue(m_cp1), c2 = SystemColors::fromValue(m_cp2);
    const Targets &t = m_targets;
    if (t.main)
        t.main->setColors(c1, c2);
    if (t.playlist)
        t.playlist->applyColors(c1, c2);
    if (t.skinned) {
        t.skinned->face()->setTextColors(c1, c2);
        t.skinned->face()->setKnobColors(c1, c2);
    }
    FountainFill1->setColors(c1, c2);
    applyFrameColors(c1, c2);
    if (t.about)
        t.about->setColors(c1, c2);
    if (t.info)
        t.info->setColors(c1, c2);
    if (t.tagEditor)
        t.tagEditor->setColors(c1, c2);
    if (t.addFiles)
        t.addFiles->setColors(c1, c2);
    if (t.statistics)
        t.statistics->setColors(c1, c2);
    if (t.equalizer)
        t.equalizer->setColors(c1, c2);
    if (t.urlInput)
        t.urlInput->applyColors(c1, c2);
}

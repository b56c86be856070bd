#include "player/PreferencesInterfacePage.h"

#include "platform/SystemColors.h"
#include "player/ColorList.h"
#include "player/PreferencesControls.h"
#include "player/Settings.h"
#include "widgets/TFountainFill.h"

#include <QCheckBox>
#include <QColorDialog>
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

PreferencesInterfacePage::PreferencesInterfacePage(QWidget *parent) : QWidget(parent)
{
    using PreferencesControls::pushButton;
    m_colors = std::make_unique<ColorList>(QString());
    m_colorChooser = [](QWidget *parent, const QColor &initial) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(initial, parent);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    };

    auto *grid = new QGridLayout(this);
    CP1 = pushButton("CP1", QStringLiteral("From.."), this);
    CP2 = pushButton("CP2", QStringLiteral("To......."), this);
    FountainFill1 = new TFountainFill(this);
    FountainFill1->setObjectName(QStringLiteral("FountainFill1"));
    FountainFill1->setStyle(TFountainFill::fsHorizontal);
    FountainFill1->setSteps(PreviewSteps);
    FountainFill1->setMinimumHeight(36);
    BestColor = new QComboBox(this);
    BestColor->setObjectName(QStringLiteral("BestColor"));
    ColorName = new QLineEdit(this);
    ColorName->setObjectName(QStringLiteral("ColorName"));
    ColorName->setMaxLength(ColorList::MaxNameLength);
    CAddBtn = pushButton("CAddBtn", QStringLiteral("ADD"), this);
    CRemoveBtn = pushButton("CRemoveBtn", QStringLiteral("REMOVE"), this);
    RandColor =
        PreferencesControls::checkBox("RandColor", QStringLiteral("Random my Best Colors"), false, this);

    grid->addWidget(CP1, 0, 0);
    grid->addWidget(CP2, 0, 1);
    grid->addWidget(FountainFill1, 1, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("My Best Colors"), this), 2, 0);
    grid->addWidget(BestColor, 2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("New Color Name"), this), 3, 0);
    grid->addWidget(ColorName, 3, 1, 1, 2);
    grid->addWidget(CAddBtn, 4, 1);
    grid->addWidget(CRemoveBtn, 4, 2);
    grid->addWidget(RandColor, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);

    connect(CP1, &QPushButton::clicked, this, &PreferencesInterfacePage::CP1Click);
    connect(CP2, &QPushButton::clicked, this, &PreferencesInterfacePage::CP2Click);
    connect(BestColor, &QComboBox::activated, this, &PreferencesInterfacePage::BestColorChange);
    connect(CAddBtn, &QPushButton::clicked, this, &PreferencesInterfacePage::CAddBtnClick);
    connect(CRemoveBtn, &QPushButton::clicked, this, &PreferencesInterfacePage::CRemoveBtnClick);
    showPickerColors();
}

PreferencesInterfacePage::~PreferencesInterfacePage() = default;

void PreferencesInterfacePage::setColorListPath(const QString &path)
{
    m_colors = std::make_unique<ColorList>(path);
    loadColorList();
}

QString PreferencesInterfacePage::colorListPath() const
{
    return m_colors->path();
}

void PreferencesInterfacePage::loadColorList()
{
    m_colors->reload();
    BestColor->clear();
    BestColor->addItems(m_colors->names());
}

void PreferencesInterfacePage::load(const Settings &s)
{
    setPickerColors(s.color1, s.color2);
    RandColor->setChecked(s.randomColors);
}

void PreferencesInterfacePage::store(Settings &s) const
{
    s.color1 = m_cp1;
    s.color2 = m_cp2;
    s.randomColors = RandColor->isChecked();
}

void PreferencesInterfacePage::setPickerColors(int32_t color1, int32_t color2)
{
    m_cp1 = color1;
    m_cp2 = color2;
    showPickerColors();
}

void PreferencesInterfacePage::showPickerColors()
{
    const QColor c1 = SystemColors::fromValue(m_cp1), c2 = SystemColors::fromValue(m_cp2);
    CP1->setIcon(swatch(c1));
    CP2->setIcon(swatch(c2));
    FountainFill1->setColors(c1, c2);
}

void PreferencesInterfacePage::CP1Click()
{
    if (const auto c = m_colorChooser(window(), SystemColors::fromValue(m_cp1)))
        setPickerColors(SystemColors::toValue(*c), m_cp2);
}

void PreferencesInterfacePage::CP2Click()
{
    if (const auto c = m_colorChooser(window(), SystemColors::fromValue(m_cp2)))
        setPickerColors(m_cp1, SystemColors::toValue(*c));
}

void PreferencesInterfacePage::BestColorChange(int index)
{
    int32_t c1 = 0, c2 = 0;
    if (m_colors->pick(index, &c1, &c2))
        setPickerColors(c1, c2);
}

void PreferencesInterfacePage::CAddBtnClick()
{
    const QString stored = m_colors->add(ColorName->text(), m_cp1, m_cp2);
    if (stored.isEmpty()) {
        // The list on disk stays as it was.
        QMessageBox::warning(window(), QStringLiteral("Vorlan"),
                             QStringLiteral("The colour list \"%1\" could not be saved (is the disk full?).")
                                 .arg(QDir::toNativeSeparators(m_colors->path())));
        return;
    }
    loadColorList();
    BestColor->setCurrentIndex(BestColor->count() - 1);
}

void PreferencesInterfacePage::CRemoveBtnClick()
{
    const int index = BestColor->currentIndex();
    if (index < 0)
        return;
    if (!m_colors->remove(index))
        QMessageBox::warning(window(), QStringLiteral("Vorlan"),
                             QStringLiteral("The colour list \"%1\" could not be saved (is the disk full?).")
                                 .arg(QDir::toNativeSeparators(m_colors->path())));
    loadColorList();
}

bool PreferencesInterfacePage::pickRandomBestColor()
{
    m_colors->reload();
    if (m_colors->count() <= 1)
        return false;
    const int index = int(QRandomGenerator::global()->bounded(m_colors->count()));
    loadColorList();
    BestColor->setCurrentIndex(index);
    BestColorChange(index);
    return true;
}

#include "player/PreferencesPlayListPage.h"

#include "player/PreferencesControls.h"
#include "player/RadioGroup.h"
#include "player/Settings.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PreferencesPlayListPage::PreferencesPlayListPage(QWidget *parent) : QWidget(parent)
{
    m_fontChooser = [](QWidget *parent, const QFont &initial) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, initial, parent);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };

    auto *column = new QVBoxLayout(this);
    AlignmentBox = new RadioGroup(
        QStringLiteral("Play List Alignment"),
        {QStringLiteral("Right Justify"), QStringLiteral("Center"), QStringLiteral("Left Justify")}, this);
    AlignmentBox->setObjectName(QStringLiteral("AlignmentBox"));
    AlignmentBox->setItemIndex(2);
    PlayListFont = PreferencesControls::pushButton("PlayListFont", QString(), this);
    DockPlayList =
        PreferencesControls::checkBox("DockPlayList", QStringLiteral("Dock Form Play List"), true, this);
    column->addWidget(AlignmentBox);
    auto *fontRow = new QHBoxLayout;
    fontRow->addWidget(new QLabel(QStringLiteral("Play List Font"), this));
    fontRow->addWidget(PlayListFont, 1);
    column->addLayout(fontRow);
    column->addWidget(DockPlayList);
    column->addStretch();
    m_listFont = QFont(QStringLiteral("MS Sans Serif"), 8);
    showFontCaption();
    connect(PlayListFont, &QPushButton::clicked, this, &PreferencesPlayListPage::PlayListFontClick);
}

void PreferencesPlayListPage::load(const Settings &s)
{
    AlignmentBox->setItemIndex(s.alignment);
    m_listFont = QFont(s.listFontName);
    m_listFont.setPointSize(s.listFontSize > 0 ? s.listFontSize : 8);
    showFontCaption();
    DockPlayList->setChecked(s.playListDock);
}

void PreferencesPlayListPage::store(Settings &s) const
{
    s.alignment = AlignmentBox->itemIndex() >= 0 ? AlignmentBox->itemIndex() : s.alignment;
    s.listFontName = m_listFont.family().left(Settings::MaxFontNameLength);
    s.listFontSize = m_listFont.pointSize() > 0 ? m_listFont.pointSize() : s.listFontSize;
    s.playListDock = DockPlayList->isChecked();
}

void PreferencesPlayListPage::setDockPlayList(bool on)
{
    DockPlayList->setChecked(on);
}

void PreferencesPlayListPage::showFontCaption()
{
    PlayListFont->setText(QStringLiteral("%1, %2").arg(m_listFont.family()).arg(m_listFont.pointSize()));
}

void PreferencesPlayListPage::PlayListFontClick()
{
    const std::optional<QFont> font = m_fontChooser(window(), m_listFont);
    if (!font)
        return;
    m_listFont = *font;
    showFontCaption();
}

#include "player/AboutWindow.h"

#include "widgets/GradientFrame.h"

#include "widgets/TFountainFill.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

const QString AboutWindow::ProgramName = QStringLiteral("Vorlan");
const QString AboutWindow::Version = QStringLiteral("1.8");

AboutWindow::AboutWindow(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About Vorlan"));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 10);
    column->setSpacing(8);

    m_banner = new TFountainFill(this);
    m_banner->setStyle(TFountainFill::fsHorizontal);
    m_banner->setSteps(50);
    m_banner->setFixedHeight(64);
    auto *bannerLayout = new QVBoxLayout(m_banner);
    bannerLayout->setContentsMargins(14, 6, 14, 6);
    bannerLayout->setSpacing(0);
    NameLabel = new QLabel(ProgramName, m_banner);
    NameLabel->setObjectName(QStringLiteral("NameLabel"));
    QFont nameFont = NameLabel->font();
    nameFont.setPixelSize(28);
    nameFont.setBold(true);
    NameLabel->setFont(nameFont);
    VersionLabel = new QLabel(QStringLiteral("Version ") + Version, m_banner);
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
    bannerLayout->addWidget(NameLabel);
    bannerLayout->addWidget(VersionLabel);
    column->addWidget(m_banner);

    DescriptionLabel = new QLabel(
        QStringLiteral(
            "An audio player for files (MP3, FLAC, Ogg Vorbis, Opus, AAC and ALAC, WAV, AIFF, WavPack) "
            "and network streams, with a playlist, a 12-band equalizer, play statistics, tag editing, and "
            "skins (\"masks\" made with VorlanMasker, and classic skins)."),
        this);
    DescriptionLabel->setObjectName(QStringLiteral("DescriptionLabel"));
    DescriptionLabel->setWordWrap(true);
    DescriptionLabel->setContentsMargins(14, 0, 14, 0);
    column->addWidget(DescriptionLabel);

    auto *tipsTitle = new QLabel(QStringLiteral("Hints and Tips"), this);
    tipsTitle->setObjectName(QStringLiteral("TipsTitle"));
    QFont tipsFont = tipsTitle->font();
    tipsFont.setBold(true);
    tipsTitle->setFont(tipsFont);
    tipsTitle->setContentsMargins(14, 0, 14, 0);
    column->addWidget(tipsTitle);

    TipsBox = new QTextBrowser(this);
    TipsBox->setObjectName(QStringLiteral("TipsBox"));
    TipsBox->setHtml(hintsAndTips());
    TipsBox->setOpenLinks(false);
    auto *tipsRow = new QHBoxLayout;
    tipsRow->setContentsMargins(14, 0, 14, 0);
    tipsRow->addWidget(TipsBox);
    column->addLayout(tipsRow, 1);

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, &QWidget::close);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(OkBtn);
    buttonRow->addSpacing(14);
    column->addLayout(buttonRow);

    setColors(QColor(0x00, 0x80, 0xC0), Qt::white);
    resize(440, 480);
}

void AboutWindow::setColors(const QColor &color1, const QColor &color2)
{
    // The banner starts in the first colour and ends in the frame's own; its lines take the second colour.
    m_banner->setColors(color1, GradientFrame::DesignedColor);
    QPalette pal = NameLabel->palette();
    pal.setColor(QPalette::WindowText, GradientFrame::captionColor(color1, color2));
    NameLabel->setPalette(pal);
    VersionLabel->setPalette(pal);
}

void AboutWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString AboutWindow::hintsAndTips()
{
    return QStringLiteral(
        "<h4>The skinned window</h4>"
        "<ul>"
        "<li>The player starts dressed in a mask. Drag it by its body; <b>T</b> keeps it on top, <b>..</b> "
        "lets it go.</li>"
        "<li><b>P</b>, <b>E</b>, <b>i</b> and <b>C</b> show the playlist, the equalizer, the file "
        "information "
        "and the preferences; <b>x</b> closes the player.</li>"
        "<li>Double-click its body to switch to the strip.</li>"
        "</ul>"
        "<h4>The strip</h4>"
        "<ul>"
        "<li>The player sits as a narrow strip at the right screen edge (or the left one, chosen in the "
        "preferences). When the pointer leaves it, it slides away after a moment and leaves one pixel "
        "column; "
        "touch the screen edge with the pointer to bring it back.</li>"
        "<li>The pin button at the top switches this off: <b>..</b> lets the strip slide away, <b>T</b> "
        "keeps "
        "it in place.</li>"
        "<li>Click the time to switch between elapsed and remaining time.</li>"
        "<li><b>L</b> plays the list in a loop, <b>R</b> picks the songs at random.</li>"
        "<li>Right-click the strip (or the tray icon) for the menu of everything the player does.</li>"
        "<li>Double-click the gradient below the controls to dress the player in its mask.</li>"
        "</ul>"
        "<h4>Songs and lists</h4>"
        "<ul>"
        "<li>Drop MP3 files from the file manager onto the player to play them at once; drop an .m3u, .pls "
        "or "
        ".vln list to load it.</li>"
        "<li>Drag the position slider to seek. Hold <b>Shift</b> while dragging to hear where you are as you "
        "go.</li>"
        "<li>The player remembers its playlist, settings and play statistics between runs.</li>"
        "</ul>"
        "<h4>Keys</h4>"
        "<table cellspacing=\"2\">"
        "<tr><td><b>X</b> / <b>C</b> / <b>V</b></td><td>Play / Pause / Stop</td></tr>"
        "<tr><td><b>B</b> or keypad <b>+</b></td><td>Next song</td></tr>"
        "<tr><td><b>Z</b> or keypad <b>-</b></td><td>Previous song</td></tr>"
        "<tr><td><b>L</b></td><td>Open files or a list</td></tr>"
        "<tr><td><b>T</b> / <b>E</b> / <b>I</b> / <b>S</b></td>"
        "<td>Playlist / Equalizer / File info / Statistics</td></tr>"
        "<tr><td><b>P</b></td><td>Preferences</td></tr>"
        "<tr><td><b>Ctrl+Q</b> / <b>Ctrl+W</b></td><td>Fade to silence / fade back up</td></tr>"
        "<tr><td><b>F11</b> / <b>F12</b></td><td>Hide all windows / show them again</td></tr>"
        "<tr><td><b>N</b> / <b>M</b></td><td>Change the mask / start VorlanMasker</td></tr>"
        "</table>"
        "<h4>Masks</h4>"
        "<ul>"
        "<li>A mask is a skin: a picture whose transparent colour cuts the window's shape, with every "
        "button, "
        "slider and text of the player placed on it. Pick one with <b>N</b> (Options, Change Mask); masks "
        "live "
        "in the \"Masks\" folder.</li>"
        "<li>Make your own with VorlanMasker (<b>M</b>): load a background picture and a slider thumb, pick "
        "the "
        "transparent colour, place the player's objects, try the result in the test window and save the .msk "
        "file into \"Masks\". A mask can also carry an animated GIF.</li>"
        "</ul>");
}

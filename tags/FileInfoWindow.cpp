#include "tags/FileInfoWindow.h"

#include "tags/CoverArt.h"
#include "widgets/FlatButton.h"
#include "widgets/GradientFrame.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QVBoxLayout>

namespace
{
QLabel *infoLabel(const QString &text, QWidget *parent, const char *name)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLineEdit *tagEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(true);
    return edit;
}
} // namespace

FileInfoWindow::FileInfoWindow(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FileInfo"));
    setWindowTitle(QStringLiteral("FileInfo"));

    m_frame = new GradientFrame(this, QStringLiteral("File Info"));
    TitleLabel = m_frame->titleLabel();
    ExitBtn = m_frame->exitButton();

    QWidget *body = m_frame->body();
    auto *column = new QVBoxLayout(body);
    column->setContentsMargins(8, 6, 8, 8);
    column->setSpacing(3);
    RxLabel1 = infoLabel(QStringLiteral("Size : "), body, "RxLabel1");
    RxLabel2 = infoLabel(QStringLiteral("MPEG "), body, "RxLabel2");
    RxLabel3 = infoLabel(QStringLiteral("Bitrate "), body, "RxLabel3");
    RxLabel4 = infoLabel(QStringLiteral("Frequency "), body, "RxLabel4");
    RxLabel5 = infoLabel(QStringLiteral("Mode : "), body, "RxLabel5");
    RxLabel6 = infoLabel(QStringLiteral("Length: "), body, "RxLabel6");
    // The lines, with the song's cover beside them when it has one.
    auto *top = new QHBoxLayout;
    top->setSpacing(6);
    auto *lines = new QVBoxLayout;
    lines->setSpacing(3);
    for (QLabel *label : {RxLabel1, RxLabel2, RxLabel3, RxLabel4, RxLabel5, RxLabel6})
        lines->addWidget(label);
    top->addLayout(lines, 1);
    CoverImage = new QLabel(body);
    CoverImage->setObjectName(QStringLiteral("CoverImage"));
    CoverImage->setFixedSize(CoverSize, CoverSize);
    CoverImage->setAlignment(Qt::AlignCenter);
    CoverImage->hide();
    top->addWidget(CoverImage, 0, Qt::AlignTop);
    column->addLayout(top);
    PathBox = tagEdit(body, "PathBox");
    column->addWidget(PathBox);

    TagGroup = new QGroupBox(QStringLiteral("ID3 TAG"), body);
    TagGroup->setObjectName(QStringLiteral("TagGroup"));
    auto *form = new QFormLayout(TagGroup);
    form->setContentsMargins(6, 6, 6, 6);
    form->setVerticalSpacing(3);
    MaskEdit1 = tagEdit(TagGroup, "MaskEdit1");
    MaskEdit2 = tagEdit(TagGroup, "MaskEdit2");
    MaskEdit3 = tagEdit(TagGroup, "MaskEdit3");
    MaskEdit4 = tagEdit(TagGroup, "MaskEdit4");
    MaskEdit5 = tagEdit(TagGroup, "MaskEdit5");
    MaskEdit6 = tagEdit(TagGroup, "MaskEdit6");
    form->addRow(QStringLiteral("Title"), MaskEdit1);
    form->addRow(QStringLiteral("Artist"), MaskEdit2);
    form->addRow(QStringLiteral("Album"), MaskEdit3);
    form->addRow(QStringLiteral("Year"), MaskEdit4);
    form->addRow(QStringLiteral("Genere"), MaskEdit5);
    form->addRow(QStringLiteral("Comment"), MaskEdit6);
    column->addWidget(TagGroup);

    setColors(QColor(0x00, 0x80, 0xC0), Qt::white);
    resize(280, 360);
}

void FileInfoWindow::setColors(const QColor &from, const QColor &to)
{
    m_frame->setColors(from, to);
}

QString FileInfoWindow::levelText(int level)
{
    return level == 3 ? QStringLiteral("2.5") : QString::number(level);
}

QString FileInfoWindow::modeText(int mode)
{
    switch (mode) {
    case 0:
        return QStringLiteral("Mode : Stereo");
    case 1:
        return QStringLiteral("Mode : Joint Stereo");
    case 2:
        return QStringLiteral("Mode : Dual Channel");
    case 3:
        return QStringLiteral("Mode : Single Channel");
    default:
        return QStringLiteral("Mode : ");
    }
}

void FileInfoWindow::clearTag()
{
    for (QLineEdit *edit : {MaskEdit1, MaskEdit2, MaskEdit3, MaskEdit4, MaskEdit5, MaskEdit6})
        edit->clear();
}

QString FileInfoWindow::codecText(const QString &codec, int bits)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("flac"), QStringLiteral("FLAC")},
        {QStringLiteral("alac"), QStringLiteral("ALAC")},
        {QStringLiteral("vorbis"), QStringLiteral("Vorbis")},
        {QStringLiteral("opus"), QStringLiteral("Opus")},
        {QStringLiteral("aac"), QStringLiteral("AAC")},
        {QStringLiteral("wavpack"), QStringLiteral("WavPack")},
        {QStringLiteral("mp3"), QStringLiteral("MPEG Layer III")},
    };
    QString name =
        codec.startsWith(QLatin1String("pcm_")) ? QStringLiteral("PCM") : names.value(codec, codec.toUpper());
    if (bits > 0)
        name += QLatin1Char(' ') + QString::number(bits) + QStringLiteral(" bit");
    return name;
}

void FileInfoWindow::fill(int level, int layer, int bitrate, int frequency, int mode, const QString &path)
{
    RxLabel2->setText(QStringLiteral("MPEG ") + levelText(level) + QStringLiteral(" Layer ") +
                      QString::number(layer));
    fillStream(bitrate, frequency, mode, path);
}

void FileInfoWindow::fillCodec(const QString &codec, int bits, int bitrate, int frequency, int mode,
                               const QString &path)
{
    RxLabel2->setText(codecText(codec, bits));
    fillStream(bitrate, frequency, mode, path);
}

void FileInfoWindow::fillStream(int bitrate, int frequency, int mode, const QString &path)
{
    RxLabel3->setText(QStringLiteral("Bitrate ") + QString::number(bitrate) + QStringLiteral("kbps"));
    RxLabel4->setText(QStringLiteral("Frequency ") + QString::number(frequency) + QStringLiteral("Hz"));
    RxLabel5->setText(modeText(mode));
    clearTag();
    showCover(path);
    PathBox->setText(path.toLower());
    PathBox->setCursorPosition(0);
    PathBox->setToolTip(path);

    // A stream has no file to read; its size is unknown.
    if (path.contains(QStringLiteral("://")) || path.isEmpty()) {
        RxLabel1->setText(QStringLiteral("Size : "));
        return;
    }
    m_mpeg.setFileName(path);
    const TMPEGData &d = m_mpeg.data();
    RxLabel1->setText(QStringLiteral("Size : ") + QString::number(d.FileLength));
    if (d.Header == QStringLiteral("TAG")) {
        MaskEdit1->setText(d.Title);
        MaskEdit2->setText(d.Artist);
        MaskEdit3->setText(d.Album);
        MaskEdit4->setText(d.Year);
        MaskEdit5->setText(m_mpeg.genreStr());
        MaskEdit6->setText(d.Comment);
        for (QLineEdit *edit : {MaskEdit1, MaskEdit2, MaskEdit3, MaskEdit4, MaskEdit5, MaskEdit6})
            edit->setCursorPosition(0);
    }
}

void FileInfoWindow::showCover(const QString &path)
{
    const QImage cover = CoverArt::decode(CoverArt::find(path), QSize(CoverSize, CoverSize));
    CoverImage->setPixmap(cover.isNull() ? QPixmap() : QPixmap::fromImage(cover));
    CoverImage->setVisible(!cover.isNull());
}

void FileInfoWindow::setLengthText(const QString &text)
{
    RxLabel6->setText(text);
}

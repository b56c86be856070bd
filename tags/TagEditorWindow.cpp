#include "tags/TagEditorWindow.h"
#include "platform/FileName.h"

#include "tags/FileTags.h"
#include "tags/PosixFile.h"
#include "tags/TMPEGAudio.h"
#include "widgets/FlatButton.h"
#include "widgets/GradientFrame.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <sys/stat.h>

const QString TagEditorWindow::PromptTitle = QStringLiteral("Vorlan");
const QString TagEditorWindow::PromptText =
    QStringLiteral("File is ReadOnly !!\nDo you want to change it to Archive  ?");
// Four optional digits, blank character a space.
const QString TagEditorWindow::YearMask = QStringLiteral("0000; ");

namespace
{
QLineEdit *fieldEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

bool askYesNo(QWidget *parent, const QString &title, const QString &text)
{
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

// The read-only attribute of other systems: for its owner (and root) a file without the owner's write bit.
bool isReadOnlyFile(const QString &path, struct stat *st)
{
    const QByteArray native = FileName::encode(path);
    if (path.isEmpty() || ::stat(native.constData(), st) != 0 || !S_ISREG(st->st_mode))
        return false;
    return !tagio::PosixFile::mayWrite(*st, native);
}
} // namespace

TagEditorWindow::TagEditorWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_prompt(askYesNo)
{
    setObjectName(QStringLiteral("EditTag"));
    setWindowTitle(QStringLiteral("Edit ID3 TAG"));

    m_frame = new GradientFrame(this, QStringLiteral("Edit ID3 Tag"));
    TitleLabel = m_frame->titleLabel();
    ExitBtn = m_frame->exitButton();

    QWidget *body = m_frame->body();
    auto *column = new QVBoxLayout(body);
    column->setContentsMargins(8, 6, 8, 8);
    column->setSpacing(4);

    Path = new QLabel(body);
    Path->setObjectName(QStringLiteral("Path"));
    Path->setVisible(false);

    auto *form = new QFormLayout;
    form->setVerticalSpacing(3);
    // The edits take any length; the tag keeps what fits.
    MaskEdit1 = fieldEdit(body, "MaskEdit1");
    MaskEdit2 = fieldEdit(body, "MaskEdit2");
    MaskEdit3 = fieldEdit(body, "MaskEdit3");
    MaskEdit4 = fieldEdit(body, "MaskEdit4");
    MaskEdit4->setInputMask(YearMask);
    MaskEdit4->setMaximumWidth(MaskEdit4->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    MaskEdit5 = fieldEdit(body, "MaskEdit5");
    ComboBox1 = new QComboBox(body);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    ComboBox1->addItems(genreEntries());
    ComboBox1->setMaxVisibleItems(20);
    ComboBox1->setCurrentIndex(EmptyGenre);
    form->addRow(QStringLiteral("Title"), MaskEdit1);
    form->addRow(QStringLiteral("Artist"), MaskEdit2);
    form->addRow(QStringLiteral("Album"), MaskEdit3);
    form->addRow(QStringLiteral("Year"), MaskEdit4);
    form->addRow(QStringLiteral("Genere"), ComboBox1);
    form->addRow(QStringLiteral("Comment"), MaskEdit5);
    column->addLayout(form);

    auto *buttons = new QHBoxLayout;
    SaveBtn = new QPushButton(QStringLiteral("Save"), body);
    SaveBtn->setObjectName(QStringLiteral("SaveBtn"));
    RemoveBtn = new QPushButton(QStringLiteral("Remove"), body);
    RemoveBtn->setObjectName(QStringLiteral("RemoveBtn"));
    buttons->addStretch(1);
    buttons->addWidget(SaveBtn);
    buttons->addWidget(RemoveBtn);
    column->addLayout(buttons);
    connect(SaveBtn, &QPushButton::clicked, this, &TagEditorWindow::SaveBtnClick);
    connect(RemoveBtn, &QPushButton::clicked, this, &TagEditorWindow::RemoveBtnClick);

    setColors(QColor(0x00, 0x80, 0xC0), Qt::white);
    resize(300, 250);
}

QStringList TagEditorWindow::genreEntries()
{
    QStringList names = genreNames();
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    names << QString();
    return names;
}

void TagEditorWindow::setColors(const QColor &from, const QColor &to)
{
    m_frame->setColors(from, to);
}

QString TagEditorWindow::path() const
{
    return Path->text();
}

QString TagEditorWindow::yearText() const
{
    // The display text keeps the blanks where digits are missing.
    return MaskEdit4->displayText().leftJustified(4, QLatin1Char(' '), true);
}

FileTags::Fields TagEditorWindow::fields() const
{
    return {MaskEdit1->text(),    MaskEdit2->text(), MaskEdit3->text(),
            yearText().trimmed(), MaskEdit5->text(), ComboBox1->currentText()};
}

void TagEditorWindow::clearFields()
{
    for (QLineEdit *edit : {MaskEdit1, MaskEdit2, MaskEdit3, MaskEdit4, MaskEdit5})
        edit->clear();
    ComboBox1->setCurrentIndex(EmptyGenre);
}

void TagEditorWindow::load(const QString &path)
{
    clearFields();
    Path->setText(path);
    m_fileTags = false;
    ComboBox1->setEditable(false);
    if (!QFileInfo(path).isFile())
        return;
    MaskEdit1->setText(QFileInfo(path).fileName());
    if (const FileTags::Info info = FileTags::read(path, false); info.kind != FileTags::Kind::None) {
        // These tags hold any genre: it is typed or taken from the list.
        m_fileTags = true;
        ComboBox1->setEditable(true);
        const FileTags::Fields &f = info.fields;
        if (!(f.title + f.artist + f.album + f.year + f.comment + f.genre).isEmpty()) {
            MaskEdit1->setText(f.title);
            MaskEdit2->setText(f.artist);
            MaskEdit3->setText(f.album);
            MaskEdit4->setText(f.year);
            MaskEdit5->setText(f.comment);
            const int genre = ComboBox1->findText(f.genre, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (genre >= 0)
                ComboBox1->setCurrentIndex(genre);
            else
                ComboBox1->setEditText(f.genre);
        }
        for (QLineEdit *edit : {MaskEdit1, MaskEdit2, MaskEdit3, MaskEdit4, MaskEdit5})
            edit->setCursorPosition(0);
        return;
    }
    TMPEGAudio mpeg;
    mpeg.setFileName(path);
    const TMPEGData &d = mpeg.data();
    if (d.Header == QLatin1String("TAG")) {
        MaskEdit1->setText(d.Title);
        MaskEdit2->setText(d.Artist);
        MaskEdit3->setText(d.Album);
        MaskEdit4->setText(d.Year);
        const int genre = ComboBox1->findText(mpeg.genreStr(), Qt::MatchExactly | Qt::MatchCaseSensitive);
        ComboBox1->setCurrentIndex(genre >= 0 ? genre : EmptyGenre);
        MaskEdit5->setText(d.Comment);
    }
    for (QLineEdit *edit : {MaskEdit1, MaskEdit2, MaskEdit3, MaskEdit4, MaskEdit5})
        edit->setCursorPosition(0);
}

void TagEditorWindow::SaveBtnClick()
{
    const QString file = path();
    struct stat st;
    if (isReadOnlyFile(file, &st)) {
        if (!m_prompt || !m_prompt(this, PromptTitle, PromptText))
            return;
        // Writable again, as clearing the read-only attribute would make it; if the system refuses, the
        // write below fails and leaves the file as it was.
        ::chmod(FileName::encode(file).constData(), (st.st_mode & 07777) | S_IWUSR);
    }
    if (m_fileTags)
        FileTags::write(file, fields());
    else
        TMPEGAudio::writeTag(file, MaskEdit1->text(), MaskEdit2->text(), MaskEdit3->text(), yearText(),
                             MaskEdit5->text(), ComboBox1->currentText());
    emit tagChanged(file);
    close();
}

void TagEditorWindow::RemoveBtnClick()
{
    clearFields();
    const QString file = path();
    if (m_fileTags)
        FileTags::write(file, FileTags::Fields());
    else
        TMPEGAudio::removeTag(file);
    emit tagChanged(file);
}

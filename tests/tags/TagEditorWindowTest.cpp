#include "tags/TagEditorWindow.h"
#include "tags/FileTags.h"
#include "tags/TMPEGAudio.h"
#include "tests/TestMain.h"
#include "tests/tags/MpegBytes.h"
#include "tests/tags/OtherFormatFiles.h"
#include "widgets/FlatButton.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace
{

QString copyFixture(const char *name)
{
    const QString target = vorlantest::tempDir() + QStringLiteral("/") + QLatin1String(name);
    QFile::copy(QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name), target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return target;
}

qint64 sizeOf(const QString &path)
{
    return QFileInfo(path).size();
}

QByteArray lastTag(const QString &path)
{
    return mpegbytes::readFile(path).right(128);
}

// Types into an edit as a user would: everything selected first, so the text replaces it.
void type(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Home);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

struct Editor {
    TagEditorWindow window;
    QStringList prompts;
    bool answer = true;
    Editor()
    {
        window.setReadOnlyPrompt([this](QWidget *, const QString &title, const QString &text) {
            prompts << title + QLatin1Char('|') + text;
            return answer;
        });
    }
};

} // namespace

class TagEditorWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void captionsAndTheGenreList();
    void loadShowsTheTagOrTheFileName();
    void saveWritesTheTagReportsAndCloses();
    void secondSaveOverwritesInPlace();
    void longTitleIsCutAndTwoDigitYearKeepsSpaces();
    void emptyGenreStoresUnknown();
    void removeClearsAndCutsTheTag();
    void readOnlyFileAsksBeforeWriting();
    void oddFilesNeverCrash();
    void otherFormatsEditTheirOwnTags();
};

void TagEditorWindowTest::captionsAndTheGenreList()
{
    Editor e;
    QCOMPARE(e.window.windowTitle(), QStringLiteral("Edit ID3 TAG"));
    QCOMPARE(e.window.TitleLabel->text(), QStringLiteral("Edit ID3 Tag"));
    QCOMPARE(e.window.SaveBtn->text(), QStringLiteral("Save"));
    QCOMPARE(e.window.RemoveBtn->text(), QStringLiteral("Remove"));
    QCOMPARE(e.window.ExitBtn->text(), QStringLiteral("X"));
    QVERIFY(!e.window.Path->isVisible());
    QVERIFY(!e.window.ComboBox1->isEditable());

    QCOMPARE(e.window.ComboBox1->count(), 127);
    QCOMPARE(e.window.ComboBox1->itemText(126), QString());
    QCOMPARE(e.window.ComboBox1->currentIndex(), 126);
    QStringList shown;
    for (int i = 0; i < 126; ++i)
        shown << e.window.ComboBox1->itemText(i);
    QStringList sorted = genreNames();
    QCOMPARE(QSet<QString>(shown.begin(), shown.end()), QSet<QString>(sorted.begin(), sorted.end()));
    for (int i = 1; i < 126; ++i)
        QVERIFY2(shown[i - 1].compare(shown[i], Qt::CaseInsensitive) < 0, qPrintable(shown[i]));

    e.window.show();
    QTest::mouseClick(e.window.ExitBtn, Qt::LeftButton);
    QVERIFY(!e.window.isVisible());
}

void TagEditorWindowTest::loadShowsTheTagOrTheFileName()
{
    Editor e;
    const QString tagged = copyFixture("mpeg1-layer3-tagged.mp3");
    TMPEGAudio reader;
    reader.setFileName(tagged);
    QCOMPARE(reader.data().Header, QStringLiteral("TAG"));
    e.window.load(tagged);
    QCOMPARE(e.window.path(), tagged);
    QCOMPARE(e.window.Path->text(), tagged);
    QCOMPARE(e.window.MaskEdit1->text(), reader.data().Title);
    QCOMPARE(e.window.MaskEdit2->text(), reader.data().Artist);
    QCOMPARE(e.window.MaskEdit3->text(), reader.data().Album);
    QCOMPARE(e.window.yearText(), reader.data().Year.leftJustified(4, QLatin1Char(' ')));
    QCOMPARE(e.window.MaskEdit5->text(), reader.data().Comment);
    QCOMPARE(e.window.ComboBox1->currentText(), reader.genreStr());

    // No tag: the title field shows the file name, everything else is cleared.
    const QString plain = copyFixture("mpeg1-layer3.mp3");
    e.window.load(plain);
    QCOMPARE(e.window.MaskEdit1->text(), QStringLiteral("mpeg1-layer3.mp3"));
    for (QLineEdit *edit : {e.window.MaskEdit2, e.window.MaskEdit3, e.window.MaskEdit5})
        QCOMPARE(edit->text(), QString());
    QCOMPARE(e.window.yearText(), QStringLiteral("    "));
    QCOMPARE(e.window.ComboBox1->currentIndex(), 126);

    // A missing file or a stream: empty fields, the path kept.
    e.window.load(QStringLiteral("http://radio.example/live"));
    QCOMPARE(e.window.MaskEdit1->text(), QString());
    QCOMPARE(e.window.path(), QStringLiteral("http://radio.example/live"));
}

void TagEditorWindowTest::saveWritesTheTagReportsAndCloses()
{
    Editor e;
    const QString file = copyFixture("mpeg1-layer3.mp3");
    const qint64 before = sizeOf(file);
    const QByteArray audio = mpegbytes::readFile(file);
    e.window.load(file);
    e.window.show();
    type(e.window.MaskEdit1, QStringLiteral("My Title"));
    type(e.window.MaskEdit2, QStringLiteral("Some Artist"));
    type(e.window.MaskEdit3, QStringLiteral("An Album"));
    type(e.window.MaskEdit4, QStringLiteral("1999"));
    type(e.window.MaskEdit5, QStringLiteral("a comment"));
    e.window.ComboBox1->setCurrentIndex(e.window.ComboBox1->findText(QStringLiteral("Rock")));
    QSignalSpy changed(&e.window, &TagEditorWindow::tagChanged);
    QTest::mouseClick(e.window.SaveBtn, Qt::LeftButton);

    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().toString(), file);
    QVERIFY(!e.window.isVisible());
    QVERIFY(e.prompts.isEmpty());
    QCOMPARE(sizeOf(file), before + 128);
    // The audio is untouched; the tag follows it.
    QCOMPARE(mpegbytes::readFile(file).left(int(before)), audio);
    TMPEGAudio reader;
    reader.setFileName(file);
    QCOMPARE(reader.data().Title, QStringLiteral("My Title"));
    QCOMPARE(reader.data().Artist, QStringLiteral("Some Artist"));
    QCOMPARE(reader.data().Album, QStringLiteral("An Album"));
    QCOMPARE(reader.data().Year, QStringLiteral("1999"));
    QCOMPARE(reader.data().Comment, QStringLiteral("a comment"));
    QCOMPARE(reader.genreStr(), QStringLiteral("Rock"));

    // Loaded again, the editor shows what was saved.
    e.window.load(file);
    QCOMPARE(e.window.MaskEdit1->text(), QStringLiteral("My Title"));
    QCOMPARE(e.window.ComboBox1->currentText(), QStringLiteral("Rock"));
}

void TagEditorWindowTest::secondSaveOverwritesInPlace()
{
    Editor e;
    const QString file = copyFixture("mpeg1-layer3.mp3");
    const qint64 before = sizeOf(file);
    e.window.load(file);
    e.window.SaveBtnClick();
    QCOMPARE(sizeOf(file), before + 128);
    e.window.load(file);
    type(e.window.MaskEdit2, QStringLiteral("Second"));
    e.window.SaveBtnClick();
    QCOMPARE(sizeOf(file), before + 128);
    TMPEGAudio reader;
    reader.setFileName(file);
    QCOMPARE(reader.data().Artist, QStringLiteral("Second"));
    // The first save took the file name as the title.
    QCOMPARE(reader.data().Title, QStringLiteral("mpeg1-layer3.mp3"));
}

void TagEditorWindowTest::longTitleIsCutAndTwoDigitYearKeepsSpaces()
{
    Editor e;
    const QString file = copyFixture("mpeg1-layer3.mp3");
    e.window.load(file);
    const QString title31 = QStringLiteral("1234567890123456789012345678901");
    type(e.window.MaskEdit1, title31);
    QCOMPARE(e.window.MaskEdit1->text(), title31); // the edit itself takes any length
    type(e.window.MaskEdit4, QStringLiteral("99"));
    QCOMPARE(e.window.yearText(), QStringLiteral("99  "));
    // The year takes digits only.
    type(e.window.MaskEdit4, QStringLiteral("2x0"));
    QCOMPARE(e.window.yearText(), QStringLiteral("20  "));
    type(e.window.MaskEdit4, QStringLiteral("99"));
    e.window.SaveBtnClick();
    const QByteArray tag = lastTag(file);
    QCOMPARE(tag.mid(3, 30), title31.left(30).toLatin1());
    QCOMPARE(tag.mid(93, 4), QByteArray("99  "));
    TMPEGAudio reader;
    reader.setFileName(file);
    QCOMPARE(reader.data().Title, title31.left(30));
}

void TagEditorWindowTest::emptyGenreStoresUnknown()
{
    Editor e;
    const QString file = copyFixture("mpeg1-layer3.mp3");
    e.window.load(file);
    QCOMPARE(e.window.ComboBox1->currentIndex(), TagEditorWindow::EmptyGenre);
    e.window.SaveBtnClick();
    QCOMPARE(quint8(lastTag(file).at(127)), quint8(126));
    TMPEGAudio reader;
    reader.setFileName(file);
    QCOMPARE(reader.genreStr(), QStringLiteral("Unknown"));
    // "Unknown" is not one of the names: the editor shows the empty entry.
    e.window.load(file);
    QCOMPARE(e.window.ComboBox1->currentIndex(), TagEditorWindow::EmptyGenre);
    // A tag with genre 255 (none) too.
    QByteArray bytes = mpegbytes::readFile(file);
    bytes[bytes.size() - 1] = char(255);
    QVERIFY(mpegbytes::writeFile(file, bytes));
    e.window.load(file);
    QCOMPARE(e.window.ComboBox1->currentIndex(), TagEditorWindow::EmptyGenre);
}

void TagEditorWindowTest::removeClearsAndCutsTheTag()
{
    Editor e;
    const QString file = copyFixture("mpeg1-layer3-tagged.mp3");
    const qint64 before = sizeOf(file);
    e.window.load(file);
    e.window.show();
    QVERIFY(!e.window.MaskEdit2->text().isEmpty());
    QSignalSpy changed(&e.window, &TagEditorWindow::tagChanged);
    QTest::mouseClick(e.window.RemoveBtn, Qt::LeftButton);
    QCOMPARE(changed.size(), 1);
    QVERIFY(e.window.isVisible());
    for (QLineEdit *edit : {e.window.MaskEdit1, e.window.MaskEdit2, e.window.MaskEdit3, e.window.MaskEdit5})
        QCOMPARE(edit->text(), QString());
    QCOMPARE(e.window.ComboBox1->currentIndex(), 126);
    QCOMPARE(sizeOf(file), before - 128);
    TMPEGAudio reader;
    reader.setFileName(file);
    QVERIFY(reader.data().Header != QStringLiteral("TAG"));

    // Removing again changes nothing.
    const QByteArray untagged = mpegbytes::readFile(file);
    e.window.RemoveBtnClick();
    QCOMPARE(mpegbytes::readFile(file), untagged);
    QVERIFY(e.prompts.isEmpty());
}

void TagEditorWindowTest::readOnlyFileAsksBeforeWriting()
{
    Editor e;
    const QString file = copyFixture("mpeg1-layer3.mp3");
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(file, readOnly));
    const QByteArray original = mpegbytes::readFile(file);
    e.window.load(file);
    e.window.show();
    QSignalSpy changed(&e.window, &TagEditorWindow::tagChanged);

    e.answer = false;
    QTest::mouseClick(e.window.SaveBtn, Qt::LeftButton);
    QCOMPARE(e.prompts, QStringList{QStringLiteral(
                            "Vorlan|File is ReadOnly !!\nDo you want to change it to Archive  ?")});
    QCOMPARE(mpegbytes::readFile(file), original);
    QCOMPARE(QFile::permissions(file) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), readOnly);
    QVERIFY(e.window.isVisible());
    QCOMPARE(changed.size(), 0);

    e.answer = true;
    QTest::mouseClick(e.window.SaveBtn, Qt::LeftButton);
    QCOMPARE(e.prompts.size(), 2);
    QVERIFY(QFile::permissions(file) & QFile::WriteOwner);
    QCOMPARE(sizeOf(file), original.size() + 128);
    QCOMPARE(changed.size(), 1);
    QVERIFY(!e.window.isVisible());

    // Remove asks nothing; a read-only file just keeps its tag.
    QVERIFY(QFile::setPermissions(file, readOnly));
    const QByteArray tagged = mpegbytes::readFile(file);
    e.window.load(file);
    e.window.RemoveBtnClick();
    QCOMPARE(e.prompts.size(), 2);
    QCOMPARE(mpegbytes::readFile(file), tagged);
    QCOMPARE(changed.size(), 2);
}

void TagEditorWindowTest::oddFilesNeverCrash()
{
    Editor e;
    const QString dir = vorlantest::tempDir();
    QRandomGenerator rng(20240601);
    for (int i = 0; i < 40; ++i) {
        // Random bytes, sometimes ending in something that looks like a tag.
        QByteArray bytes(int(rng.bounded(400)), '\0');
        for (char &c : bytes)
            c = char(rng.bounded(256));
        if (i % 3 == 0 && bytes.size() >= 128)
            bytes.replace(bytes.size() - 128, 3, "TAG");
        const QString file = dir + QStringLiteral("/r%1.mp3").arg(i);
        QVERIFY(mpegbytes::writeFile(file, bytes));
        e.window.load(file);
        QVERIFY(e.window.ComboBox1->currentIndex() >= 0);
        QVERIFY(e.window.yearText().size() == 4);
        e.window.SaveBtnClick();
        // Whatever was there, the audio part stays and one tag ends the file.
        const QByteArray after = mpegbytes::readFile(file);
        QVERIFY(after.size() == bytes.size() || after.size() == bytes.size() + 128);
        QCOMPARE(after.right(128).left(3), QByteArray("TAG"));
    }
    // A folder, an empty path and a file that is gone: nothing written, nothing created.
    for (const QString &path : {dir, QString(), dir + QStringLiteral("/gone.mp3")}) {
        e.window.load(path);
        e.window.SaveBtnClick();
        e.window.RemoveBtnClick();
    }
    QVERIFY(!QFile::exists(dir + QStringLiteral("/gone.mp3")));
}

void TagEditorWindowTest::otherFormatsEditTheirOwnTags()
{
    if (!otherformats::haveFfmpeg())
        QSKIP("ffmpeg makes the songs (scripts/install-deps.sh)");
    Editor e;
    const QString file = vorlantest::tempDir() + QStringLiteral("/edited.opus");
    QVERIFY(otherformats::make(file, {QStringLiteral("title=Old"), QStringLiteral("artist=Band"),
                                      QStringLiteral("date=1987"), QStringLiteral("genre=Space Trance")}));
    const QByteArray samples = otherformats::decode(file);
    QVERIFY(!samples.isEmpty());
    e.window.load(file);
    QVERIFY(e.window.editsFileTags());
    QCOMPARE(e.window.MaskEdit1->text(), QStringLiteral("Old"));
    QCOMPARE(e.window.MaskEdit2->text(), QStringLiteral("Band"));
    QCOMPARE(e.window.MaskEdit4->text(), QStringLiteral("1987"));
    // A genre that is not in the list is kept as it is.
    QCOMPARE(e.window.ComboBox1->currentText(), QStringLiteral("Space Trance"));
    e.window.show();
    type(e.window.MaskEdit1, QStringLiteral("Nouveau"));
    e.window.MaskEdit3->setText(QStringLiteral("Été")); // typed keys are ASCII only
    type(e.window.MaskEdit4, QStringLiteral("99"));
    type(e.window.MaskEdit5, QStringLiteral("a comment"));
    e.window.ComboBox1->setCurrentIndex(e.window.ComboBox1->findText(QStringLiteral("Rock")));
    QSignalSpy changed(&e.window, &TagEditorWindow::tagChanged);
    QTest::mouseClick(e.window.SaveBtn, Qt::LeftButton);
    QCOMPARE(changed.size(), 1);
    QVERIFY(!e.window.isVisible());
    const FileTags::Fields f = FileTags::read(file, false).fields;
    QCOMPARE(f.title, QStringLiteral("Nouveau"));
    QCOMPARE(f.artist, QStringLiteral("Band"));
    QCOMPARE(f.album, QStringLiteral("Été"));
    QCOMPARE(f.year, QStringLiteral("99"));
    QCOMPARE(f.comment, QStringLiteral("a comment"));
    QCOMPARE(f.genre, QStringLiteral("Rock"));
    QCOMPARE(otherformats::decode(file), samples);
    // No ID3v1 tag was put after the audio.
    QVERIFY(!mpegbytes::readFile(file).right(128).startsWith("TAG"));

    // Remove takes the names away and leaves the audio.
    e.window.load(file);
    QTest::mouseClick(e.window.RemoveBtn, Qt::LeftButton);
    QCOMPARE(changed.size(), 2);
    QVERIFY(FileTags::read(file, false).fields.title.isEmpty());
    QCOMPARE(otherformats::decode(file), samples);

    // An MPEG file afterwards gets the ID3v1 editor with its fixed genre list.
    e.window.load(copyFixture("mpeg1-layer3.mp3"));
    QVERIFY(!e.window.editsFileTags());
    QVERIFY(!e.window.ComboBox1->isEditable());
    QCOMPARE(e.window.ComboBox1->currentIndex(), TagEditorWindow::EmptyGenre);
}

VORLAN_TEST_CLASS(TagEditorWindowTest)
#include "TagEditorWindowTest.moc"

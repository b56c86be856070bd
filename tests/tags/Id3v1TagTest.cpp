// ID3v1 tags: how they are read behind the frames, written in place or appended, and removed.
#include "tags/Id3v1Text.h"
#include "tags/TMPEGAudio.h"
#include "tests/TestMain.h"
#include "tests/tags/MpegBytes.h"

#include <QFile>
#include <QTest>

using namespace mpegbytes;

class Id3v1TagTest : public QObject
{
    Q_OBJECT

    QString fixture(const QString &name) { return QStringLiteral(VORLAN_FIXTURES "/") + name; }

    // Three frames and then the given tag bytes, read back.
    TMPEGData readWithTag(const QByteArray &tagBytes)
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/tagged.mp3");
        writeFile(path, frames(kMpeg1L3, kMpeg1L3Length, 3) + tagBytes);
        TMPEGAudio m;
        m.setFileName(path);
        return m.data();
    }

    QString audioCopy(const QString &name = QStringLiteral("song.mp3"))
    {
        const QString path = vorlantest::tempDir() + QLatin1Char('/') + name;
        QFile::copy(fixture(QStringLiteral("mpeg1-layer3.mp3")), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

private slots:
    void fixtureTags()
    {
        TMPEGAudio m;
        m.setFileName(fixture(QStringLiteral("mpeg1-layer3-tagged.mp3")));
        const TMPEGData &d = m.data();
        QCOMPARE(d.Header, QStringLiteral("TAG"));
        QCOMPARE(d.Title, QStringLiteral("Fixture Title"));
        QCOMPARE(d.Artist, QStringLiteral("Fixture Artist"));
        QCOMPARE(d.Album, QStringLiteral("Fixture Album"));
        QCOMPARE(d.Year, QStringLiteral("2024"));
        QCOMPARE(d.Comment, QStringLiteral("made by make-fixtures"));
        QCOMPARE(int(d.Track), 7);
        QCOMPARE(int(d.Genre), 8);
        QCOMPARE(m.genreStr(), QStringLiteral("Jazz"));

        // ID3v1.0 with a Latin-1 title and a comment filling all 30 bytes.
        m.setFileName(fixture(QStringLiteral("mpeg1-layer2-tagged.mp2")));
        QCOMPARE(d.Title, QString::fromUtf8("Caf\u00e9 Fixture"));
        QCOMPARE(d.Year, QStringLiteral("199 "));
        QCOMPARE(d.Comment, QStringLiteral("Comment filling thirty bytes!!"));
        QCOMPARE(int(d.Track), int('!'));
        QCOMPARE(m.genreStr(), QStringLiteral("Rock"));
    }

    void fieldsAreCutAtNulAndTrailingBlanksDropped()
    {
        QByteArray t = tag("", "", "", "", "", 0);
        t.replace(3, 30, field(QByteArray("Title\0garbage behind", 20), 30));
        t.replace(33, 30, field("  Artist   ", 30));
        t.replace(63, 30, QByteArray(30, ' '));
        t.replace(93, 4, QByteArray("19\0 ", 4));
        t.replace(97, 30, field("Comment", 28) + QByteArray("\0\x05", 2));
        t[127] = char(200);
        const TMPEGData d = readWithTag(t);
        QCOMPARE(d.Title, QStringLiteral("Title"));
        QCOMPARE(d.Artist, QStringLiteral("  Artist"));
        QCOMPARE(d.Album, QString());
        QCOMPARE(d.Year, QStringLiteral("19"));
        QCOMPARE(d.Comment, QStringLiteral("Comment"));
        QCOMPARE(int(d.Track), 5);
        QCOMPARE(int(d.Genre), 200);
        QCOMPARE(genreName(d.Genre), QStringLiteral("Unknown"));

        const TMPEGData spaced = readWithTag(tag("x", "", "", "9 9 ", "", 1));
        QCOMPARE(spaced.Year, QStringLiteral("9 9 "));
    }

    void fieldsAreUtf8WhenValidElseLatin1()
    {
        const QString words = QString::fromUtf8("Gr\u00fc\u00dfe \u65e5\u672c");
        const TMPEGData utf8 = readWithTag(tag(words.toUtf8(), words.toLatin1(), "", "", "", 0));
        QCOMPARE(utf8.Title, words);
        QCOMPARE(utf8.Artist, QString::fromUtf8("Gr\u00fc\u00dfe ??"));

        const QByteArray latin1("Gr\xFC\xDF"
                                "e",
                                5);
        QCOMPARE(readWithTag(tag(latin1, "", "", "", "", 0)).Title, QString::fromUtf8("Gr\u00fc\u00dfe"));
    }

    void writeAppendsThenOverwritesInPlace()
    {
        const QString path = audioCopy();
        const QByteArray audio = readFile(path);

        QVERIFY(TMPEGAudio::writeTag(path, QStringLiteral("A Title"), QStringLiteral("An Artist"),
                                     QStringLiteral("An Album"), QStringLiteral("1999"),
                                     QStringLiteral("A comment"), QStringLiteral("Jazz")));
        QByteArray bytes = readFile(path);
        QCOMPARE(bytes.size(), audio.size() + 128);
        QVERIFY(bytes.startsWith(audio));
        const QByteArray written = bytes.right(128);
        QCOMPARE(written, QByteArray("TAG") + "A Title" + QByteArray(23, ' ') + "An Artist" +
                              QByteArray(21, ' ') + "An Album" + QByteArray(22, ' ') + "1999" + "A comment" +
                              QByteArray(21, ' ') + char(8));
        QVERIFY(!written.contains('\0'));

        TMPEGAudio m;
        m.setFileName(path);
        QCOMPARE(m.data().Title, QStringLiteral("A Title"));
        QCOMPARE(m.data().Comment, QStringLiteral("A comment"));
        QCOMPARE(int(m.data().Track), int(' ')); // the comment fills byte 126 too
        QCOMPARE(m.genreStr(), QStringLiteral("Jazz"));

        QVERIFY(TMPEGAudio::writeTag(path, QStringLiteral("Second"), QString(), QString(), QString(),
                                     QString(), QStringLiteral("Dance Hall")));
        bytes = readFile(path);
        QCOMPARE(bytes.size(), audio.size() + 128);
        QVERIFY(bytes.startsWith(audio));
        m.setFileName(path);
        QCOMPARE(m.data().Title, QStringLiteral("Second"));
        QCOMPARE(m.data().Artist, QString());
        QCOMPARE(m.data().Year, QStringLiteral("    "));
        QCOMPARE(int(m.data().Genre), 125);
    }

    void longTextsAreCutToTheirFields()
    {
        const QString path = audioCopy();
        const QString longText = QStringLiteral("0123456789").repeated(4);
        QVERIFY(TMPEGAudio::writeTag(path, longText, longText, longText, QStringLiteral("20245"), longText,
                                     QString()));
        TMPEGAudio m;
        m.setFileName(path);
        QCOMPARE(m.data().Title, longText.left(30));
        QCOMPARE(m.data().Album, longText.left(30));
        QCOMPARE(m.data().Year, QStringLiteral("2024"));
        QCOMPARE(m.data().Comment, longText.left(30));
        QCOMPARE(readFile(path).size(), QFileInfo(fixture(QStringLiteral("mpeg1-layer3.mp3"))).size() + 128);
    }

    void genreIsTheFirstExactName()
    {
        const QString path = audioCopy();
        const struct {
            const char *text;
            int genre;
        } cases[] = {{"Jazz", 8},         {"jazz", 126}, {"", 126}, {"No Such Genre", 126},
                     {"Psychadelic", 67}, {"Blues", 0}};
        for (const auto &c : cases) {
            QVERIFY(TMPEGAudio::writeTag(path, QStringLiteral("t"), QString(), QString(), QString(),
                                         QString(), QString::fromLatin1(c.text)));
            TMPEGAudio m;
            m.setFileName(path);
            QCOMPARE(int(m.data().Genre), c.genre);
        }
        TMPEGAudio m;
        m.setFileName(path);
        QVERIFY(TMPEGAudio::writeTag(path, QStringLiteral("t"), QString(), QString(), QString(), QString(),
                                     QStringLiteral("Unlisted")));
        m.setFileName(path);
        QCOMPARE(m.genreStr(), QStringLiteral("Unknown"));
    }

    void textsAreLatin1WhenTheyFitElseUtf8()
    {
        QCOMPARE(Id3v1Text::encode(QString::fromUtf8("Caf\u00e9"), 6), QByteArray("Caf\xE9  ", 6));
        // Ten three-byte characters fill thirty bytes exactly; one two-byte character before them pushes the
        // last one out whole.
        const QString kanji = QString::fromUtf8("\u65e5").repeated(10);
        QCOMPARE(Id3v1Text::encode(kanji, 30), kanji.toUtf8());
        const QString mixed = QString::fromUtf8("\u00e4") + kanji;
        const QByteArray cut = Id3v1Text::encode(mixed, 30);
        QCOMPARE(cut.size(), 30);
        QCOMPARE(cut, mixed.left(10).toUtf8() + ' ');
        QCOMPARE(Id3v1Text::encode(QStringLiteral("a") + QChar(0) + QStringLiteral("b"), 4),
                 QByteArray("a b "));
        // A character outside the basic plane is never split either.
        QCOMPARE(Id3v1Text::encode(QString::fromUtf8("ab\U0001F600"), 5), QByteArray("ab   "));

        const QString path = audioCopy();
        QVERIFY(TMPEGAudio::writeTag(path, QString::fromUtf8("Caf\u00e9"), mixed, QString(), QString(),
                                     QString(), QString()));
        TMPEGAudio m;
        m.setFileName(path);
        QCOMPARE(m.data().Title, QString::fromUtf8("Caf\u00e9"));
        QCOMPARE(m.data().Artist, mixed.left(10));
    }

    void removeCutsOnlyTheTag()
    {
        const QString path = audioCopy();
        const QByteArray audio = readFile(path);
        QVERIFY(TMPEGAudio::removeTag(path)); // nothing to remove
        QCOMPARE(readFile(path), audio);

        QVERIFY(TMPEGAudio::writeTag(path, QStringLiteral("t"), QString(), QString(), QString(), QString(),
                                     QString()));
        QVERIFY(TMPEGAudio::removeTag(path));
        QCOMPARE(readFile(path), audio);
        TMPEGAudio m;
        m.setFileName(path);
        QCOMPARE(m.data().Header, QStringLiteral("BAD"));
    }

    void shortFilesGetTheTagAppended()
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/short.mp3");
        QVERIFY(writeFile(path, QByteArray(50, 'a')));
        QVERIFY(TMPEGAudio::removeTag(path));
        QCOMPARE(readFile(path), QByteArray(50, 'a'));

        QVERIFY(TMPEGAudio::writeTag(path, QStringLiteral("t"), QString(), QString(), QString(), QString(),
                                     QString()));
        const QByteArray bytes = readFile(path);
        QCOMPARE(bytes.size(), 178);
        QVERIFY(bytes.startsWith(QByteArray(50, 'a')));
        QCOMPARE(bytes.mid(50, 4), QByteArray("TAGt"));
        QVERIFY(TMPEGAudio::removeTag(path));
        QCOMPARE(readFile(path), QByteArray(50, 'a'));

        QVERIFY(writeFile(path, QByteArray()));
        QVERIFY(TMPEGAudio::writeTag(path, QString(), QString(), QString(), QString(), QString(), QString()));
        QCOMPARE(readFile(path).size(), 128);
    }

    void readOnlyAndMissingFilesStayUnchanged()
    {
        const QString path = audioCopy();
        QVERIFY(TMPEGAudio::writeTag(path, QStringLiteral("kept"), QString(), QString(), QString(), QString(),
                                     QString()));
        const QByteArray before = readFile(path);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(!TMPEGAudio::writeTag(path, QStringLiteral("changed"), QString(), QString(), QString(),
                                      QString(), QString()));
        QVERIFY(!TMPEGAudio::removeTag(path));
        QCOMPARE(readFile(path), before);

        const QString gone = vorlantest::tempDir() + QStringLiteral("/gone.mp3");
        QVERIFY(!TMPEGAudio::writeTag(gone, QStringLiteral("t"), QString(), QString(), QString(), QString(),
                                      QString()));
        QVERIFY(!QFile::exists(gone));
        QVERIFY(!TMPEGAudio::removeTag(gone));
        QVERIFY(!TMPEGAudio::writeTag(vorlantest::tempDir(), QStringLiteral("t"), QString(), QString(),
                                      QString(), QString(), QString()));
        QVERIFY(!TMPEGAudio::writeTag(QString(), QString(), QString(), QString(), QString(), QString(),
                                      QString()));
    }
};

VORLAN_TEST_CLASS(Id3v1TagTest)
#include "Id3v1TagTest.moc"

// Info templates: items, their alignment, width and fill, and the values they take from the reader.
#include "tags/InfoTemplate.h"
#include "tags/TMPEGAudio.h"
#include "tests/TestMain.h"
#include "tests/tags/MpegBytes.h"

#include <QFile>
#include <QLocale>
#include <QScopeGuard>
#include <QTest>

using namespace mpegbytes;

class InfoTemplateTest : public QObject
{
    Q_OBJECT

    QString m_dir;
    QString m_song;  // MPEG-2.5 Layer III at 8 kbit/s, 3,725,000 bytes: 3725 s; title "abc", genre 8
    QString m_plain; // 123,456 bytes of MPEG-1 Layer III without a tag
    TMPEGAudio m_songReader;
    TMPEGAudio m_plainReader;
    QLocale m_savedLocale;

    QString fmt(const char *templ, const TMPEGAudio &m)
    {
        return formatInfoTemplate(QString::fromUtf8(templ), m);
    }
    QString song(const char *templ) { return fmt(templ, m_songReader); }
    QString plain(const char *templ) { return fmt(templ, m_plainReader); }

private slots:
    void initTestCase()
    {
        m_savedLocale = QLocale();
        QLocale::setDefault(QLocale::c());
        m_dir = vorlantest::tempDir();
        m_song = m_dir + QStringLiteral("/song.mp3");
        QVERIFY(writeFile(m_song, frames(kMpeg25L3, kMpeg25L3Length, 2), 3725000,
                          tag("abc", "Some Artist", "Some Album", "1999", "A comment", 8)));
        QFile f(m_song);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(
            f.setFileTime(QDateTime(QDate(2021, 3, 4), QTime(5, 6, 9)), QFileDevice::FileModificationTime));
        f.close();
        m_songReader.setFileName(m_song);
        QVERIFY(m_songReader.isValid());

        m_plain = m_dir + QStringLiteral("/plain.mp3");
        QVERIFY(writeFile(m_plain, frames(kMpeg1L3, kMpeg1L3Length, 2), 123456));
        m_plainReader.setFileName(m_plain);
        QVERIFY(m_plainReader.isValid());
    }

    void cleanupTestCase() { QLocale::setDefault(m_savedLocale); }

    void textAroundItems()
    {
        QCOMPARE(song("no items at all"), QStringLiteral("no items at all"));
        QCOMPARE(song(""), QString());
        QCOMPARE(song("100%% sure"), QStringLiteral("100% sure"));
        QCOMPARE(song("%%%%"), QStringLiteral("%%"));
        QCOMPARE(song("before %T,T% after"), QStringLiteral("before abc after"));
    }

    void unmatchedPercentSignEndsWithTheErrorText()
    {
        QCOMPARE(song("abc%"), QStringLiteral("abc<<<ERROR!!! No end of item definition!>>>"));
        QCOMPARE(song("a%T,T%b%c"), QStringLiteral("aabcb<<<ERROR!!! No end of item definition!>>>"));
    }

    void unknownItemsStayAsWritten()
    {
        QCOMPARE(song("%XYZ%"), QStringLiteral("%XYZ%"));
        QCOMPARE(song("[%xyz, r ,5%]"), QStringLiteral("[%xyz, r ,5%]"));
        QCOMPARE(song("%DF:R%"), QStringLiteral("%DF:R%")); // the keyword ends at a comma only
    }

    void characterItems()
    {
        QCOMPARE(song("%65%"), QStringLiteral("A"));
        QCOMPARE(song("%0%"), QString(QChar(1)));
        QCOMPARE(song("%6.5%"), QString(QChar(1)));
        QCOMPARE(song("%9%"), QStringLiteral("\t"));
        QCOMPARE(song("%65,R,3,.%"), QStringLiteral("..A"));
        QCOMPARE(song("%233%"), QString::fromUtf8("\u00e9"));
        QCOMPARE(song("%99999999999%"), QString(QChar(1)));
    }

    void layoutItems()
    {
        QCOMPARE(song("%NL%"), QStringLiteral("\r\n"));
        QCOMPARE(song("%newline%"), QStringLiteral("\r\n"));
        QCOMPARE(song("a%#%b%SOFTNEWLINE%c"), QStringLiteral("abc"));
        QCOMPARE(song("%TB%%TAB%"), QStringLiteral("\t\t"));
    }

    void alignmentWidthAndFill()
    {
        QCOMPARE(song("%T%"), QStringLiteral("abc") + QString(27, QLatin1Char(' ')));
        QCOMPARE(song("%T,L,10,.%"), QStringLiteral("abc......."));
        QCOMPARE(song("%T,R,6%"), QStringLiteral("   abc"));
        QCOMPARE(song("%T,C,6,*%"), QStringLiteral("*abc**"));
        QCOMPARE(song("%T,C,7,*%"), QStringLiteral("**abc**"));
        QCOMPARE(song("%T,T,10%"), QStringLiteral("abc"));
        QCOMPARE(song("%T,L%"), QStringLiteral("abc")); // a letter without width: as it is
        QCOMPARE(song("%T,L,0%"), song("%T%"));         // width 0: the default width
        QCOMPARE(song("%T,X,10%"), song("%T%"));        // no alignment letter: the defaults
        QCOMPARE(song("%T,,10%"), song("%T%"));
        QCOMPARE(song("%T,L,ten%"), QStringLiteral("abc")); // a width that is no number: none
        QCOMPARE(song("%T,L,-4%"), QStringLiteral("abc"));
        QCOMPARE(song("% t , left , 5 , _ %"), QStringLiteral("abc__"));
        QCOMPARE(song("%T,L,5, %"), QStringLiteral("abc  ")); // an empty fill field: spaces
        QCOMPARE(song("%DF,R%"), QStringLiteral("02:05"));
        QCOMPARE(song("%DF%"), QStringLiteral("02:05"));
        QCOMPARE(song("%DF,R,,0%"), QStringLiteral("02:05"));
        QCOMPARE(song("%DF,R:8%"), QStringLiteral("   02:05"));
        QCOMPARE(song("%DF,R:8:0%"), QStringLiteral("   02:05")); // the fill is split on commas only
        QCOMPARE(song("%DF,R,8,0%"), QStringLiteral("00002:05"));
        QCOMPARE(plain("%L,R,3%"), QStringLiteral("123")); // too long: the left part is kept
        QCOMPARE(plain("%L,L,3%"), QStringLiteral("123"));
        QCOMPARE(plain("%L,C,3%"), QStringLiteral("123"));
        QCOMPARE(song("%T,L,100000%").size(), 1024); // widths are bounded
    }

    void tagAndFileItems()
    {
        QCOMPARE(song("%A,T%|%ALB,T%|%Y%|%CMNT,T%"), QStringLiteral("Some Artist|Some Album|1999|A comment"));
        QCOMPARE(song("%G%"), QStringLiteral("Jazz") + QString(21, QLatin1Char(' ')));
        QCOMPARE(song("%GNR%|%TR%"), QStringLiteral("  8|  0"));
        QCOMPARE(plain("%T,T%|%A,T%|%G,T%|%GNR%"), QStringLiteral("plain.mp3|[notag]|Unknown|255"));
        QCOMPARE(song("%FN,T%"), QStringLiteral("song.mp3"));
        QCOMPARE(song("%FP,T%"), m_dir + QLatin1Char('/'));
        QCOMPARE(song("%FN%").size(), 40);
        QCOMPARE(song("%VL%"), QString(11, QLatin1Char(' ')));
        QCOMPARE(song("%FD%|%FT%"), QStringLiteral("04.03.2021|05:06:08"));
    }

    void streamItems()
    {
        QCOMPARE(song("%V%|%LY%|%LYN%|%SR%|%SRK%|%BR%|%FL%"),
                 QStringLiteral("2.5|III|3| 8000| 8.0|  8| 144"));
        QCOMPARE(song("%M%|%M,T%|%S%"), QStringLiteral("Single-Chann|Single-Channel|Mono  "));
        QCOMPARE(plain("%M,T%|%S,T%|%SRK%"), QStringLiteral("Joint-Stereo|Stereo|44.1"));
        QCOMPARE(song("%EP%|%EP*%|%C%|%C*%|%O%|%O*%"), QStringLiteral("No | |No | |Yes|*"));
        QCOMPARE(song("%SLN%|%SL%|%SL*%"), QStringLiteral("  0|No |   "));
        QCOMPARE(song("%VD%|%VD*%"), QStringLiteral("Yes|*  "));
        TMPEGAudio empty;
        QCOMPARE(fmt("%V%|%LY%|%VD%|%FD%|%FT%", empty), QStringLiteral("Unk|Unk|No |          |        "));
    }

    void durationAndLengthNumbers()
    {
        QCOMPARE(song("%D%"), QStringLiteral("3725"));
        QCOMPARE(song("%DC%"), QStringLiteral("3,725"));
        QCOMPARE(song("%L%"), QStringLiteral("  3725000"));
        QCOMPARE(song("%LC%"), QStringLiteral("   3,725,000"));
        QCOMPARE(song("%LK%|%LKC%|%LM%"), QStringLiteral("  3637|   3,638|  3.6"));
        QCOMPARE(plain("%LK%|%LKC%|%LM%"), QStringLiteral("   120|     121|  0.1"));
        QCOMPARE(plain("%DF%|%D%"), QStringLiteral("00:07|   7"));
    }

    void localeSeparators()
    {
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(song("%DC,T%|%LC,T%|%LKC,T%"), QStringLiteral("3.725|3.725.000|3.638"));
        QCOMPARE(song("%LM,T%|%SRK,T%"), QStringLiteral("3,6|8,0"));
        QCOMPARE(plain("%SRK,T%"), QStringLiteral("44,1"));
        QCOMPARE(song("%FD%"), QStringLiteral("04.03.2021"));
    }

    void splitTemplateFormatsLikeTheFunction()
    {
        const QString templ = QStringLiteral("%T,L,10,.%|%DF,R%|%XYZ%|%65%|%%|%BR%|%NL%|tail%");
        const QString songText = QStringLiteral(
            "abc.......|02:05|%XYZ%|A|%|  8|\r\n|tail<<<ERROR!!! No end of item definition!>>>");
        const QString plainText = QStringLiteral(
            "plain.mp3.|00:07|%XYZ%|A|%|128|\r\n|tail<<<ERROR!!! No end of item definition!>>>");
        // Compiled once and used for many files, or formatted in one go: the same text.
        const InfoTemplate compiled(templ);
        QCOMPARE(compiled.format(m_songReader), songText);
        QCOMPARE(compiled.format(m_plainReader), plainText);
        QCOMPARE(formatInfoTemplate(templ, m_songReader), songText);
        QCOMPARE(formatInfoTemplate(templ, m_plainReader), plainText);
        QVERIFY(InfoTemplate().isEmpty());
        QVERIFY(InfoTemplate().format(m_songReader).isEmpty());
    }
};

VORLAN_TEST_CLASS(InfoTemplateTest)
#include "InfoTemplateTest.moc"

// The vorlaninfo tool: one line per file, errors on stderr and in the exit status.
#include "tests/TestMain.h"
#include "tests/tags/MpegBytes.h"
#include "tests/tags/OtherFormatFiles.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <cstdio>

class VorlanInfoTest : public QObject
{
    Q_OBJECT

    struct Run {
        int status = -1;
        QString out;
        QString err;
    };

    QString fixture(const QString &name) { return QStringLiteral(VORLAN_FIXTURES "/") + name; }

    Run run(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(VORLAN_BUILD_DIR "/tags/vorlaninfo"), args);
        Run r;
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
            return r;
        r.status = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

private slots:
    void defaultLinePerFile()
    {
        const Run r =
            run({fixture(QStringLiteral("mpeg1-layer3.mp3")), fixture(QStringLiteral("tone-3s-mono.mp3")),
                 fixture(QStringLiteral("freeformat.mp3"))});
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.isEmpty());
        const QStringList lines = r.out.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], fixture(QStringLiteral("mpeg1-layer3.mp3")) +
                               QStringLiteral("\t1.0\tIII\t128\t44100\tJoint-Stereo\t00:00"));
        QCOMPARE(lines[1], fixture(QStringLiteral("tone-3s-mono.mp3")) +
                               QStringLiteral("\t1.0\tIII\t64\t44100\tSingle-Channel\t00:03"));
        QCOMPARE(lines[2], fixture(QStringLiteral("freeformat.mp3")) +
                               QStringLiteral("\tUnknown\tUnknown\t0\t0\tStereo\t00:00"));
        QVERIFY(lines[3].isEmpty());
    }

    void otherFormatsPrintTheirCodecStreamAndTags()
    {
        if (!otherformats::haveFfmpeg())
            QSKIP("ffmpeg makes the songs (scripts/install-deps.sh)");
        const QString dir = vorlantest::tempDir();
        const QString flac = dir + QStringLiteral("/info.flac"), opus = dir + QStringLiteral("/info.opus");
        const QStringList tags{QStringLiteral("artist=Кино"), QStringLiteral("title=Звезда"),
                               QStringLiteral("album=Weather"), QStringLiteral("date=2001"),
                               QStringLiteral("genre=Rock")};
        QVERIFY(otherformats::make(flac, tags));
        QVERIFY(otherformats::make(opus, tags));
        const QString mp3 = fixture(QStringLiteral("mpeg1-layer3.mp3"));
        Run r = run({mp3, flac, opus});
        QCOMPARE(r.status, 0);
        QVERIFY(r.err.isEmpty());
        const QStringList lines = r.out.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 4);
        // MPEG lines are what they were.
        QCOMPARE(lines[0], mp3 + QStringLiteral("\t1.0\tIII\t128\t44100\tJoint-Stereo\t00:00"));
        const QStringList f = lines[1].split(QLatin1Char('\t'));
        QCOMPARE(f.size(), 11);
        QCOMPARE(f[0], flac);
        QCOMPARE(f[1], QStringLiteral("FLAC"));
        QVERIFY(f[2].toInt() > 0);
        QCOMPARE(f.mid(3),
                 (QStringList{"44100", "Stereo", "00:00", "Кино", "Звезда", "Weather", "2001", "Rock"}));
        const QStringList o = lines[2].split(QLatin1Char('\t'));
        QCOMPARE(o.value(1), QStringLiteral("Opus"));
        QCOMPARE(o.value(3), QStringLiteral("48000"));

        // A template reads the same values.
        r = run(
            {QStringLiteral("-t"), QStringLiteral("%A,T% - %T,T% [%V,T%, %SR,T% Hz, %M,T%] %ALB,T%"), opus});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("Кино - Звезда [Opus, 48000 Hz, Stereo] Weather\n"));
    }

    void aNameThatIsNotUtf8OpensAndShowsAsLatin1()
    {
        const QString dir = vorlantest::tempDir();
        const QByteArray latin1Name = QFile::encodeName(dir) + "/caf\xE9.mp3";
        QVERIFY(QFile::copy(fixture(QStringLiteral("mpeg1-layer3.mp3")), dir + QStringLiteral("/x.mp3")));
        QCOMPARE(
            ::rename(QFile::encodeName(dir + QStringLiteral("/x.mp3")).constData(), latin1Name.constData()),
            0);
        // The name goes through a shell, as bytes; QProcess would send it as UTF-8.
        QProcess p;
        p.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$(printf '%s/caf\\351.mp3' \"$1\")\""),
                 QStringLiteral(VORLAN_BUILD_DIR "/tags/vorlaninfo"), dir});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()),
                 dir + QString::fromUtf8("/caf\xC3\xA9.mp3\t1.0\tIII\t128\t44100\tJoint-Stereo\t00:00\n"));
    }

    void controlCharactersInValuesAreShownEscaped()
    {
        const QString dir = vorlantest::tempDir();
        // A title with a line feed and an ESC sequence, and a file name holding a line feed.
        const QString path = dir + QStringLiteral("/two\nlines.mp3");
        QVERIFY(mpegbytes::writeFile(
            path, mpegbytes::frames(mpegbytes::kMpeg1L3, mpegbytes::kMpeg1L3Length, 3) +
                      mpegbytes::tag("Evil\nforged\x1b[31m", "A\tB", "", "2024", "x\ry\x7f", 0)));
        const Run r = run({QStringLiteral("-t"), QStringLiteral("%T,T%\t%A,T%\t%CMNT,T%\t%FN,T%"), path});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("Evil\\nforged\\e[31m\tA\\tB\tx\\ry\\x7f\ttwo\\nlines.mp3\n"));
        // Bidi controls turn what follows around, a line separator ends a line: escaped too.
        const QString turned = dir + QString::fromUtf8("/a\u2028b.mp3");
        QVERIFY(mpegbytes::writeFile(turned,
                                     mpegbytes::frames(mpegbytes::kMpeg1L3, mpegbytes::kMpeg1L3Length, 3) +
                                         mpegbytes::tag("evil\xE2\x80\xAEgpj.exe", "", "", "2024", "", 0)));
        const Run bidi = run({QStringLiteral("-t"), QStringLiteral("%T,T%\t%FN,T%"), turned});
        QCOMPARE(bidi.status, 0);
        QCOMPARE(bidi.out, QStringLiteral("evil\\u202egpj.exe\ta\\u2028b.mp3\n"));
        // The report of a file that cannot be read is escaped as well.
        const Run missing = run({dir + QStringLiteral("/gone\n\x1b[2J.mp3")});
        QCOMPARE(missing.status, 1);
        QCOMPARE(missing.err.count(QLatin1Char('\n')), 1);
        QVERIFY(!missing.err.contains(QChar(0x1B)));
    }

    void templateOption()
    {
        const Run r = run({QStringLiteral("-t"), QStringLiteral("%A,T% - %T,T% [%Y%] %GNR,T%"),
                           fixture(QStringLiteral("mpeg1-layer3-tagged.mp3"))});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("Fixture Artist - Fixture Title [2024] 8\n"));
    }

    void missingFilesAreReportedAndTheOthersPrinted()
    {
        const QString missing = vorlantest::tempDir() + QStringLiteral("/missing.mp3");
        const Run r = run({QStringLiteral("-t"), QStringLiteral("%FN,T%"), missing,
                           fixture(QStringLiteral("mpeg1-layer1.mpg")), vorlantest::tempDir()});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QStringLiteral("mpeg1-layer1.mpg\n"));
        QVERIFY(r.err.contains(missing));
        QCOMPARE(r.err.count(QStringLiteral("cannot read")), 2);
    }

    void usage()
    {
        Run r = run({QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.contains(QStringLiteral("Usage: vorlaninfo")));
        r = run({});
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains(QStringLiteral("Usage")));
        r = run({QStringLiteral("--frobnicate"), fixture(QStringLiteral("mpeg1-layer3.mp3"))});
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        // After "--" every argument is a file, even one that looks like an option.
        r = run({QStringLiteral("--"), QStringLiteral("-t")});
        QCOMPARE(r.status, 1);
    }
};

VORLAN_TEST_CLASS(VorlanInfoTest)
#include "VorlanInfoTest.moc"

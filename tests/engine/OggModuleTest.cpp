// The Ogg module through its entry points, on Opus and Vorbis files made here by opusenc and oggenc: exact
// seeks, chained streams and their tags, streams without seeking, damage, and inputs that are no Opus or
// Vorbis.
#include "engine/xaudio/DecoderModules.h"
#include "tests/TestMain.h"
#include "tests/fuzz/FuzzDecoderModule.h"

#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <cmath>
#include <cstdlib>

namespace
{

constexpr auto &run = vorlantest::runTool;
using fuzzsupport::Memory;

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class OggModuleTest : public QObject
{
    Q_OBJECT

    const DecoderModules::Entries *m_av = nullptr;
    QString m_dir;

    QString path(const QString &name) const { return m_dir + QLatin1Char('/') + name; }

    // A file of the codec ("opus" or "vorbis") from 2 s of a sweep and noise, titled as asked.
    QByteArray encoded(const QString &codec, const QString &title)
    {
        const QString wav = path(QStringLiteral("source.wav")), out = path(title + QLatin1Char('.') + codec);
        if (!run(QStringLiteral("sox"), {"-R", "-n", "-r", "48000", "-c", "2", "-b", "16", wav, "synth", "2",
                                         "sine", "100-6000", "whitenoise", "gain", "-8"}))
            return {};
        const bool opus = codec == QLatin1String("opus");
        const QStringList args = opus ? QStringList{"--quiet",  "--max-delay", "100", "--title", title,
                                                    "--artist", "Band",        wav,   out}
                                      : QStringList{"-Q", "-t", title, "-a", "Band", wav, "-o", out};
        return run(opus ? QStringLiteral("opusenc") : QStringLiteral("oggenc"), args) ? bytesOf(out)
                                                                                      : QByteArray();
    }

    VorlanAvInput *open(Memory &m, bool file, VorlanAvInfo *info, QByteArray *why = nullptr)
    {
        char text[128] = {};
        VorlanAvInput *in = m_av->open(fuzzsupport::readMemory, file ? fuzzsupport::seekMemory : nullptr, &m,
                                       0, info, text, int(sizeof text));
        if (why)
            *why = text;
        return in;
    }

    // Every sample to the end (or up to frames), -1 in *failed when decoding failed.
    std::vector<int16_t> decodeAll(VorlanAvInput *in, int channels, long frames = -1, bool *failed = nullptr)
    {
        std::vector<int16_t> all;
        const void *pcm = nullptr;
        char why[128];
        long n = 0;
        while ((frames < 0 || long(all.size()) < frames * channels) &&
               (n = m_av->decode(in, &pcm, why, sizeof why)) > 0) {
            const auto *s = static_cast<const int16_t *>(pcm);
            all.insert(all.end(), s, s + n * channels);
        }
        if (failed)
            *failed = n < 0;
        return all;
    }

    static void codecs()
    {
        QTest::addColumn<QString>("codec");
        QTest::newRow("opus") << "opus";
        QTest::newRow("vorbis") << "vorbis";
    }

private slots:
    void initTestCase()
    {
        m_av = DecoderModules::ogg();
        QVERIFY2(m_av, "the Ogg module (libvorlan-ogg.so) is built with the engine");
        for (const char *tool : {"sox", "opusenc", "oggenc"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("needs sox, opusenc and oggenc (scripts/install-deps.sh)");
        m_dir = vorlantest::tempDir();
    }

    void aSeekGivesTheSampleAskedNextAndAStreamCannotSeek_data() { codecs(); }
    void aSeekGivesTheSampleAskedNextAndAStreamCannotSeek()
    {
        QFETCH(QString, codec);
        const QByteArray bytes = encoded(codec, QStringLiteral("seek"));
        QVERIFY(!bytes.isEmpty());
        Memory m{reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size()};
        VorlanAvInfo info{};
        VorlanAvInput *in = open(m, true, &info);
        QVERIFY(in);
        QCOMPARE(QLatin1String(info.codec), codec);
        QCOMPARE(info.length, int64_t(96000));
        QVERIFY(info.bitrate > 16 && info.bitrate < 400);
        const std::vector<int16_t> whole = decodeAll(in, 2);
        QCOMPARE(whole.size(), size_t(96000 * 2));
        for (const int64_t at : {int64_t(77777), int64_t(1234), int64_t(48000)}) {
            QCOMPARE(m_av->seek(in, at), 0);
            QCOMPARE(m_av->tell(in), at);
            const std::vector<int16_t> part = decodeAll(in, 2, 2000);
            QVERIFY(part.size() >= 4000);
            // Vorbis gives the same samples; Opus decodes again from 80 ms before the place, into a state
            // near but not the same: it lines up there, and one sample off is far worse.
            const auto error = [&](int shift) {
                double sum = 0;
                for (size_t i = 0; i < 4000; ++i)
                    sum += std::pow(part[i] - whole[size_t(at + shift) * 2 + i], 2);
                return sum;
            };
            if (codec == QLatin1String("vorbis"))
                QCOMPARE(error(0), 0.0);
            else
                QVERIFY(error(0) * 20 < std::min(error(-1), error(1)));
        }
        m_av->close(in);
        // The same bytes as a stream: no length, no seek, the same sound.
        Memory s{reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size()};
        in = open(s, false, &info);
        QVERIFY(in);
        QCOMPARE(info.length, int64_t(-1));
        QCOMPARE(m_av->seek(in, 1000), -1);
        QVERIFY(decodeAll(in, 2) == whole);
        m_av->close(in);
    }

    void aChainedStreamGivesTheTagsOfThePartPlaying_data() { codecs(); }
    void aChainedStreamGivesTheTagsOfThePartPlaying()
    {
        QFETCH(QString, codec);
        const QByteArray chained =
            encoded(codec, QStringLiteral("One")) + encoded(codec, QStringLiteral("Two"));
        for (const bool file : {false, true}) {
            Memory m{reinterpret_cast<const uint8_t *>(chained.data()), chained.size()};
            VorlanAvInfo info{};
            VorlanAvInput *in = open(m, file, &info);
            QVERIFY(in);
            QCOMPARE(info.length, file ? int64_t(192000) : int64_t(-1));
            char title[16] = {};
            QCOMPARE(m_av->tag(in, "Title", title, sizeof title), 3);
            QCOMPARE(QLatin1String(title), QLatin1String("One"));
            QCOMPARE(m_av->tag(in, "ARTIST", nullptr, 0), 4);
            QCOMPARE(m_av->tagsChanged(in), 1);
            decodeAll(in, 2, 96000 + 1);
            QCOMPARE(m_av->tagsChanged(in), 2);
            QCOMPARE(m_av->tag(in, "title", title, sizeof title), 3);
            QCOMPARE(QLatin1String(title), QLatin1String("Two"));
            QCOMPARE(m_av->tell(in) <= 192000, true);
            m_av->close(in);
        }
    }

    void aLaterPartWithALargeCoverPlaysOn()
    {
        // A station's next song may carry its cover in its tags: headers of many megabytes mid-stream.
        if (QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty())
            QSKIP("needs ImageMagick's convert");
        const QString cover = path(QStringLiteral("cover.png")), wav = path(QStringLiteral("source.wav"));
        const QString second = path(QStringLiteral("covered.opus"));
        QVERIFY(run(QStringLiteral("convert"),
                    {"-size", "1800x1800", "xc:", "+noise", "Random", "-depth", "8", cover}));
        QVERIFY(QFile(cover).size() > 8 << 20);
        const QByteArray first = encoded(QStringLiteral("opus"), QStringLiteral("One"));
        QVERIFY(
            run(QStringLiteral("opusenc"), {"--quiet", "--picture", cover, "--title", "Two", wav, second}));
        const QByteArray chained = first + bytesOf(second);
        for (const bool file : {true, false}) {
            Memory m{reinterpret_cast<const uint8_t *>(chained.data()), chained.size()};
            VorlanAvInfo info{};
            VorlanAvInput *in = open(m, file, &info);
            QVERIFY(in);
            bool failed = true;
            QCOMPARE(decodeAll(in, 2, -1, &failed).size(), size_t(2 * 96000 * 2));
            QVERIFY(!failed);
            m_av->close(in);
        }
    }

    void endlessGarbageInAStreamEndsAsAFailure_data() { codecs(); }
    void endlessGarbageInAStreamEndsAsAFailure()
    {
        QFETCH(QString, codec);
        QByteArray bytes = encoded(codec, QStringLiteral("garbage"));
        QVERIFY(bytes.size() > 9000);
        QByteArray noise(24 << 20, Qt::Uninitialized);
        std::srand(7);
        for (char &c : noise)
            c = char(std::rand());
        bytes.insert(9000, noise);
        Memory m{reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size()};
        VorlanAvInfo info{};
        VorlanAvInput *in = open(m, false, &info);
        QVERIFY(in);
        bool failed = false;
        decodeAll(in, info.channels, -1, &failed);
        // Not a song that simply ended: the player tells the station failed.
        QVERIFY(failed);
        m_av->close(in);
    }

    void aStationsPartAtAnotherRateComesAtItsOwnRate()
    {
        // A Vorbis station that relays songs at 44.1 and 48 kHz: each part at its own rate, none cut short.
        const QString wav = path(QStringLiteral("cd.wav")), first = path(QStringLiteral("cd.ogg"));
        QVERIFY(run(QStringLiteral("sox"), {"-R", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth",
                                            "1", "sine", "440", "gain", "-8"}));
        QVERIFY(run(QStringLiteral("oggenc"), {"-Q", "-t", "Cd", wav, "-o", first}));
        const QByteArray chained = bytesOf(first) + encoded(QStringLiteral("vorbis"), QStringLiteral("Dat"));
        Memory m{reinterpret_cast<const uint8_t *>(chained.data()), chained.size()};
        VorlanAvInfo info{};
        VorlanAvInput *in = open(m, false, &info);
        QVERIFY(in);
        QCOMPARE(info.rate, 44100);
        QCOMPARE(m_av->rate(in), 44100);
        QCOMPARE(decodeAll(in, 2, 44100).size(), size_t(44100 * 2));
        bool failed = true;
        QCOMPARE(decodeAll(in, 2, -1, &failed).size(), size_t(96000 * 2));
        QVERIFY(!failed);
        QCOMPARE(m_av->rate(in), 48000);
        m_av->close(in);
    }

    void damageIsSkippedAndOtherInputsAreRefused_data() { codecs(); }
    void damageIsSkippedAndOtherInputsAreRefused()
    {
        QFETCH(QString, codec);
        QByteArray bytes = encoded(codec, QStringLiteral("damaged"));
        QVERIFY(!bytes.isEmpty());
        // Noise over a stretch in the middle: the pages it falls in (up to two, 0.2 s each) fail their
        // checksum and are skipped.
        std::srand(7);
        for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 500; ++i)
            bytes[i] = char(std::rand());
        for (const bool file : {true, false}) {
            Memory m{reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size()};
            VorlanAvInfo info{};
            VorlanAvInput *in = open(m, file, &info);
            QVERIFY(in);
            bool failed = true;
            const size_t frames = decodeAll(in, 2, -1, &failed).size() / 2;
            QVERIFY(!failed);
            QVERIFY2(frames > 72000 && frames < 96000, qPrintable(QString::number(frames)));
            m_av->close(in);
        }
        // The start of a WAV, an Ogg FLAC, and nothing.
        for (const QByteArray &other : {bytesOf(path(QStringLiteral("source.wav"))).left(20000),
                                        QByteArray("OggS\0\x02", 6) + QByteArray(200, '\0') +
                                            "\x7f"
                                            "FLAC",
                                        QByteArray()}) {
            Memory m{reinterpret_cast<const uint8_t *>(other.data()), other.size()};
            VorlanAvInfo info{};
            QByteArray why;
            QVERIFY(!open(m, true, &info, &why));
            QVERIFY(!why.isEmpty());
        }
    }
};

VORLAN_TEST_CLASS(OggModuleTest)
#include "OggModuleTest.moc"

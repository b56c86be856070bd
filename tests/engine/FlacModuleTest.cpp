// The FLAC module through its entry points, against the reference decoder (`flac -d`) on files made here by
// flac and sox: samples, depths, downmix, seeks, tags, streams, and inputs that are damaged or no FLAC.
#include "engine/xaudio/DecoderModules.h"
#include "tests/TestMain.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QtEndian>

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

namespace
{

constexpr auto &run = vorlantest::runTool;

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Any WAV that flac writes (PCM or extensible, 8 to 32 bits in whole bytes): samples as numbers.
struct Pcm {
    int rate = 0, channels = 0, bits = 0;
    std::vector<int32_t> samples;
    size_t frames() const { return channels ? samples.size() / size_t(channels) : 0; }
};

Pcm readPcm(const QString &path)
{
    Pcm p;
    const QByteArray b = bytesOf(path);
    const auto u16 = [&b](qsizetype at) { return int(uint8_t(b[at])) | int(uint8_t(b[at + 1])) << 8; };
    const auto u32 = [&](qsizetype at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
    for (qsizetype pos = 12; pos + 8 <= b.size();) {
        const QByteArray id = b.mid(pos, 4);
        const qsizetype size = qsizetype(u32(pos + 4)), body = pos + 8;
        if (id == "fmt ") {
            p.channels = u16(body + 2);
            p.rate = int(u32(body + 4));
            p.bits = u16(body + 14);
        } else if (id == "data" && p.bits % 8 == 0 && p.bits > 0) {
            const int width = p.bits / 8;
            for (qsizetype at = body; at + width <= std::min(body + size, b.size()); at += width) {
                uint32_t v = 0;
                for (int i = 0; i < width; ++i)
                    v |= uint32_t(uint8_t(b[at + i])) << (8 * i + 32 - p.bits);
                // 8-bit WAV is unsigned.
                p.samples.push_back(p.bits == 8 ? int(uint8_t(b[at])) - 128 : int32_t(v) >> (32 - p.bits));
            }
            return p;
        }
        pos = body + size + (size & 1);
    }
    return p;
}

// An input in memory, given as a file or as a stream.
struct Memory {
    QByteArray bytes;
    int64_t pos = 0;

    static int read(void *user, uint8_t *buffer, int size)
    {
        auto *m = static_cast<Memory *>(user);
        const int n = int(std::clamp<int64_t>(m->bytes.size() - m->pos, 0, size));
        std::memcpy(buffer, m->bytes.constData() + m->pos, size_t(n));
        m->pos += n;
        return n;
    }
    static int64_t seek(void *user, int64_t offset, int whence)
    {
        auto *m = static_cast<Memory *>(user);
        if (whence == VORLAN_AV_SIZE)
            return m->bytes.size();
        const int64_t to = (whence == SEEK_SET ? 0 : whence == SEEK_CUR ? m->pos : m->bytes.size()) + offset;
        if (to < 0)
            return -1;
        m->pos = std::min<int64_t>(to, m->bytes.size());
        return to;
    }
};

// A stream that brings the bytes it holds, then the same filler byte forever (counted).
struct Endless {
    QByteArray start;
    int64_t pos = 0;
    uint32_t noise = 0; // 0: zeros, else the seed of noise
    static int read(void *user, uint8_t *buffer, int size)
    {
        auto *e = static_cast<Endless *>(user);
        for (int i = 0; i < size; ++i, ++e->pos) {
            if (e->pos < e->start.size()) {
                buffer[i] = uint8_t(e->start[qsizetype(e->pos)]);
            } else if (e->noise) {
                e->noise = e->noise * 1664525u + 1013904223u;
                buffer[i] = uint8_t(e->noise >> 24);
            } else {
                buffer[i] = 0;
            }
        }
        return size;
    }
};

// What an open input decodes from where it is to its end: the samples, widened.
std::vector<int32_t> decodeAll(const DecoderModules::Entries *av, VorlanAvInput *in, const VorlanAvInfo &info,
                               size_t limit = SIZE_MAX)
{
    std::vector<int32_t> out;
    const void *pcm = nullptr;
    char why[128] = {};
    long frames = 0;
    while (out.size() < limit && (frames = av->decode(in, &pcm, why, sizeof why)) > 0) {
        const size_t n = size_t(frames) * size_t(info.channels);
        if (info.sampleBytes == 4)
            out.insert(out.end(), static_cast<const int32_t *>(pcm), static_cast<const int32_t *>(pcm) + n);
        else
            out.insert(out.end(), static_cast<const int16_t *>(pcm), static_cast<const int16_t *>(pcm) + n);
    }
    return out;
}

// The sample given out for a reference sample of the source's bits: at the top of 16 or 32 bits.
int32_t atTop(int32_t v, int bits)
{
    return bits > 16 ? int32_t(uint32_t(v) << (32 - bits)) : int32_t(uint32_t(v) << (16 - bits));
}

} // namespace

class FlacModuleTest : public QObject
{
    Q_OBJECT

    const DecoderModules::Entries *m_av = nullptr;
    QString m_dir;
    QString m_source; // 16-bit stereo 44.1 kHz, 3 s: a sweep and noise, every place sounds different

    QString path(const QString &name) const { return m_dir + QLatin1Char('/') + name; }

    // Encodes src with flac (extra arguments before it) and decodes that with flac -d: the file and the
    // reference.
    bool encode(const QString &src, const QString &flac, const QStringList &extra = {})
    {
        return run(QStringLiteral("flac"), QStringList{"-s", "-f"} + extra + QStringList{src, "-o", flac}) &&
               run(QStringLiteral("flac"), {"-s", "-d", "-f", flac, "-o", flac + ".ref.wav"});
    }

    VorlanAvInput *open(Memory &m, bool file, VorlanAvInfo *info, QByteArray *why = nullptr)
    {
        char text[128] = {};
        VorlanAvInput *in =
            m_av->open(Memory::read, file ? Memory::seek : nullptr, &m, 0, info, text, int(sizeof text));
        if (why)
            *why = text;
        return in;
    }

private slots:
    void initTestCase()
    {
        m_av = DecoderModules::flac();
        QVERIFY2(m_av, "the FLAC module (libvorlan-flac.so) is built with the engine");
        for (const char *tool : {"sox", "flac"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("needs sox and flac (scripts/install-deps.sh)");
        m_dir = vorlantest::tempDir();
        m_source = path(QStringLiteral("source.wav"));
        // Made the same every run (-R), as the damage tests hit the same frames then.
        QVERIFY(run(QStringLiteral("sox"), {"-R", "-n", "-r", "44100", "-c", "2", "-b", "16", m_source,
                                            "synth", "3", "sine", "100-6000", "whitenoise", "gain", "-8"}));
    }

    void everyDepthGivesTheReferenceSamplesAtTheTopOfItsWidth_data()
    {
        QTest::addColumn<QString>("made"); // how the source of the file is made from m_source
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("channels");
        QTest::newRow("16-bit stereo") << "16" << 16 << 2;
        QTest::newRow("24-bit stereo") << "24" << 24 << 2;
        QTest::newRow("8-bit mono") << "8 mono" << 8 << 1;
        QTest::newRow("12-bit mono") << "12 mono" << 12 << 1;
    }
    void everyDepthGivesTheReferenceSamplesAtTheTopOfItsWidth()
    {
        QFETCH(QString, made);
        QFETCH(int, bits);
        QFETCH(int, channels);
        const QString src = path(QStringLiteral("depth.wav")), flac = path(QStringLiteral("depth.flac"));
        if (bits == 12) {
            // flac takes 12 bits from an extensible WAV that says so, the samples at the top of 16.
            const QString mono = path(QStringLiteral("mono16.wav"));
            QVERIFY(run(QStringLiteral("sox"), {m_source, "-c", "1", "-b", "16", mono}));
            const Pcm m = readPcm(mono);
            QByteArray data;
            for (int32_t v : m.samples) {
                const uint16_t s = uint16_t(v & ~0xf);
                data.append(char(s & 0xff)).append(char(s >> 8));
            }
            // Extensible, mono, 44100 Hz, 16-bit frames holding 12 valid bits, PCM.
            QByteArray fmt;
            for (const auto &[v, n] : {std::pair{0xfffeu, 2},
                                       {1u, 2},
                                       {44100u, 4},
                                       {88200u, 4},
                                       {2u, 2},
                                       {16u, 2},
                                       {22u, 2},
                                       {12u, 2},
                                       {4u, 4}})
                for (int i = 0; i < n; ++i)
                    fmt.append(char((v >> (8 * i)) & 0xff));
            fmt.append(QByteArray::fromHex("0100000000001000800000aa00389b71"));
            QByteArray wav = "WAVEfmt " + QByteArray(4, 0) + fmt + "data" + QByteArray(4, 0) + data;
            qToLittleEndian<uint32_t>(uint32_t(fmt.size()), wav.data() + 8);
            qToLittleEndian<uint32_t>(uint32_t(data.size()), wav.data() + 16 + fmt.size());
            wav.prepend("RIFF" + QByteArray(4, 0));
            qToLittleEndian<uint32_t>(uint32_t(wav.size() - 8), wav.data() + 4);
            writeFile(src, wav);
        } else {
            QStringList args{m_source, "-b", QString::number(bits)};
            if (channels == 1)
                args << "-c"
                     << "1";
            QVERIFY(run(QStringLiteral("sox"), args << src));
        }
        QVERIFY(encode(src, flac));
        const Pcm ref = readPcm(flac + ".ref.wav");
        QVERIFY(ref.frames() > 0);
        // flac -d writes 12 bits in 16, already at the top.
        const int refBits = bits == 12 ? 16 : bits;
        QCOMPARE(ref.bits, refBits);

        Memory m{bytesOf(flac)};
        VorlanAvInfo info{};
        VorlanAvInput *in = open(m, true, &info);
        QVERIFY(in);
        QCOMPARE(info.rate, 44100);
        QCOMPARE(info.channels, channels);
        QCOMPARE(info.bitsPerSample, bits);
        QCOMPARE(info.sampleBytes, bits > 16 ? 4 : 2);
        QCOMPARE(QByteArray(info.codec), QByteArray("flac"));
        QCOMPARE(info.length, int64_t(ref.frames()));
        // The average over the file, from its size and length.
        const double kbps = double(m.bytes.size()) * 8 / (double(ref.frames()) / 44100) / 1000;
        QVERIFY2(std::abs(info.bitrate - kbps) <= 1, qPrintable(QString::number(info.bitrate)));
        const std::vector<int32_t> ours = decodeAll(m_av, in, info);
        m_av->close(in);
        QCOMPARE(ours.size(), ref.samples.size());
        for (size_t i = 0; i < ours.size(); ++i)
            if (ours[i] != atTop(ref.samples[i], refBits))
                QFAIL(qPrintable(QStringLiteral("sample %1: %2, the reference's %3")
                                     .arg(i)
                                     .arg(ours[i])
                                     .arg(ref.samples[i])));
    }

    void moreChannelsAreMixedDownToTwoWithoutClipping()
    {
        // 5.1 with a tone of its own on every channel, loud enough that a plain sum would clip.
        const QString six = path(QStringLiteral("six.wav")), flac = path(QStringLiteral("six.flac"));
        QVERIFY(run(QStringLiteral("sox"), {"-n",    "-r",  "48000", "-c",  "6",    "-b",  "16",   six,
                                            "synth", "1",   "sine",  "110", "sine", "220", "sine", "330",
                                            "sine",  "440", "sine",  "550", "sine", "660", "gain", "-2"}));
        QVERIFY(encode(six, flac));
        const Pcm ref = readPcm(flac + ".ref.wav");
        QCOMPARE(ref.channels, 6);
        Memory m{bytesOf(flac)};
        VorlanAvInfo info{};
        VorlanAvInput *in = open(m, true, &info);
        QVERIFY(in);
        QCOMPARE(info.channels, 2);
        const std::vector<int32_t> ours = decodeAll(m_av, in, info);
        m_av->close(in);
        QCOMPARE(ours.size(), ref.frames() * 2);
        // Front sides whole, centre and back sides at -3 dB, the LFE left out, scaled by the sum of shares.
        const double k = std::sqrt(0.5), shares = 1 + 2 * k;
        int loud = 0;
        for (size_t f = 0; f < ref.frames(); ++f) {
            const int32_t *s = &ref.samples[f * 6];
            const double left = s[0] + k * s[2] + k * s[4], right = s[1] + k * s[2] + k * s[5];
            loud += std::abs(left) > 32767;
            QVERIFY(std::abs(ours[2 * f] - left / shares) <= 1);
            QVERIFY(std::abs(ours[2 * f + 1] - right / shares) <= 1);
        }
        QVERIFY(loud > 100);
    }

    void everySeekLandsOnTheSampleAskedFor()
    {
        const QString flac = path(QStringLiteral("seek.flac"));
        // Blocks of a size that no place asked for is a multiple of.
        QVERIFY(encode(m_source, flac, {"--blocksize=4608"}));
        const Pcm ref = readPcm(flac + ".ref.wav");
        const int64_t length = int64_t(ref.frames());
        Memory m{bytesOf(flac)};
        VorlanAvInfo info{};
        VorlanAvInput *in = open(m, true, &info);
        QVERIFY(in);
        // To the end first, so seeking back from there works too.
        QCOMPARE(decodeAll(m_av, in, info).size(), ref.samples.size());
        for (const int64_t at : {int64_t(70000), int64_t(0), int64_t(1), int64_t(4607), int64_t(4608),
                                 int64_t(4609), length / 2, length - 1, int64_t(12345), int64_t(12345)}) {
            QCOMPARE(m_av->seek(in, at), 0);
            QCOMPARE(m_av->tell(in), at);
            const std::vector<int32_t> rest = decodeAll(m_av, in, info, 20000);
            QVERIFY(!rest.empty());
            const size_t n = std::min(rest.size(), size_t(length - at) * 2);
            QVERIFY2(std::equal(rest.begin(), rest.begin() + long(n), ref.samples.begin() + long(at) * 2),
                     qPrintable(QString::number(at)));
        }
        // The end itself: nothing more, and a seek from there goes back.
        QCOMPARE(m_av->seek(in, length), 0);
        QCOMPARE(m_av->tell(in), length);
        const void *pcm = nullptr;
        char why[64];
        QCOMPARE(m_av->decode(in, &pcm, why, sizeof why), 0L);
        QCOMPARE(m_av->seek(in, 100), 0);
        QCOMPARE(decodeAll(m_av, in, info).size(), size_t(length - 100) * 2);
        QCOMPARE(m_av->tell(in), length);
        m_av->close(in);
    }

    void aStreamPlaysAsTheFileDoesWithoutSeekingOrBitrate()
    {
        const QString flac = path(QStringLiteral("stream.flac"));
        QVERIFY(encode(m_source, flac));
        const Pcm ref = readPcm(flac + ".ref.wav");
        Memory m{bytesOf(flac)};
        VorlanAvInfo info{};
        VorlanAvInput *in = open(m, false, &info);
        QVERIFY(in);
        QCOMPARE(info.bitrate, 0);
        QCOMPARE(m_av->seek(in, 1000), -1);
        QVERIFY(decodeAll(m_av, in, info) == ref.samples);
        m_av->close(in);
    }

    void tagsAreTheVorbisCommentsKeyedWithoutCase()
    {
        const QString flac = path(QStringLiteral("tags.flac")), png = path(QStringLiteral("cover.png"));
        // A cover among the metadata blocks is passed over.
        QImage cover(64, 64, QImage::Format_RGB32);
        cover.fill(Qt::darkCyan);
        QVERIFY(cover.save(png));
        const QStringList tags{"TITLE=Blue in Green", "Artist=Bill Evans", "REPLAYGAIN_TRACK_GAIN=-6.20 dB",
                               "GENRE=Jazz", "genre=Modal"};
        QStringList args{"--picture=" + png};
        for (const QString &t : tags)
            args << "-T" << t;
        QVERIFY(encode(m_source, flac, args));
        Memory m{bytesOf(flac)};
        VorlanAvInfo info{};
        VorlanAvInput *in = open(m, true, &info);
        QVERIFY(in);
        char value[64];
        QCOMPARE(m_av->tag(in, "title", value, sizeof value), 13);
        QCOMPARE(QByteArray(value), QByteArray("Blue in Green"));
        QCOMPARE(m_av->tag(in, "ARTIST", value, sizeof value), 10);
        QCOMPARE(QByteArray(value), QByteArray("Bill Evans"));
        QCOMPARE(m_av->tag(in, "ReplayGain_Track_Gain", nullptr, 0), 8);
        // Given twice, as FFmpeg has it.
        QVERIFY(m_av->tag(in, "GENRE", value, sizeof value) > 0);
        QCOMPARE(QByteArray(value), QByteArray("Jazz;Modal"));
        // Cut at the room given, still terminated.
        QCOMPARE(m_av->tag(in, "TITLE", value, 5), 13);
        QCOMPARE(QByteArray(value), QByteArray("Blue"));
        QCOMPARE(m_av->tag(in, "ALBUM", value, sizeof value), -1);
        QCOMPARE(m_av->tag(in, "TITL", value, sizeof value), -1);
        QCOMPARE(m_av->tagsChanged(in), 1);
        m_av->close(in);
    }

    void aFlacOfCountlessTagsOpensAtOnce()
    {
        // Three comment blocks of 90,000 keys each, after the stream's own header: reading them must not take
        // longer with every key.
        const QString flac = path(QStringLiteral("many-tags.flac"));
        QVERIFY(encode(m_source, flac));
        QByteArray bytes = bytesOf(flac);
        QVERIFY(bytes.startsWith("fLaC") && (uchar(bytes[4]) & 0x7f) == 0 && !(uchar(bytes[4]) & 0x80));
        const auto le32 = [](quint32 v) {
            QByteArray b(4, Qt::Uninitialized);
            qToLittleEndian(v, b.data());
            return b;
        };
        QByteArray blocks;
        for (int block = 0; block < 3; ++block) {
            QByteArray body = le32(0) + le32(90000);
            for (int i = 0; i < 90000; ++i) {
                const QByteArray entry = "k" + QByteArray::number(block * 90000 + i) + "=v";
                body += le32(quint32(entry.size())) + entry;
            }
            const quint32 size = quint32(body.size());
            blocks += char(4) + QByteArray(1, char(size >> 16)) + char(size >> 8) + char(size) + body;
        }
        bytes.insert(4 + 4 + 34, blocks);
        Memory m{bytes};
        std::atomic<VorlanAvInput *> in{nullptr};
        std::atomic<bool> done{false};
        VorlanAvInfo info{};
        std::thread opener([&] {
            in = open(m, true, &info);
            done = true;
        });
        // Joined however the wait ends.
        const std::unique_ptr<std::thread, void (*)(std::thread *)> joined(&opener,
                                                                           [](std::thread *t) { t->join(); });
        QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
        QVERIFY(in);
        char value[8];
        // Keys match without case, the first and a late one of the first block alike.
        QCOMPARE(m_av->tag(in, "K0", value, sizeof value), 1);
        QCOMPARE(m_av->tag(in, "K89999", value, sizeof value), 1);
        QCOMPARE(QByteArray(value), QByteArray("v"));
        m_av->close(in);
    }

    void anId3v2TagInFrontIsSkipped()
    {
        const QString flac = path(QStringLiteral("id3.flac"));
        QVERIFY(encode(m_source, flac, {"-T", "TITLE=After the tag"}));
        // ID3v2.3 with one text frame and padding: 10 + 1000 bytes, the size in 7-bit bytes.
        QByteArray tag = QByteArray("ID3\x03\x00\x00", 6) + QByteArray("\x00\x00\x07\x68", 4);
        QByteArray frame = QByteArray("TIT2") + QByteArray("\x00\x00\x00\x06\x00\x00", 6) + "\x00Tag!!";
        tag += frame + QByteArray(1000 - frame.size(), '\0');
        for (const bool file : {true, false}) {
            Memory m{tag + bytesOf(flac)};
            VorlanAvInfo info{};
            VorlanAvInput *in = open(m, file, &info);
            QVERIFY(in);
            char value[64];
            QVERIFY(m_av->tag(in, "TITLE", value, sizeof value) > 0);
            QCOMPARE(QByteArray(value), QByteArray("After the tag"));
            QVERIFY(decodeAll(m_av, in, info) == readPcm(flac + ".ref.wav").samples);
            m_av->close(in);
        }
    }

    void whatIsNoNativeFlacIsRefusedWithAReason()
    {
        const QString flac = path(QStringLiteral("other.flac")), ogg = path(QStringLiteral("other.oga"));
        QVERIFY(encode(m_source, flac));
        QVERIFY(run(QStringLiteral("flac"), {"-s", "-f", "--ogg", m_source, "-o", ogg}));
        const QByteArray good = bytesOf(flac);
        QByteArray noise(20000, '\0');
        quint32 x = 7;
        for (char &c : noise) {
            x = x * 1664525u + 1013904223u;
            c = char(x >> 24);
        }
        const QList<std::pair<QByteArray, QByteArray>> cases = {
            {QByteArray(), "not a FLAC file"},
            {noise, "not a FLAC file"},
            // Ogg FLAC holds the marker and the stream information too, but is FFmpeg's.
            {bytesOf(ogg), "not a FLAC file"},
            // WAV before FLAC is no tag libFLAC may skip.
            {bytesOf(m_source).left(44) + good, "not a FLAC file"},
            {"fLaC" + noise, "the file is damaged"},
            // The stream information only: no audio.
            {good.left(42), "the file holds no decodable audio"},
        };
        for (const auto &[bytes, reason] : cases) {
            for (const bool file : {true, false}) {
                Memory m{bytes};
                VorlanAvInfo info{};
                QByteArray why;
                VorlanAvInput *in = open(m, file, &info, &why);
                QVERIFY2(!in, qPrintable(reason));
                QCOMPARE(why, reason);
            }
        }
    }

    void damagedFramesAreSkippedAndTheRestIsExact()
    {
        const QString flac = path(QStringLiteral("damaged.flac"));
        QVERIFY(encode(m_source, flac));
        const Pcm ref = readPcm(flac + ".ref.wav");
        QByteArray bytes = bytesOf(flac);
        // Noise over 200 bytes in the middle.
        quint32 x = 1234;
        for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 200; ++i) {
            x = x * 1664525u + 1013904223u;
            bytes[i] = char(x >> 24);
        }
        for (const bool file : {true, false}) {
            Memory m{bytes};
            VorlanAvInfo info{};
            VorlanAvInput *in = open(m, file, &info);
            QVERIFY(in);
            const std::vector<int32_t> ours = decodeAll(m_av, in, info);
            // The time of what was skipped is counted.
            QCOMPARE(m_av->tell(in), info.length);
            m_av->close(in);
            // A frame or two is missing; before them and after them everything is the source's.
            QVERIFY(ours.size() < ref.samples.size());
            QVERIFY2(ours.size() >= ref.samples.size() - 3 * 4096 * 2,
                     qPrintable(QString::number(ours.size())));
            const size_t part = ref.samples.size() * 2 / 5;
            QVERIFY(std::equal(ours.begin(), ours.begin() + long(part), ref.samples.begin()));
            QVERIFY(std::equal(ours.end() - long(part), ours.end(), ref.samples.end() - long(part)));
        }
    }

    void endlessGarbageAfterTheHeadersGivesUpWithinBounds()
    {
        const QString flac = path(QStringLiteral("endless.flac"));
        QVERIFY(encode(m_source, flac));
        const QByteArray good = bytesOf(flac);
        // The marker and metadata blocks, up to the first frame.
        qsizetype headers = 4;
        for (bool last = false; !last && headers + 4 <= good.size();) {
            last = uint8_t(good[headers]) & 0x80;
            headers += 4 + (int(uint8_t(good[headers + 1])) << 16 | int(uint8_t(good[headers + 2])) << 8 |
                            int(uint8_t(good[headers + 3])));
        }
        QVERIFY(headers > 42 && headers < 10000);
        // Zeros have no frame sync to find; noise has false ones without end.
        for (const uint32_t noise : {0u, 99u}) {
            for (const qsizetype before : {headers, qsizetype(good.size() / 3)}) {
                Endless e{good.left(before), 0, noise};
                VorlanAvInfo info{};
                char why[128] = {};
                VorlanAvInput *in = m_av->open(Endless::read, nullptr, &e, 0, &info, why, int(sizeof why));
                if (in) {
                    QVERIFY(before > headers);
                    const void *pcm = nullptr;
                    long frames = 0;
                    for (int blocks = 0; (frames = m_av->decode(in, &pcm, why, sizeof why)) > 0; ++blocks)
                        QVERIFY(blocks < 100000);
                    QCOMPARE(frames, -1L);
                    m_av->close(in);
                }
                QCOMPARE(QByteArray(why), QByteArray("the audio data is damaged"));
                qInfo("%s after %lld bytes of FLAC: gave up %lld bytes on", noise ? "noise" : "zeros",
                      qlonglong(before), qlonglong(e.pos - before));
                QVERIFY(e.pos - before < int64_t(64) << 20);
            }
        }
    }
};

VORLAN_TEST_CLASS(FlacModuleTest)
#include "FlacModuleTest.moc"

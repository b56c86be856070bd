#include "engine/TXaudioPlayer.h"
#include "engine/xaudio/StreamSource.h"
#include "tests/TestMain.h"
#include "tests/engine/PlayerRun.h"
#include "tests/engine/WavFile.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUdpSocket>

namespace
{

QByteArray fixtureBytes(const char *name)
{
    QFile f(QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Interleaves a metadata block after every metaint bytes of audio, as a radio server does.
QByteArray withIcy(const QByteArray &audio, int metaint, const QByteArray &title)
{
    QByteArray meta = "StreamTitle='" + title + "';";
    meta.append(QByteArray((16 - meta.size() % 16) % 16, '\0'));
    QByteArray out;
    for (qsizetype i = 0; i < audio.size(); i += metaint) {
        out += audio.mid(i, metaint);
        if (i + metaint <= audio.size()) {
            // Every other block is empty, as servers send when the title did not change.
            if ((i / metaint) % 2 == 0) {
                out += char(meta.size() / 16);
                out += meta;
            } else {
                out += char(0);
            }
        }
    }
    return out;
}

// A one-shot HTTP server on 127.0.0.1 answering every request with the given head and body.
class TinyServer : public QObject
{
public:
    TinyServer(QByteArray head, QByteArray body, bool cutHalfway = false)
        : m_head(std::move(head)), m_body(std::move(body)), m_cut(cutHalfway)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = m_server.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [this, s] {
                m_request += s->readAll();
                if (!m_request.contains("\r\n\r\n") || m_answered)
                    return;
                m_answered = true;
                s->write(m_head);
                s->write(m_cut ? m_body.left(m_body.size() / 2) : m_body);
                s->flush();
                s->disconnectFromHost();
            });
        });
    }
    QString url() const
    {
        return QStringLiteral("http://127.0.0.1:%1/stream.mp3").arg(m_server.serverPort());
    }
    QByteArray request() const { return m_request; }

private:
    QTcpServer m_server;
    QByteArray m_head, m_body, m_request;
    bool m_cut;
    bool m_answered = false;
};

bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(5);
    return done();
}

} // namespace

class StreamTest : public QObject
{
    Q_OBJECT

private slots:
    void icyBlocksAreStrippedWhateverTheChunking()
    {
        QByteArray audio(10000, '\0');
        for (int i = 0; i < audio.size(); ++i)
            audio[i] = char(i * 7);
        const QByteArray wire = withIcy(audio, 700, "Artist - Song");
        QRandomGenerator rng(7);
        for (int round = 0; round < 20; ++round) {
            IcyStripper s;
            s.setMetaInterval(700);
            std::vector<uint8_t> out;
            for (qsizetype i = 0; i < wire.size();) {
                const qsizetype n = std::min<qsizetype>(rng.bounded(1, 900), wire.size() - i);
                s.feed(reinterpret_cast<const uint8_t *>(wire.constData() + i), size_t(n), out);
                i += n;
            }
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(out.data()), qsizetype(out.size())), audio);
            QCOMPARE(QString::fromStdString(s.streamTitle()), QStringLiteral("Artist - Song"));
        }
    }

    void httpStreamPlaysTheSameSamplesAsTheFile()
    {
        const QByteArray mp3 = fixtureBytes("tone-3s-mono.mp3");
        TinyServer server("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nicy-metaint: 1000\r\n\r\n",
                          withIcy(mp3, 1000, "Test Radio"));
        TXaudioPlayer p;
        QSignalSpy duration(&p, &TXaudioPlayer::OnNotifyInputDuration);
        QSignalSpy errors(&p, &TXaudioPlayer::OnNotifyError);
        bool playing = false, stopped = false;
        connect(&p, &TXaudioPlayer::OnNotifyInputState, [&](int s) {
            if (s == XA_INPUT_STATE_OPEN)
                p.Play();
        });
        connect(&p, &TXaudioPlayer::OnNotifyPlayerState, [&](int s) {
            playing |= s == XA_PLAYER_STATE_PLAYING;
            stopped |= playing && s == XA_PLAYER_STATE_STOPPED;
        });
        const QString wav = vorlantest::tempDir() + QStringLiteral("/stream.wav");
        QSignalSpy outputs(&p, &TXaudioPlayer::OnNotifyOutputState);
        p.OutputOpen(QStringLiteral("wav:") + wav);
        p.InputOpen(server.url());
        // A radio station has no end: its server closing the connection is a dropped stream.
        QVERIFY(waitFor([&] { return stopped; }, 20000));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().at(1).toInt(), int(XA_ERROR_CONNECTION_DROPPED));
        // The WAV file is complete once the output reports it closed.
        p.OutputClose();
        QTRY_VERIFY(!outputs.isEmpty() && outputs.last().at(0).toInt() == XA_OUTPUT_STATE_CLOSED);
        QVERIFY(server.request().contains("Icy-MetaData: 1"));
        QCOMPARE(duration.count(), 0); // a stream has no duration

        const QString ref = vorlantest::tempDir() + QStringLiteral("/ref.wav");
        QProcess::execute(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-w"), ref,
                                                     QStringLiteral(VORLAN_FIXTURES "/tone-3s-mono.mp3")});
        const WavData ours = readWav(wav), theirs = readWav(ref);
        QVERIFY(ours.ok && theirs.ok);
        QCOMPARE(ours.rate, theirs.rate);
        // A stream is decoded without the file's length, so the decoder may keep the encoder's padding at the
        // end; every sample the file gives must come out the same.
        QVERIFY(ours.samples.size() >= theirs.samples.size());
        QVERIFY(std::equal(theirs.samples.begin(), theirs.samples.end(), ours.samples.begin()));
    }

    void aFlacStreamPlaysTheSamplesOfItsSource_data()
    {
        QTest::addColumn<bool>("ogg");
        QTest::addColumn<QByteArray>("head");
        // Native FLAC is known by its first bytes whatever the server calls it, and is the FLAC module's.
        QTest::newRow("native") << false
                                << QByteArray(
                                       "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n");
        // Called FLAC and starting with a tag, it goes to the FLAC module, which refuses Ogg: the FFmpeg
        // module reads the stream again from its start.
        QTest::newRow("Ogg FLAC behind an ID3v2 tag")
            << true << QByteArray("HTTP/1.0 200 OK\r\nContent-Type: audio/flac\r\n\r\n");
    }
    void aFlacStreamPlaysTheSamplesOfItsSource()
    {
        QFETCH(bool, ogg);
        QFETCH(QByteArray, head);
        for (const char *tool : {"sox", "flac"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP("needs sox and flac");
        const bool ffmpegBefore = enginetest::mapped("libvorlan-ffmpeg.so");
        const QString dir = vorlantest::tempDir();
        const QString source = dir + QStringLiteral("/source.wav"),
                      flac = dir + QStringLiteral("/source.flac");
        QCOMPARE(QProcess::execute(QStringLiteral("sox"),
                                   {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"),
                                    QStringLiteral("-c"), QStringLiteral("2"), QStringLiteral("-b"),
                                    QStringLiteral("16"), source, QStringLiteral("synth"),
                                    QStringLiteral("1"), QStringLiteral("sine"), QStringLiteral("440"),
                                    QStringLiteral("sine"), QStringLiteral("660")}),
                 0);
        QStringList encode{QStringLiteral("--silent"), QStringLiteral("-o"), flac, source};
        if (ogg)
            encode.prepend(QStringLiteral("--ogg"));
        QCOMPARE(QProcess::execute(QStringLiteral("flac"), encode), 0);
        QFile f(flac);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray body = f.readAll();
        if (ogg)
            body.prepend(QByteArray("ID3\x03\x00\x00\x00\x00\x07\x68", 10) + QByteArray(1000, '\0'));
        TinyServer server(head, body);
        TXaudioPlayer p;
        QSignalSpy errors(&p, &TXaudioPlayer::OnNotifyError);
        bool ended = false;
        connect(&p, &TXaudioPlayer::OnNotifyInputState, [&](int s) {
            if (s == XA_INPUT_STATE_OPEN)
                p.Play();
        });
        connect(&p, &TXaudioPlayer::OnNotifyPlayerState, [&](int s) { ended |= s == XA_PLAYER_STATE_EOS; });
        const QString wav = dir + QStringLiteral("/stream.wav");
        QSignalSpy outputs(&p, &TXaudioPlayer::OnNotifyOutputState);
        p.OutputOpen(QStringLiteral("wav:") + wav);
        p.InputOpen(server.url());
        // A download with an end is no radio station: its end is the song's.
        QVERIFY(waitFor([&] { return ended; }, 20000));
        QCOMPARE(errors.count(), 0);
        p.OutputClose();
        QTRY_VERIFY(!outputs.isEmpty() && outputs.last().at(0).toInt() == XA_OUTPUT_STATE_CLOSED);
        const WavData ours = readWav(wav), theirs = readWav(source);
        QVERIFY(ours.ok && theirs.ok);
        QCOMPARE(ours.rate, 44100);
        QVERIFY(ours.samples == theirs.samples);
        QVERIFY(enginetest::mapped("libvorlan-flac.so"));
        if (!ogg && !ffmpegBefore)
            QVERIFY(!enginetest::mapped("libvorlan-ffmpeg.so"));
        if (ogg)
            QVERIFY(enginetest::mapped("libvorlan-ffmpeg.so"));
    }

    void aDroppedConnectionEndsTheInputWithAnError()
    {
        const QByteArray mp3 = fixtureBytes("tone-3s-mono.mp3");
        TinyServer server("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nContent-Length: " +
                              QByteArray::number(mp3.size()) + "\r\n\r\n",
                          mp3, true);
        TXaudioPlayer p;
        QSignalSpy errors(&p, &TXaudioPlayer::OnNotifyError);
        bool stopped = false, playing = false;
        connect(&p, &TXaudioPlayer::OnNotifyInputState, [&](int s) {
            if (s == XA_INPUT_STATE_OPEN)
                p.Play();
        });
        connect(&p, &TXaudioPlayer::OnNotifyPlayerState, [&](int s) {
            playing |= s == XA_PLAYER_STATE_PLAYING;
            stopped |= playing && s == XA_PLAYER_STATE_STOPPED;
        });
        p.OutputOpen(QStringLiteral("wav:") + vorlantest::tempDir() + QStringLiteral("/drop.wav"));
        QElapsedTimer t;
        t.start();
        p.InputOpen(server.url());
        QVERIFY(waitFor([&] { return stopped; }, 10000));
        QVERIFY(t.elapsed() < 5000);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().at(1).toInt(), int(XA_ERROR_CONNECTION_DROPPED));
    }

    void aStreamWithoutFramesIsRefusedBeforeItFillsTheMemory()
    {
        TinyServer server("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n", QByteArray(6 << 20, '\0'));
        TXaudioPlayer p;
        QSignalSpy nacks(&p, &TXaudioPlayer::OnNotifyNack);
        p.InputOpen(server.url());
        QVERIFY(waitFor([&] { return nacks.count() == 1; }, 15000));
        QCOMPARE(nacks.first().at(0).toInt(), int(XA_MSG_COMMAND_INPUT_OPEN));
        QCOMPARE(nacks.first().at(1).toInt(), int(XA_ERROR_INPUT_FORMAT));
    }

    void aServerThatRefusesIsANack()
    {
        TinyServer server("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n", QByteArray());
        TXaudioPlayer p;
        QSignalSpy nacks(&p, &TXaudioPlayer::OnNotifyNack);
        p.InputOpen(server.url());
        QVERIFY(waitFor([&] { return nacks.count() == 1; }, 10000));
        QCOMPARE(nacks.first().at(0).toInt(), int(XA_MSG_COMMAND_INPUT_OPEN));
    }

    void udpFramesPlay()
    {
        const QByteArray mp3 = fixtureBytes("mpeg1-layer3.mp3");
        TXaudioPlayer p;
        bool playing = false;
        connect(&p, &TXaudioPlayer::OnNotifyInputState, [&](int s) {
            if (s == XA_INPUT_STATE_OPEN)
                p.Play();
        });
        connect(&p, &TXaudioPlayer::OnNotifyPlayerState,
                [&](int s) { playing |= s == XA_PLAYER_STATE_PLAYING; });
        p.OutputOpen(QStringLiteral("wav:") + vorlantest::tempDir() + QStringLiteral("/udp.wav"));
        const quint16 port = quint16(40000 + QRandomGenerator::global()->bounded(20000));
        p.InputOpen(QStringLiteral("udp://127.0.0.1:%1").arg(port));
        QUdpSocket sender;
        // Send until the player reports it plays; the socket opens on the decoder's thread.
        QVERIFY(waitFor(
            [&] {
                for (qsizetype i = 0; i < mp3.size(); i += 1024)
                    sender.writeDatagram(mp3.mid(i, 1024), QHostAddress::LocalHost, port);
                return playing;
            },
            10000));
        p.Stop();
    }
};

VORLAN_TEST_CLASS(StreamTest)
#include "StreamTest.moc"

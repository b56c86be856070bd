// A radio station on this machine that sends its titles in ICY metadata, as real stations do, or in the tags
// of each part of a chained Ogg stream: the player shows the current title in the title lines, the hints and
// the playlist entry while the stream plays.
#include "engine/TXaudioPlayer.h"
#include "engine/XaudioEngine.h"
#include "player/MediaOpener.h"
#include "player/PlaybackController.h"
#include "player/Statistics.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistModel.h"
#include "tests/TestMain.h"
#include "tests/engine/WavFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace
{

// Sends a song over and over in blocks of MetaInt bytes, one every 10 ms. With titles, each block is
// followed by a metadata block: the title when it changes, an empty block otherwise; the title changes every
// BlocksPerTitle blocks. Without titles the stream is the song's bytes alone, an eighth of a block at a time.
class IcyStation : public QObject
{
public:
    static constexpr int MetaInt = 2048;
    static constexpr int BlocksPerTitle = 40;

    IcyStation(QByteArray audio, QList<QByteArray> titles, QByteArray contentType = "audio/mpeg")
        : m_audio(std::move(audio)), m_titles(std::move(titles))
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this, contentType] {
            QTcpSocket *s = m_server.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [this, s, contentType] {
                m_request += s->readAll();
                if (!m_request.contains("\r\n\r\n") || m_socket)
                    return;
                m_socket = s;
                const QByteArray meta = m_titles.isEmpty()
                                            ? QByteArray()
                                            : "icy-metaint: " + QByteArray::number(MetaInt) + "\r\n";
                s->write("ICY 200 OK\r\nicy-name: Test Station\r\nContent-Type: " + contentType + "\r\n" +
                         meta + "\r\n");
                m_timer.start(10);
            });
        });
        connect(&m_timer, &QTimer::timeout, this, [this] { sendBlock(); });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/live").arg(m_server.serverPort()); }
    QByteArray request() const { return m_request; }

private:
    void sendBlock()
    {
        if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
            m_timer.stop();
            return;
        }
        // A stream without titles goes slower, so each part of a short chain plays for a while.
        const int size = m_titles.isEmpty() ? MetaInt / 8 : MetaInt;
        QByteArray block;
        while (block.size() < size) {
            const QByteArray part = m_audio.mid(m_offset, size - block.size());
            block += part;
            m_offset = (m_offset + part.size()) % m_audio.size();
        }
        if (m_titles.isEmpty()) {
            m_socket->write(block);
            return;
        }
        const int title = std::min<int>(m_block / BlocksPerTitle, int(m_titles.size()) - 1);
        QByteArray meta;
        if (title != m_sentTitle) {
            meta = "StreamTitle='" + m_titles[title] + "';StreamUrl='';";
            meta.append(QByteArray((16 - meta.size() % 16) % 16, '\0'));
            m_sentTitle = title;
        }
        block += char(meta.size() / 16);
        block += meta;
        m_socket->write(block);
        ++m_block;
    }

    QTcpServer m_server;
    QTcpSocket *m_socket = nullptr;
    QTimer m_timer;
    QByteArray m_audio, m_request;
    QList<QByteArray> m_titles;
    qsizetype m_offset = 0;
    int m_block = 0;
    int m_sentTitle = -1;
};

QByteArray fixtureBytes(const char *name)
{
    QFile f(QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

constexpr auto &have = vorlantest::haveTool;

constexpr auto &run = vorlantest::runTool;

// A player that writes what it plays into WAV files in its own folder.
struct RadioPlayer {
    TXaudioPlayer player;
    PlaylistModel playlist;
    Statistics statistics;
    XaudioEngine engine{&player};
    PlaybackController controller{&engine, &playlist, &statistics};
    QString dir = vorlantest::tempDir();

    RadioPlayer()
    {
        controller.setOutputModule(2);
        controller.setOutputDir(dir);
        controller.setLoop(false);
    }
    QString shownName() const
    {
        return playlist.data(playlist.index(0, PlaylistModel::NameColumn)).toString();
    }
    // What was written, once the player stopped.
    WavData written() const
    {
        const QStringList wavs = QDir(dir).entryList({QStringLiteral("*.wav")}, QDir::Files);
        return wavs.size() == 1 ? readWav(dir + QLatin1Char('/') + wavs[0]) : WavData();
    }
};

} // namespace

class StreamTitleTest : public QObject
{
    Q_OBJECT

private slots:
    void aStationsTitlesShowWhileItPlays()
    {
        // The first title in UTF-8, the second in Latin-1: stations send either.
        const QByteArray first = QStringLiteral("Björk - Jóga").toUtf8();
        const QByteArray second = QStringLiteral("Café Trio - Zwölf").toLatin1();
        IcyStation station(fixtureBytes("sine-1k-44k-stereo.mp3"), {first, second});

        TXaudioPlayer player;
        PlaylistModel playlist;
        Statistics statistics;
        XaudioEngine engine(&player);
        PlaybackController controller(&engine, &playlist, &statistics);
        const QString dir = vorlantest::tempDir();
        controller.setOutputModule(2);
        controller.setOutputDir(dir);
        controller.setLoop(false);
        QSignalSpy hints(&controller, &PlaybackController::titleChanged);
        QStringList lines;
        connect(&controller, &PlaybackController::titleLinesChanged, this,
                [&](const QStringList &l) { lines = l; });
        auto shownName = [&] {
            return playlist.data(playlist.index(0, PlaylistModel::NameColumn)).toString();
        };

        controller.opener()->handOver(station.url());
        QCOMPARE(playlist.count(), 1);
        const QString storedLine = PlaylistFiles::vlnLine(playlist.entry(0));
        QTRY_COMPARE_WITH_TIMEOUT(controller.state(), PlayState::Playing, 10000);
        QVERIFY(station.request().contains("Icy-MetaData: 1"));

        QTRY_COMPARE_WITH_TIMEOUT(shownName(), QStringLiteral("Björk - Jóga"), 10000);
        QCOMPARE(lines.value(0), QStringLiteral("Björk - Jóga"));
        QCOMPARE(lines.value(1), station.url());
        QCOMPARE(hints.last().at(0).toString(), QStringLiteral("Björk - Jóga"));
        QCOMPARE(controller.songTitle(), QStringLiteral("Björk - Jóga"));

        // The title changes while the stream goes on.
        QTRY_COMPARE_WITH_TIMEOUT(shownName(), QStringLiteral("Café Trio - Zwölf"), 10000);
        QCOMPARE(lines.value(0), QStringLiteral("Café Trio - Zwölf"));
        QCOMPARE(hints.last().at(0).toString(), QStringLiteral("Café Trio - Zwölf"));
        QCOMPARE(controller.state(), PlayState::Playing);
        // The list keeps the address as the entry's name: a saved list does not keep a passing title.
        QCOMPARE(PlaylistFiles::vlnLine(playlist.entry(0)), storedLine);

        controller.stop();
        QTRY_COMPARE(controller.state(), PlayState::Stopped);
        QCOMPARE(shownName(), station.url());
    }

    // Each part of a chained Ogg Opus stream names its song in its own tags, as Ogg stations send them.
    void theTitlesOfAChainedOggStreamShowAsEachPartPlays()
    {
        if (!have("opusenc") || !have("sox"))
            QSKIP("needs opusenc and sox");
        const QString work = vorlantest::tempDir();
        QByteArray chain;
        const QList<QStringList> parts{
            {QStringLiteral("440"), QStringLiteral("Ann Arbor"), QStringLiteral("Morning")},
            {QStringLiteral("660"), QStringLiteral("Bo Lind"), QStringLiteral("Évening")}};
        for (int i = 0; i < parts.size(); ++i) {
            const QString wav = work + QStringLiteral("/part%1.wav").arg(i);
            const QString opus = work + QStringLiteral("/part%1.opus").arg(i);
            QVERIFY(run(QStringLiteral("sox"),
                        {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("48000"),
                         QStringLiteral("-c"), QStringLiteral("2"), QStringLiteral("-b"),
                         QStringLiteral("16"), wav, QStringLiteral("synth"), QStringLiteral("1.5"),
                         QStringLiteral("sine"), parts[i][0], QStringLiteral("vol"), QStringLiteral("0.5")}));
            QVERIFY(run(QStringLiteral("opusenc"),
                        {QStringLiteral("--quiet"), QStringLiteral("--serial"), QString::number(1000 + i),
                         QStringLiteral("--artist"), parts[i][1], QStringLiteral("--title"), parts[i][2], wav,
                         opus}));
            QFile f(opus);
            QVERIFY(f.open(QIODevice::ReadOnly));
            chain += f.readAll();
        }
        IcyStation station(chain, {}, "audio/ogg");
        RadioPlayer r;
        QSignalSpy hints(&r.controller, &PlaybackController::titleChanged);
        r.controller.opener()->handOver(station.url());
        QTRY_COMPARE_WITH_TIMEOUT(r.controller.state(), PlayState::Playing, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(r.shownName(), QStringLiteral("Ann Arbor - Morning"), 10000);
        // The first part's title shows while the first part plays, not only when the chain comes round.
        for (const QList<QVariant> &hint : hints)
            QVERIFY(hint.at(0).toString() != QStringLiteral("Bo Lind - Évening"));
        QTRY_COMPARE_WITH_TIMEOUT(r.shownName(), QStringLiteral("Bo Lind - Évening"), 10000);
        QCOMPARE(hints.last().at(0).toString(), QStringLiteral("Bo Lind - Évening"));
        // The chain goes round: the first part follows the second, and the stream plays on.
        QTRY_COMPARE_WITH_TIMEOUT(r.shownName(), QStringLiteral("Ann Arbor - Morning"), 10000);
        QCOMPARE(r.controller.state(), PlayState::Playing);

        r.controller.stop();
        QTRY_COMPARE(r.controller.state(), PlayState::Stopped);
        // The writer gives the file its length when it closes it, on the decoder's thread.
        QTRY_VERIFY_WITH_TIMEOUT(r.written().frames() > 0, 10000);
        const WavData w = r.written();
        QVERIFY(w.ok);
        QCOMPARE(w.rate, 48000);
        QCOMPARE(w.channels, 2);
        // Both tones, loud, for well over a round of the chain.
        QVERIFY2(w.frames() > 48000 * 3, qPrintable(QString::number(w.frames())));
        QVERIFY(w.rms(0) > 5000);
    }

    // AAC in ADTS frames, with the station's titles in ICY metadata, as most AAC stations send it.
    void anAacStationPlaysWithItsIcyTitles()
    {
        if (!have("ffmpeg"))
            QSKIP("needs ffmpeg");
        const QString aac = vorlantest::tempDir() + QStringLiteral("/song.aac");
        QVERIFY(
            run(QStringLiteral("ffmpeg"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                 QStringLiteral("-i"), QStringLiteral("sine=frequency=1000:duration=3:sample_rate=44100"),
                 QStringLiteral("-ac"), QStringLiteral("2"), QStringLiteral("-c:a"), QStringLiteral("aac"),
                 QStringLiteral("-b:a"), QStringLiteral("96k"), QStringLiteral("-f"), QStringLiteral("adts"),
                 aac}));
        QFile f(aac);
        QVERIFY(f.open(QIODevice::ReadOnly));
        IcyStation station(f.readAll(), {"Cleo - First", "Dara - Second"}, "audio/aacp");
        RadioPlayer r;
        r.controller.opener()->handOver(station.url());
        QTRY_COMPARE_WITH_TIMEOUT(r.controller.state(), PlayState::Playing, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(r.shownName(), QStringLiteral("Cleo - First"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(r.shownName(), QStringLiteral("Dara - Second"), 10000);
        QCOMPARE(r.controller.state(), PlayState::Playing);

        r.controller.stop();
        QTRY_COMPARE(r.controller.state(), PlayState::Stopped);
        // The writer gives the file its length when it closes it, on the decoder's thread.
        QTRY_VERIFY_WITH_TIMEOUT(r.written().frames() > 0, 10000);
        const WavData w = r.written();
        QVERIFY(w.ok);
        QCOMPARE(w.rate, 44100);
        QVERIFY2(w.frames() > 44100, qPrintable(QString::number(w.frames())));
        // The tone at its own rate; each round of the song costs the count a part of a wave.
        QVERIFY2(std::abs(w.frequency(0) - 1000) < 10, qPrintable(QString::number(w.frequency(0))));
    }
};

VORLAN_TEST_CLASS(StreamTitleTest)
#include "StreamTitleTest.moc"

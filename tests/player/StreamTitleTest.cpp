// A radio station on this machine that sends its titles in ICY metadata, as real stations do: the player
// shows the current title in the title lines, the hints and the playlist entry while the stream plays.
#include "engine/TXaudioPlayer.h"
#include "engine/XaudioEngine.h"
#include "player/MediaOpener.h"
#include "player/PlaybackController.h"
#include "player/Statistics.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistModel.h"
#include "tests/TestMain.h"

#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace
{

// Sends an MP3 in blocks of MetaInt bytes, each followed by a metadata block: the title when it changes, an
// empty block otherwise. The title changes every BlocksPerTitle blocks; one block goes out every 10 ms.
class IcyStation : public QObject
{
public:
    static constexpr int MetaInt = 2048;
    static constexpr int BlocksPerTitle = 40;

    IcyStation(QByteArray audio, QList<QByteArray> titles)
        : m_audio(std::move(audio)), m_titles(std::move(titles))
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = m_server.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [this, s] {
                m_request += s->readAll();
                if (!m_request.contains("\r\n\r\n") || m_socket)
                    return;
                m_socket = s;
                s->write("ICY 200 OK\r\nicy-name: Test Station\r\nContent-Type: audio/mpeg\r\nicy-metaint: " +
                         QByteArray::number(MetaInt) + "\r\n\r\n");
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
        QByteArray block;
        while (block.size() < MetaInt) {
            block += m_audio.mid(m_offset, MetaInt - block.size());
            m_offset = (m_offset + block.size()) % m_audio.size();
            if (block.size() < MetaInt)
                m_offset = 0;
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
};

VORLAN_TEST_CLASS(StreamTitleTest)
#include "StreamTitleTest.moc"

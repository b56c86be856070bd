// Decodes one file to a WAV file through the player's decoder component, as the player does, and prints the
// wall and CPU seconds it took, the most memory the process held (resident) and whether it mapped the FFmpeg
// module: `vorlan-decode-bench [--eq] INPUT OUTPUT.wav`.
#include "engine/EqualizerFile.h"
#include "engine/TXaudioPlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <ctime>

namespace
{

// The peak resident size, in kB.
long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

bool ffmpegMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("vorlan-ffmpeg");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool eq = args.removeAll(QStringLiteral("--eq")) > 0;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vorlan-decode-bench [--eq] INPUT OUTPUT.wav\n");
        return 2;
    }
    TXaudioPlayer player;
    // As the player does while a song plays: the position and time wait for the owner instead of waking it.
    player.setQuietProgress(true);
    if (eq) {
        // A typical listening curve: bass and treble lifted, mids cut a little.
        EqualizerSettings s;
        s.left = s.right = {40, 30, 15, 0, -10, -10, 0, 15, 25, 30, 30, 30};
        const XA_EqualizerInfo info = s.toEqualizerInfo();
        player.SetCodecEqualizer(&info);
    }
    int result = 1;
    QElapsedTimer wall;
    std::clock_t cpu0 = 0;
    double seconds = 0;
    QObject::connect(&player, &TXaudioPlayer::OnNotifyInputDuration, [&](quint32 d) { seconds = d; });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyInputState, [&](int s) {
        if (s == XA_INPUT_STATE_OPEN)
            player.Play();
    });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyNack, [&](quint8 cmd, qint16 code) {
        std::fprintf(stderr, "refused command %d: %s\n", cmd, qPrintable(player.ErrorString(code)));
        app.exit(1);
    });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyPlayerState, [&](int s) {
        if (s == XA_PLAYER_STATE_EOS) {
            player.OutputClose();
            player.Ping(1);
        }
    });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyPong, [&](quint32) {
        const double cpu = double(std::clock() - cpu0) / CLOCKS_PER_SEC;
        std::printf("wall=%.4f cpu=%.4f audio=%.0f rss_kb=%ld ffmpeg=%d\n", wall.elapsed() / 1000.0, cpu,
                    seconds, peakResidentKb(), ffmpegMapped() ? 1 : 0);
        result = 0;
        app.exit(0);
    });
    wall.start();
    cpu0 = std::clock();
    player.OutputOpen(QStringLiteral("wav:") + args[1]);
    player.InputOpen(args[0]);
    app.exec();
    return result;
}

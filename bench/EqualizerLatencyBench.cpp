// How soon an equalizer change is heard: plays a 1 kHz tone through the sound server while `parec` records
// what the server plays (the monitor of its sink), moves the "1K" slider of the equalizer window up and down,
// and measures from each move to the moment the recording brings the first changed sample.
// `vorlan-eq-latency-bench TONE.mp3` prints the slowest and the middle of 6 moves in milliseconds.
#include "engine/EqualizerWindow.h"
#include "engine/TXaudioPlayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorlan-eq-latency-bench TONE.mp3\n");
        return 2;
    }
    TXaudioPlayer player;
    EqualizerWindow window(&player);
    window.setEqualizerOn(true);
    QObject::connect(&player, &TXaudioPlayer::OnNotifyInputState, [&](int s) {
        if (s == XA_INPUT_STATE_OPEN)
            player.Play();
    });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyNack, [&](quint8 cmd, qint16 code) {
        std::fprintf(stderr, "refused command %d: %s\n", cmd, qPrintable(player.ErrorString(code)));
        app.exit(1);
    });

    QProcess recorder;
    recorder.start(QStringLiteral("parec"),
                   {QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                    QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=10"),
                    QStringLiteral("--device=@DEFAULT_MONITOR@")});
    if (!recorder.waitForStarted()) {
        std::fprintf(stderr, "parec does not start\n");
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    enum Phase { Settling, WaitingUp, Boosted, WaitingDown, Plain } phase = Settling;
    qint64 phaseStart = 0, movedAt = 0;
    int settledPeak = 0, boostedPeak = 0, windowPeak = 0, windowFrames = 0;
    std::vector<double> delays;
    QByteArray pending;
    auto move = [&](int value) {
        movedAt = clock.elapsed();
        window.LSlider[5]->setValue(value);
        window.RSlider[5]->setValue(value);
    };
    QObject::connect(&recorder, &QProcess::readyReadStandardOutput, [&] {
        pending += recorder.readAllStandardOutput();
        const qint64 now = clock.elapsed();
        const qsizetype frames = pending.size() / 4;
        for (qsizetype i = 0; i < frames; ++i) {
            int16_t left = 0;
            std::memcpy(&left, pending.constData() + i * 4, 2);
            const int a = std::abs(int(left));
            windowPeak = std::max(windowPeak, a);
            // Windows of two periods of the tone: each holds its peak.
            if (++windowFrames < 88)
                continue;
            const int peak = windowPeak;
            windowPeak = windowFrames = 0;
            switch (phase) {
            case Settling:
            case Plain:
                if (peak < 1000) {
                    phaseStart = now;
                } else if (now - phaseStart > 700) {
                    settledPeak = peak;
                    phase = WaitingUp;
                    move(80);
                }
                break;
            case WaitingUp:
                if (peak > settledPeak * 16 / 10) {
                    delays.push_back(double(now - movedAt));
                    phase = Boosted;
                    phaseStart = now;
                }
                break;
            case Boosted:
                if (now - phaseStart > 700) {
                    boostedPeak = peak;
                    phase = WaitingDown;
                    move(0);
                }
                break;
            case WaitingDown:
                if (peak < boostedPeak * 6 / 10) {
                    delays.push_back(double(now - movedAt));
                    phase = Plain;
                    phaseStart = now;
                }
                break;
            }
        }
        pending.remove(0, frames * 4);
        if (delays.size() >= 6)
            app.exit(0);
    });
    QTimer::singleShot(60000, &app, [&] {
        std::fprintf(stderr, "no change heard within a minute\n");
        app.exit(1);
    });
    player.SetOutputName(QStringLiteral("/dev/dsound/0"));
    player.InputOpen(QString::fromLocal8Bit(argv[1]));
    const int result = app.exec();
    player.Stop();
    recorder.kill();
    recorder.waitForFinished();
    if (result != 0 || delays.size() < 6)
        return 1;
    std::sort(delays.begin(), delays.end());
    std::printf("max=%.0f median=%.0f\n", delays.back(), (delays[2] + delays[3]) / 2);
    return 0;
}

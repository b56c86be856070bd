#pragma once
// Helpers of the engine tests that drive a real player: fixtures, waiting for states, playing into a WAV
// file.
#include "engine/TXaudioPlayer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTest>

// A QTRY that returns a bool instead of failing the test from a helper.
#define QTRY_VERIFY_WITH_TIMEOUT_BOOL(expr, timeout)                                                         \
    do {                                                                                                     \
        QElapsedTimer t__;                                                                                   \
        t__.start();                                                                                         \
        while (!(expr) && t__.elapsed() < (timeout))                                                         \
            QTest::qWait(5);                                                                                 \
    } while (0)

namespace enginetest
{

inline QString fixture(const char *name)
{
    return QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name);
}

// The process has a library mapped whose path holds name: the engine and the modules it loads run in the
// test's own process.
inline bool mapped(const char *name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name);
}

// Waits until the player reports the given player state; false on timeout.
inline bool waitForState(TXaudioPlayer &p, int state, int ms = 20000)
{
    bool reached = false;
    auto c = QObject::connect(&p, &TXaudioPlayer::OnNotifyPlayerState, [&](int s) { reached |= s == state; });
    QTRY_VERIFY_WITH_TIMEOUT_BOOL(reached, ms);
    QObject::disconnect(c);
    return reached;
}

// Plays a file to its end into a WAV file with the player's current settings.
inline bool playToWav(TXaudioPlayer &p, const QString &input, const QString &wav)
{
    bool opened = false, ended = false, failed = false;
    auto c1 = QObject::connect(&p, &TXaudioPlayer::OnNotifyInputState, [&](int s) {
        if (s == XA_INPUT_STATE_OPEN) {
            opened = true;
            p.Play();
        }
    });
    auto c2 = QObject::connect(&p, &TXaudioPlayer::OnNotifyPlayerState, [&](int s) {
        ended |= s == XA_PLAYER_STATE_EOS;
        failed |= s == XA_PLAYER_STATE_STOPPED && opened;
    });
    auto c3 = QObject::connect(&p, &TXaudioPlayer::OnNotifyNack, [&](quint8, qint16) { failed = true; });
    p.OutputOpen(QStringLiteral("wav:") + wav);
    p.InputOpen(input);
    QTRY_VERIFY_WITH_TIMEOUT_BOOL(ended || failed, 30000);
    bool closed = false;
    auto c4 = QObject::connect(&p, &TXaudioPlayer::OnNotifyAck,
                               [&](quint8 cmd) { closed |= cmd == XA_MSG_COMMAND_OUTPUT_CLOSE; });
    p.OutputClose();
    QTRY_VERIFY_WITH_TIMEOUT_BOOL(closed, 5000);
    for (auto c : {c1, c2, c3, c4})
        QObject::disconnect(c);
    return ended && !failed;
}

} // namespace enginetest

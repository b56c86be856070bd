#pragma once
// How long the list waits before it goes on after an entry ended. A stream that ends moments after it began
// (a server that answers and hangs up at once) would otherwise be fetched again hundreds of times a second
// with Loop on; its ends are paced, the wait doubling while they keep coming quickly.
#include <QElapsedTimer>

class EndPacer
{
public:
    // Shorter than this is an end that came at once.
    static constexpr int QuickEndMs = 5000;
    static constexpr int FirstWaitMs = 1000;
    static constexpr int LongestWaitMs = 30000;

    // Something began to play.
    void started() { m_playing.start(); }
    // The wait before the next entry after an end (of a stream when stream is true); 0 for at once.
    int waitAfterEnd(bool stream);

private:
    QElapsedTimer m_playing;
    int m_quickEnds = 0;
};

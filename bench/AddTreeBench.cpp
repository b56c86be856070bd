// Adds every audio file below a folder to an empty playlist the way the add-files window does (the folder
// walk on its worker thread, entries appended on the main thread in batches), then prints the number of
// entries, how long it took, and the longest time the main thread did not get to its events (what a window
// would feel).
//   vorlan-addtree-bench <folder>
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistTreeAdder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    PlaylistModel playlist;
    PlaylistTreeAdder adder(&playlist);
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    QObject::connect(&adder, &PlaylistTreeAdder::finished, &app, [&](int count) {
        std::printf("entries=%d seconds=%.4f longest_stall_ms=%.1f\n", count, clock.nsecsElapsed() / 1e9,
                    longestStall / 1e6);
        app.quit();
    });
    clock.start();
    sinceTick.start();
    ticker.start();
    if (!adder.start(QString::fromLocal8Bit(argv[1])))
        return 1;
    return app.exec();
}

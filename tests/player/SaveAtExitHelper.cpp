// vorlan-save-helper: the player's save at exit, alone, so a test can kill it at any moment of it.
//   vorlan-save-helper save <home> <version>   writes the files the player writes at exit, in its order,
//                                              with contents made from version; prints "saving" first,
//                                              then "saved" and the microseconds the save took
//   vorlan-save-helper start <home>            what a start does to the files of a save that was cut off
#include "engine/EqualizerFile.h"
#include "platform/TextFile.h"
#include "player/Settings.h"
#include "player/Statistics.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString home = args.at(2) + QLatin1Char('/');
    if (args.at(1) == QLatin1String("start"))
        return TextFile::removeUnfinishedSaves(home, {Statistics::FileName, QStringLiteral("Vorlan.vln"),
                                                      QStringLiteral("Equalizer.cfg"), Settings::FileName}) >=
                       0
                   ? 0
                   : 1;
    if (args.size() < 4 || args.at(1) != QLatin1String("save"))
        return 2;
    const QString version = args.at(3);
    const int n = version == QLatin1String("old") ? 3000 : 4000;

    // What a session leaves to save: a list, its statistics, an equalizer and settings.
    PlaylistModel playlist;
    QStringList lines;
    QList<StatisticsEntry> entries;
    for (int i = 0; i < n; ++i) {
        const QString path = QStringLiteral("/music/%1/song%2.mp3").arg(version).arg(i);
        lines << QStringLiteral("%1\tSong %2 %3\t03:%4\t%5")
                     .arg(i + 1)
                     .arg(version)
                     .arg(i)
                     .arg(i % 60, 2, 10, QLatin1Char('0'))
                     .arg(path);
        entries << StatisticsEntry{QStringLiteral("Song %1 %2").arg(version).arg(i), i % 7 + 1, path, {}};
    }
    PlaylistFiles::appendVlnLines(playlist, lines);
    Statistics statistics;
    statistics.setEntries(entries);
    EqualizerSettings equalizer;
    for (int i = 0; i < EqualizerSettings::SliderCount; ++i)
        equalizer.left[i] = equalizer.right[i] = (n / 1000 + i) % 80;
    Settings settings;
    settings.path1 = QStringLiteral("/music/") + version;
    settings.loop = n % 2;

    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    // The order of the player's save at exit.
    bool ok = statistics.save(home + Statistics::FileName);
    ok = PlaylistFiles::writeVLN(playlist, home + QStringLiteral("Vorlan.vln")) && ok;
    ok = equalizer.save(home + QStringLiteral("Equalizer.cfg")) && ok;
    ok = settings.save(home + Settings::FileName) && ok;
    std::printf(ok ? "saved %lld\n" : "failed\n", clock.nsecsElapsed() / 1000);
    return ok ? 0 : 1;
}

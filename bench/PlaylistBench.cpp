// The playlist with 10,000 entries: reading and writing an M3U list of them, reading them as PLS, a 64 MiB
// one-line list (time and added peak memory), selecting all of them in the
// playlist window (with the selected total and the repaint), sorting them and exporting them as HTML, and the
// slowest keystroke of find as you type and of the window's filter field on 100,000 entries. Each measure is
// the best of five runs, in milliseconds, printed as a BENCH line.
//   vorlan-playlist-bench <an MP3 file to copy>
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistFilterBar.h"
#include "playlist/PlaylistFinder.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace
{

constexpr int Entries = 10000;

double bestOf(int runs, const std::function<void()> &prepare, const std::function<void()> &work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer clock;
        clock.start();
        work();
        best = std::min(best, clock.nsecsElapsed() / 1e6);
    }
    return best;
}

// The peak resident memory of this process so far.
long peakKiB()
{
    struct rusage usage = {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void report(const char *name, double ms)
{
    std::printf("BENCH %s value=%.2f unit=ms\n", name, ms);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <an MP3 file>\n", argv[0]);
        return 2;
    }
    QFile fixture(QString::fromLocal8Bit(argv[1]));
    if (!fixture.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray audio = fixture.readAll();

    QTemporaryDir dir;
    QStringList lines;
    for (int i = 0; i < Entries; ++i) {
        const QString name =
            QStringLiteral("artist%1/track%2.mp3").arg(i / 100, 3, 10, QLatin1Char('0')).arg(i);
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(audio) != audio.size())
            return 1;
        lines << name;
    }
    const QString list = dir.filePath(QStringLiteral("list.m3u"));
    {
        QFile out(list);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        out.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    }

    PlaylistModel model;
    PlaylistWindow window(&model);
    window.show();
    QCoreApplication::processEvents();

    report("playlist_m3u_load", bestOf(
                                    5, [] {}, [&] { PlaylistFiles::readM3U(model, list); }));
    if (model.count() != Entries) {
        std::fprintf(stderr, "the list loaded %d entries\n", model.count());
        return 1;
    }
    // The same list as PLS, with the titles and lengths such lists carry: as fast as the M3U.
    const QString pls = dir.filePath(QStringLiteral("list.pls"));
    {
        QFile out(pls);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        QByteArray text = "[playlist]\r\n";
        for (int i = 0; i < Entries; ++i) {
            const QByteArray n = QByteArray::number(i + 1);
            text += "File" + n + "=" + lines[i].toUtf8() + "\r\nTitle" + n + "=Artist " + n + " - Title " +
                    n + "\r\nLength" + n + "=" + QByteArray::number(180 + i % 60) + "\r\n";
        }
        text += "NumberOfEntries=" + QByteArray::number(Entries) + "\r\nVersion=2\r\n";
        out.write(text);
    }
    report("playlist_pls_load", bestOf(
                                    5, [] {}, [&] { PlaylistFiles::readPLS(model, pls); }));
    if (model.count() != Entries) {
        std::fprintf(stderr, "the PLS list loaded %d entries\n", model.count());
        return 1;
    }
    // One line of 64 MiB (a damaged or hostile list): read in about the memory of its bytes.
    {
        const QString oneLine = dir.filePath(QStringLiteral("line.m3u"));
        QFile out(oneLine);
        const QByteArray chunk(1 << 20, 'a');
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        for (int i = 0; i < 64; ++i)
            if (out.write(chunk) != chunk.size())
                return 1;
        out.close();
        const long before = peakKiB();
        report("playlist_m3u_64mb_line_load", bestOf(
                                                  1, [] {}, [&] { PlaylistFiles::readM3U(model, oneLine); }));
        std::printf("BENCH playlist_m3u_64mb_line_peak value=%.1f unit=MiB\n", (peakKiB() - before) / 1024.0);
        QFile::remove(oneLine);
    }
    PlaylistFiles::readM3U(model, list);
    const QString saved = dir.filePath(QStringLiteral("saved.m3u"));
    report("playlist_m3u_save", bestOf(
                                    5, [] {}, [&] { PlaylistFiles::writeM3U(model, saved); }));

    report("playlist_select_all", bestOf(
                                      5,
                                      [&] {
                                          model.unselectAll();
                                          QCoreApplication::processEvents();
                                      },
                                      [&] {
                                          window.SelectClick(PlaylistWindow::SelectAll);
                                          QCoreApplication::processEvents();
                                      }));
    if (model.selectedCount() != Entries)
        return 1;

    report("playlist_sort", bestOf(
                                5, [&] { model.shuffle(); },
                                [&] {
                                    window.SORTClick();
                                    QCoreApplication::processEvents();
                                }));

    const QString page = dir.filePath(QStringLiteral("list.html"));
    report("playlist_html_export", bestOf(
                                       5, [] {}, [&] { window.exportHtml(page); }));

    // Find as you type on 100,000 entries: folding the list as the window opens, and the slowest keystroke of
    // a search typed letter by letter, against reading the same list from its file.
    {
        constexpr int Many = 100000;
        static const char *const names[] = {"Beyonc\u00e9 - Halo", "Bj\u00f6rk - J\u00f3ga", "Bach - Air",
                                            "Sigur R\u00f3s - Hopp\u00edpolla"};
        QByteArray bytes;
        for (int i = 0; i < Many; ++i)
            bytes += QStringLiteral("%1\t%2 %1\t03:21\t/music/Artist %3/Album %4/%1.mp3\r\n")
                         .arg(i + 1)
                         .arg(QString::fromUtf8(names[i % 4]))
                         .arg(i % 97)
                         .arg(i % 13)
                         .toUtf8();
        const QString big = dir.filePath(QStringLiteral("big.vln"));
        QFile out(big);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            return 1;
        out.close();
        PlaylistModel many;
        const double read = bestOf(
            3, [] {}, [&] { PlaylistFiles::readVLN(many, big); });
        if (many.count() != Many)
            return 1;
        double slowest = 0, opening = 1e300;
        for (int round = 0; round < 3; ++round) {
            // The window folds the list when it opens, before the first key.
            PlaylistFinder finder(&many);
            QElapsedTimer open;
            open.start();
            finder.find(QString());
            opening = std::min(opening, open.nsecsElapsed() / 1e6);
            const QString typed = QStringLiteral("beyonce halo 9");
            for (int n = 1; n <= typed.size(); ++n) {
                QElapsedTimer clock;
                clock.start();
                const QList<int> rows = finder.find(typed.left(n));
                slowest = std::max(slowest, clock.nsecsElapsed() / 1e6);
                if (n == typed.size() && rows.isEmpty())
                    return 1;
            }
        }
        // The playlist window's filter field: a keystroke narrows the rows the window shows and paints them.
        double filterSlowest = 0;
        {
            PlaylistWindow window(&many);
            window.show();
            QApplication::processEvents();
            window.FilterBar->open();
            const QString typed = QStringLiteral("beyonce halo 9");
            for (int n = 1; n <= typed.size(); ++n) {
                QElapsedTimer clock;
                clock.start();
                window.FilterBar->setText(typed.left(n));
                window.repaint();
                filterSlowest = std::max(filterSlowest, clock.nsecsElapsed() / 1e6);
            }
            if (window.FilterBar->shownCount() <= 0)
                return 1;
            // Emptied again: every row comes back.
            QElapsedTimer clock;
            clock.start();
            window.FilterBar->setText(QString());
            window.repaint();
            filterSlowest = std::max(filterSlowest, clock.nsecsElapsed() / 1e6);
        }
        report("playlist_filter_keystroke_100k", filterSlowest);
        report("playlist_find_open_100k", opening);
        report("playlist_find_keystroke_100k", slowest);
        std::printf("BENCH playlist_find_keystroke_vs_read ours=%.4f peer=%.4f ratio=%.3f "
                    "peer_name=reading-the-list\n",
                    slowest / 1000, read / 1000, slowest / read);
        QFile::remove(big);
    }
    return 0;
}

#include "playlist/TFileIterator.h"
#include "platform/FileName.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistTreeAdder.h"
#include "tests/TestMain.h"
#include "tests/playlist/MpegTestFiles.h"
#include "tests/playlist/TreeFiles.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Records what the events saw; safe to read after the walk ended.
struct Recorder {
    std::mutex mutex;
    QStringList events;
    QStringList added;
    bool acceptWasFalseOnEntry = false;
    QList<TFileDetails> details;
    QList<QThread *> threads;

    void attach(TFileIterator &it, std::function<bool(const QString &)> accept = {})
    {
        it.OnActivate = [this](TFileIterator &) { note(QStringLiteral("activate")); };
        it.OnTerminate = [this](TFileIterator &) { note(QStringLiteral("terminate")); };
        it.OnAddFileQuery = [this, accept](TFileIterator &, const QString &name, const TFileDetails &,
                                           bool &ok) {
            if (!ok)
                acceptWasFalseOnEntry = true;
            if (accept)
                ok = accept(name);
            note(QStringLiteral("query"));
        };
        it.OnAddFile = [this](TFileIterator &, const QString &name, const TFileDetails &d) {
            std::lock_guard<std::mutex> lock(mutex);
            added << name;
            details << d;
            threads << QThread::currentThread();
        };
    }
    void note(const QString &event)
    {
        std::lock_guard<std::mutex> lock(mutex);
        events << event;
        threads << QThread::currentThread();
    }
};

bool isAudioName(const QString &name)
{
    return name.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".mp2"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".mpg"), Qt::CaseInsensitive);
}

// An iterator whose walk blocks in its first OnAddFile until released, run on its own thread.
struct BlockedWalk {
    TFileIterator it;
    QSemaphore entered;
    QSemaphore release;
    QStringList added;
    QPointer<TFileIteratorThread> thread;

    explicit BlockedWalk(const QString &root)
    {
        it.setRootFolder(root);
        it.OnAddFile = [this](TFileIterator &, const QString &name, const TFileDetails &) {
            if (added.isEmpty()) {
                entered.release();
                release.acquire();
            }
            added << name;
        };
        thread = new TFileIteratorThread(&it);
        entered.acquire();
    }
    void finish()
    {
        release.release();
        if (thread)
            thread->wait();
    }
};

} // namespace

class TFileIteratorTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultsAndPlainOptions();
    void refusalsWhileRunningAndStop();
    void executeWithoutHandlersDoesNothing();
    void walksDepthFirstInNameOrderSkippingDotFolders();
    void optionsChangeNamesDepthAndDetails();
    void queryDecidesWhatIsAdded();
    void threadRaisesEventsOffTheCallerAndFreesItself();
    void secondThreadOnABusyIteratorIsRefused();
    void survivesLoopsUnreadableFoldersAndOddEntries();
    void deepAndWideTrees();
    void aThrowingHandlerEndsTheWalkNotTheProgram();

    void adderEndsLikeAddingOneByOne();
    void adderHandsBatchesInOrderAndCounts();
    void adderRefusesASecondStartAndStops();
    void adderDestroyedDuringAWalkStopsIt();
    void adderStoppedAsItStartsWalksNoFurther();
    void adderStartedAgainWhenItFinishesRunsToTheEnd();
};

void TFileIteratorTest::defaultsAndPlainOptions()
{
    TFileIterator it;
    QCOMPARE(it.RootFolder(), QStringLiteral("/"));
    QVERIFY(it.isIdle());
    QCOMPARE(it.Options(),
             unsigned(TFileIterator::fiPath | TFileIterator::fiDetails | TFileIterator::fiRecurseFolders));
    it.setRootFolder(QStringLiteral("/music"));
    QCOMPARE(it.RootFolder(), QStringLiteral("/music"));
    // Stop on an idle iterator changes nothing.
    it.Stop();
    QVERIFY(it.state() == TFileIterator::RunState::Idle);
}

void TFileIteratorTest::refusalsWhileRunningAndStop()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeWideTree(root, 30, 10);
    BlockedWalk walk(root);
    QVERIFY(walk.it.state() == TFileIterator::RunState::Running);

    try {
        walk.it.Execute();
        QFAIL("a second Execute must be refused");
    } catch (const EFileIteratorError &e) {
        QCOMPARE(e.message(),
                 QStringLiteral("Iterator is not available at the moment. Please call later, but do call"));
        QCOMPARE(QString::fromStdString(e.what()), e.message());
    }
    try {
        walk.it.setRootFolder(QStringLiteral("/elsewhere"));
        QFAIL("changing the root folder of a running walk must be refused");
    } catch (const EFileIteratorError &e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot change options on fly. Try later"));
    }
    QCOMPARE(walk.it.RootFolder(), root);
    // Options are a plain property, and a loading owner may set the root.
    walk.it.setOptions(TFileIterator::fiPath);
    QCOMPARE(walk.it.Options(), unsigned(TFileIterator::fiPath));
    walk.it.setLoading(true);
    walk.it.setRootFolder(root);
    walk.it.setLoading(false);

    walk.it.Stop();
    QVERIFY(walk.it.state() == TFileIterator::RunState::StopRequested);
    walk.finish();
    // The walk ended at the next entry: only the file being handled when Stop came was added.
    QCOMPARE(walk.added.size(), 1);
    QVERIFY(walk.it.isIdle());
    walk.it.setRootFolder(QStringLiteral("/elsewhere"));
    QCOMPARE(walk.it.RootFolder(), QStringLiteral("/elsewhere"));
}

void TFileIteratorTest::executeWithoutHandlersDoesNothing()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeSmallTree(root);
    TFileIterator it;
    it.setRootFolder(root);
    int calls = 0;
    it.OnActivate = [&](TFileIterator &) { ++calls; };
    it.OnTerminate = [&](TFileIterator &) { ++calls; };
    it.Execute();
    QCOMPARE(calls, 0);
    QVERIFY(it.isIdle());
    // The query alone is enough to walk.
    it.OnAddFileQuery = [&](TFileIterator &, const QString &, const TFileDetails &, bool &) { ++calls; };
    it.Execute();
    QCOMPARE(calls, 2 + 11);
}

void TFileIteratorTest::walksDepthFirstInNameOrderSkippingDotFolders()
{
    const QString root = vorlantest::tempDir();
    const QStringList expected = treefiles::makeSmallTree(root);
    TFileIterator it;
    Recorder rec;
    rec.attach(it, isAudioName);
    // One trailing slash of the root is dropped: paths carry a single slash.
    it.setRootFolder(root + QLatin1Char('/'));
    it.Execute();
    QCOMPARE(rec.added, expected);
    QCOMPARE(rec.events.first(), QStringLiteral("activate"));
    QCOMPARE(rec.events.last(), QStringLiteral("terminate"));
    // Every file of the walk was asked about: nine audio files, the text, the picture; none of ".hidden".
    QCOMPARE(rec.events.count(QStringLiteral("query")), 11);
    QVERIFY(!rec.acceptWasFalseOnEntry);
}

void TFileIteratorTest::optionsChangeNamesDepthAndDetails()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeSmallTree(root);
    QVERIFY(QFile::setPermissions(root + QStringLiteral("/a.mp3"), QFile::ReadOwner | QFile::ReadGroup));

    TFileIterator flat;
    Recorder rec;
    rec.attach(flat, isAudioName);
    flat.setRootFolder(root);
    flat.setOptions(TFileIterator::fiDetails);
    flat.Execute();
    // Names only, and no sub-folders.
    QCOMPARE(rec.added,
             (QStringList{QStringLiteral(".dotfile.mp3"), QStringLiteral("a.mp3"), QStringLiteral("B.MP3"),
                          QStringLiteral("c.Mp2"), QStringLiteral("d.mpg")}));
    const QByteArray plain = treefiles::fixture("mpeg1-layer3.mp3");
    QCOMPARE(rec.details[0].Size, int64_t(plain.size()));
    QCOMPARE(rec.details[0].Attributes, 0x02u); // hidden by its dot
    QCOMPARE(rec.details[1].Attributes, 0x01u); // read-only
    QCOMPARE(rec.details[2].Attributes, 0x20u); // archive
    // A DOS stamp of this year: the year field counts from 1980.
    const int year = 1980 + (uint32_t(rec.details[2].Time) >> 25);
    QCOMPARE(year, QDate::currentDate().year());

    TFileIterator bare;
    Recorder none;
    none.attach(bare, isAudioName);
    bare.setRootFolder(root);
    bare.setOptions(TFileIterator::fiPath | TFileIterator::fiRecurseFolders);
    bare.Execute();
    QCOMPARE(none.added.size(), 9);
    QCOMPARE(none.details[0].Size, int64_t(0)); // no details asked for
    QCOMPARE(none.details[0].Time, 0);
}

void TFileIteratorTest::queryDecidesWhatIsAdded()
{
    const QString root = vorlantest::tempDir();
    const QStringList expected = treefiles::makeSmallTree(root);
    TFileIterator it;
    it.setRootFolder(root);
    QStringList added;
    it.OnAddFileQuery = PlaylistTreeAdder::IteratorAddFileQuery;
    it.OnAddFile = [&](TFileIterator &, const QString &name, const TFileDetails &) { added << name; };
    it.Execute();
    // The add-files window's rule: existing files with an audio extension in any case, ".MPG" too.
    QCOMPARE(added, expected);
}

void TFileIteratorTest::threadRaisesEventsOffTheCallerAndFreesItself()
{
    const QString root = vorlantest::tempDir();
    const QStringList expected = treefiles::makeSmallTree(root);
    TFileIterator it;
    Recorder rec;
    rec.attach(it, isAudioName);
    it.setRootFolder(root);
    QPointer<TFileIteratorThread> thread = new TFileIteratorThread(&it);
    QTRY_VERIFY_WITH_TIMEOUT(thread.isNull(), 10000);
    QCOMPARE(rec.added, expected);
    for (QThread *t : std::as_const(rec.threads))
        QVERIFY(t != QThread::currentThread());
    QCOMPARE(rec.events.last(), QStringLiteral("terminate"));
    QVERIFY(it.isIdle());
}

void TFileIteratorTest::secondThreadOnABusyIteratorIsRefused()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeWideTree(root, 5, 5);
    BlockedWalk walk(root);
    auto *second = new TFileIteratorThread(&walk.it);
    QSignalSpy refused(second, &TFileIteratorThread::refused);
    QTRY_COMPARE_WITH_TIMEOUT(refused.size(), 1, 10000);
    QCOMPARE(refused.first().first().toString(), EFileIteratorError::BusyMessage);
    walk.finish();
    QCOMPARE(walk.added.size(), 5);
}

void TFileIteratorTest::survivesLoopsUnreadableFoldersAndOddEntries()
{
    const QString root = vorlantest::tempDir();
    const QStringList expected = treefiles::makeSmallTree(root);
    const QByteArray r = QFile::encodeName(root);
    // Links back up the tree and to itself, a link to the same folder twice, a dangling link with an audio
    // name, a FIFO with an audio name, an unreadable folder and a name that is not UTF-8.
    QVERIFY(::symlink(r.constData(), (r + "/sub1/up").constData()) == 0);
    QVERIFY(::symlink("..", (r + "/sub1/deeper/parent").constData()) == 0);
    QVERIFY(::symlink("loop", (r + "/loop").constData()) == 0);
    QVERIFY(::symlink((r + "/Sub2").constData(), (r + "/zlink").constData()) == 0);
    QVERIFY(::symlink("/nowhere/gone.mp3", (r + "/dangling.mp3").constData()) == 0);
    QVERIFY(::mkfifo((r + "/pipe.mp3").constData(), 0600) == 0);
    treefiles::put(root + QStringLiteral("/locked/secret.mp3"), treefiles::fixture());
    QVERIFY(::chmod((r + "/locked").constData(), 0) == 0);
    const int odd = ::open((r + "/odd\xff\xfe.mp3").constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(odd >= 0);
    ::close(odd);

    TFileIterator it;
    it.setRootFolder(root);
    QStringList added;
    it.OnAddFileQuery = PlaylistTreeAdder::IteratorAddFileQuery;
    it.OnAddFile = [&](TFileIterator &, const QString &name, const TFileDetails &) { added << name; };
    QElapsedTimer clock;
    clock.start();
    it.Execute();
    QVERIFY(clock.elapsed() < 10000);
    ::chmod((r + "/locked").constData(), 0700);

    // Every real file once: the links lead to folders already walked, so nothing comes twice.
    for (const QString &path : expected)
        QCOMPARE(added.count(path), 1);
    QVERIFY(!added.contains(root + QStringLiteral("/dangling.mp3")));
    QVERIFY(!added.contains(root + QStringLiteral("/pipe.mp3")));
    // The locked folder is skipped where the system refuses to list it (root may list it anyway).
    const bool lockedReadable = ::geteuid() == 0;
    QCOMPARE(added.contains(root + QStringLiteral("/locked/secret.mp3")), lockedReadable);
    // A name that is not UTF-8 comes as Latin-1 text that names the same file again.
    QVERIFY(added.contains(root + QString::fromLatin1("/odd\xff\xfe.mp3")));
    for (const QString &path : std::as_const(added)) {
        struct stat st;
        QVERIFY2(::stat(FileName::encode(path).constData(), &st) == 0 && S_ISREG(st.st_mode),
                 qPrintable(path));
    }
    ::unlink((r + "/odd\xff\xfe.mp3").constData());
}

void TFileIteratorTest::deepAndWideTrees()
{
    const QString root = vorlantest::tempDir();
    // 150 levels deep: paths of some 1,000 bytes.
    QString deep = root;
    for (int i = 0; i < 150; ++i)
        deep += QStringLiteral("/lvl");
    QVERIFY(treefiles::put(deep + QStringLiteral("/bottom.mp3"), treefiles::fixture()));
    const QStringList wide = treefiles::makeWideTree(root + QStringLiteral("/w"), 300, 300);

    TFileIterator it;
    it.setRootFolder(root);
    QStringList added;
    it.OnAddFileQuery = PlaylistTreeAdder::IteratorAddFileQuery;
    it.OnAddFile = [&](TFileIterator &, const QString &name, const TFileDetails &) { added << name; };
    it.Execute();
    QCOMPARE(added, QStringList{deep + QStringLiteral("/bottom.mp3")} + wide);

    // The file system root walks with single slashes.
    TFileIterator top;
    top.setOptions(TFileIterator::fiPath);
    top.setRootFolder(QStringLiteral("/"));
    QString first;
    top.OnAddFile = [&](TFileIterator &sender, const QString &name, const TFileDetails &) {
        first = name;
        sender.Stop();
    };
    top.Execute();
    QVERIFY(first.startsWith(QLatin1Char('/')) && !first.startsWith(QStringLiteral("//")));
}

void TFileIteratorTest::aThrowingHandlerEndsTheWalkNotTheProgram()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeWideTree(root, 20, 5);
    TFileIterator it;
    it.setRootFolder(root);
    QStringList events;
    int added = 0;
    QString throwIn = QStringLiteral("add");
    const auto maybeThrow = [&](const QString &where) {
        if (where == throwIn)
            throw std::runtime_error("handler failed");
    };
    it.OnActivate = [&](TFileIterator &) {
        events << QStringLiteral("activate");
        maybeThrow(QStringLiteral("activate"));
    };
    it.OnAddFile = [&](TFileIterator &, const QString &, const TFileDetails &) {
        if (++added == 3)
            maybeThrow(QStringLiteral("add"));
    };
    it.OnTerminate = [&](TFileIterator &) { events << QStringLiteral("terminate"); };

    // Called directly: the walk ends at the failing file, OnTerminate comes, and the caller gets the error.
    try {
        it.Execute();
        QFAIL("the handler's exception must reach the caller");
    } catch (const std::runtime_error &e) {
        QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("handler failed"));
    }
    QCOMPARE(events, QStringList({"activate", "terminate"}));
    QCOMPARE(added, 3);
    QVERIFY(it.isIdle());

    // The same from OnActivate, on a walk's thread: the program goes on, the thread ends and frees itself,
    // and the iterator walks again afterwards.
    events.clear();
    added = 0;
    throwIn = QStringLiteral("activate");
    QTest::ignoreMessage(QtWarningMsg, "The folder walk ended early: handler failed");
    QPointer<TFileIteratorThread> thread = new TFileIteratorThread(&it);
    QTRY_VERIFY_WITH_TIMEOUT(thread.isNull(), 10000);
    QCOMPARE(events, QStringList({"activate", "terminate"}));
    QCOMPARE(added, 0);
    QVERIFY(it.isIdle());
    throwIn.clear();
    it.Execute();
    QCOMPARE(added, 20);
}

// --- PlaylistTreeAdder -------------------------------------------------------------------------------------

void TFileIteratorTest::adderEndsLikeAddingOneByOne()
{
    const QString root = vorlantest::tempDir();
    QStringList expected = treefiles::makeSmallTree(root);
    expected += treefiles::makeWideTree(root + QStringLiteral("/zz"), 600, 150);
    // A few songs a minute long, for the selected total.
    for (int i = 0; i < 3; ++i) {
        expected << root + QStringLiteral("/zzz/long%1.mp3").arg(i);
        QVERIFY(playlisttest::writeMpeg(expected.last(), 60));
    }

    PlaylistModel walked;
    walked.PlaylistAddFile(QStringLiteral("http://radio.example/stream")); // numbering goes on from it
    PlaylistTreeAdder adder(&walked);
    QSignalSpy finished(&adder, &PlaylistTreeAdder::finished);
    QVERIFY(adder.start(root));
    QVERIFY(finished.wait(30000));
    QCOMPARE(finished.first().first().toInt(), expected.size());

    PlaylistModel oneByOne;
    oneByOne.PlaylistAddFile(QStringLiteral("http://radio.example/stream"));
    for (const QString &path : std::as_const(expected))
        oneByOne.PlaylistAddFile(path);
    QCOMPARE(PlaylistFiles::vlnLines(walked), PlaylistFiles::vlnLines(oneByOne));
    // The durations read on the walk's thread are kept for the selected total as well.
    walked.selectAll();
    oneByOne.selectAll();
    QCOMPARE(walked.UpdateSelectedTime(), oneByOne.UpdateSelectedTime());
    QCOMPARE(walked.SelectedSeconds(), 180);
}

void TFileIteratorTest::adderHandsBatchesInOrderAndCounts()
{
    const QString root = vorlantest::tempDir();
    const QStringList expected = treefiles::makeWideTree(root, 700, 100);
    PlaylistModel model;
    PlaylistTreeAdder adder(&model);
    QSignalSpy activated(&adder, &PlaylistTreeAdder::activated);
    QList<int> counts;
    QStringList lastPaths;
    QList<int> modelCounts;
    connect(&adder, &PlaylistTreeAdder::filesAdded, this, [&](int count, const QString &last) {
        counts << count;
        lastPaths << last;
        modelCounts << model.count();
    });
    QSignalSpy finished(&adder, &PlaylistTreeAdder::finished);
    QVERIFY(adder.start(root));
    QVERIFY(adder.isRunning());
    QVERIFY(finished.wait(30000));
    QVERIFY(!adder.isRunning());
    QCOMPARE(activated.size(), 1);
    // More than one batch, none larger than the batch size, counts rising to the total with the playlist.
    QVERIFY(counts.size() >= 700 / PlaylistTreeAdder::BatchFiles);
    for (int i = 0; i < counts.size(); ++i) {
        QVERIFY(counts[i] - (i ? counts[i - 1] : 0) <= PlaylistTreeAdder::BatchFiles);
        QCOMPARE(modelCounts[i], counts[i]);
        QCOMPARE(lastPaths[i], expected[counts[i] - 1]);
    }
    QCOMPARE(counts.last(), 700);
    QCOMPARE(finished.first().first().toInt(), 700);

    // The next walk counts from 0 again.
    QSignalSpy again(&adder, &PlaylistTreeAdder::finished);
    QVERIFY(adder.start(root + QStringLiteral("/d00/e0/f0")));
    QVERIFY(again.wait(30000));
    QCOMPARE(again.first().first().toInt(), 100);
    QCOMPARE(model.count(), 800);
}

void TFileIteratorTest::adderRefusesASecondStartAndStops()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeWideTree(root, 2000, 50);
    PlaylistModel model;
    PlaylistTreeAdder adder(&model);
    QSignalSpy finished(&adder, &PlaylistTreeAdder::finished);
    QVERIFY(adder.start(root));
    QVERIFY(!adder.start(root));
    adder.stop();
    QVERIFY(finished.wait(30000));
    // Stopped at once: at most the few files found before, and those in the playlist in order.
    const int added = finished.first().first().toInt();
    QVERIFY(added < 2000);
    QCOMPARE(model.count(), added);
    QVERIFY(adder.start(root));
    QSignalSpy second(&adder, &PlaylistTreeAdder::finished);
    QVERIFY(second.wait(30000));
    QCOMPARE(model.count(), added + 2000);
}

void TFileIteratorTest::adderDestroyedDuringAWalkStopsIt()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeWideTree(root, 3000, 100);
    PlaylistModel model;
    auto *adder = new PlaylistTreeAdder(&model);
    QSignalSpy added(adder, &PlaylistTreeAdder::filesAdded);
    QVERIFY(adder->start(root));
    QVERIFY(added.wait(30000));
    QElapsedTimer clock;
    clock.start();
    delete adder;
    QVERIFY(clock.elapsed() < 2000);
    // Batches still on their way were dropped with the adder; nothing arrives later.
    const int count = model.count();
    QTest::qWait(100);
    QCOMPARE(model.count(), count);
    QVERIFY(count < 3000);
}

void TFileIteratorTest::adderStoppedAsItStartsWalksNoFurther()
{
    // Folders without files: no file query comes along to notice the stop, so only the start of the walk
    // can. Stopped right after start() (before the walk's thread is running, as a rule), the walk must end
    // at once instead of visiting every folder. Whether the last folder was visited shows in its access
    // time, which reading a folder sets the first time after it was made.
    // Thousands of folders: made in memory where the system offers it, as making them on disk can take a
    // millisecond each.
    QTemporaryDir inMemory(QStringLiteral("/dev/shm/vorlan-walk-XXXXXX"));
    const QString root = inMemory.isValid() ? inMemory.path() : vorlantest::tempDir();
    for (int i = 0; i < 150; ++i) {
        for (int j = 0; j < 150; ++j)
            QVERIFY(QDir().mkpath(QStringLiteral("%1/f%2/g%3").arg(root).arg(i).arg(j)));
    }
    const QString last = root + QStringLiteral("/f99/g99"); // the walk goes in name order
    auto accessTime = [&last] {
        struct stat st {
        };
        return ::stat(QFile::encodeName(last).constData(), &st) == 0
                   ? st.st_atim.tv_sec * 1000000000LL + st.st_atim.tv_nsec
                   : -1LL;
    };
    const qint64 untouched = accessTime();
    QVERIFY(untouched >= 0);

    PlaylistModel model;
    PlaylistTreeAdder adder(&model);
    QSignalSpy finished(&adder, &PlaylistTreeAdder::finished);
    QVERIFY(adder.start(root));
    adder.stop();
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished.last().first().toInt(), 0);
    QVERIFY(!adder.isRunning());
    const qint64 afterStopped = accessTime();

    // The whole walk, to see that a visit shows here.
    QVERIFY(adder.start(root));
    QVERIFY(finished.wait(60000));
    if (accessTime() == untouched)
        QSKIP("this file system keeps no access times of folders");
    QCOMPARE(afterStopped, untouched);
}

void TFileIteratorTest::adderStartedAgainWhenItFinishesRunsToTheEnd()
{
    // The end of the first walk's thread arrives after finished(): it must not end the second walk.
    const QString root = vorlantest::tempDir();
    treefiles::makeWideTree(root, 300, 30);
    PlaylistModel model;
    PlaylistTreeAdder adder(&model);
    QList<int> counts;
    connect(&adder, &PlaylistTreeAdder::finished, this, [&](int count) {
        counts << count;
        if (counts.size() == 1)
            QVERIFY(adder.start(root));
    });
    QVERIFY(adder.start(root));
    QTRY_COMPARE_WITH_TIMEOUT(counts.size(), 2, 30000);
    QCOMPARE(counts, QList<int>({300, 300}));
    QCOMPARE(model.count(), 600);
    QTest::qWait(50);
    QCOMPARE(counts.size(), 2);
    QVERIFY(!adder.isRunning());
}

VORLAN_TEST_CLASS(TFileIteratorTest)
#include "TFileIteratorTest.moc"

// Finding an entry of a long list as one types: words in any order, without regard to case or accents, each
// keystroke narrowing what the one before found; chosen with the keys alone.
#include "playlist/FindWindow.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistFinder.h"
#include "playlist/PlaylistModel.h"
#include "tests/TestMain.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

namespace
{

void fill(PlaylistModel &model, const QStringList &names)
{
    QStringList lines;
    for (int i = 0; i < names.size(); ++i)
        lines << QStringLiteral("%1\t%2\t03:00\t/music/%3/%1.mp3")
                     .arg(i + 1)
                     .arg(names.at(i), names.at(i).left(1));
    PlaylistFiles::appendVlnLines(model, lines);
}

} // namespace

class FindWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void wordsInAnyOrderWithoutCaseOrAccents()
    {
        PlaylistModel model;
        fill(model, {"Beyoncé - Halo", "Björk - Jóga", "Bach - Air", "Sigur Rós - Hoppípolla",
                     "Halo Halo - Beyond"});
        PlaylistFinder finder(&model);
        QCOMPARE(finder.find(QStringLiteral("beyonce")), QList<int>({0}));
        QCOMPARE(finder.find(QStringLiteral("halo")), QList<int>({0, 4}));
        QCOMPARE(finder.find(QStringLiteral("HALO bey")), QList<int>({0, 4}));
        QCOMPARE(finder.find(QStringLiteral("halo beyonce")), QList<int>({0}));
        // Typed back, the wider search finds again what the narrower one left.
        QCOMPARE(finder.find(QStringLiteral("ha")), QList<int>({0, 4}));
        QCOMPARE(finder.find(QStringLiteral("joga bjork")), QList<int>({1}));
        QCOMPARE(finder.find(QStringLiteral("hoppipolla")), QList<int>({3}));
        QCOMPARE(finder.find(QString()), QList<int>({0, 1, 2, 3, 4}));
        // The path counts too; a changed list is searched anew.
        QCOMPARE(finder.find(QStringLiteral("/music/b/3.mp3")), QList<int>({2}));
        fill(model, {"Beyoncé - Again"});
        QCOMPARE(finder.find(QStringLiteral("beyonce")), QList<int>({0, 5}));
    }

    void typeMoveAndChooseWithTheKeys()
    {
        PlaylistModel model;
        QStringList names;
        for (int i = 0; i < 2000; ++i)
            names << QStringLiteral("Artist %1 - Song %2").arg(i % 10).arg(i);
        fill(model, names);
        FindWindow window(&model);
        window.open();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.results().size(), 2000);
        // More than can be listed: the rest is counted.
        QCOMPARE(window.Results->count(), FindWindow::ShownResults + 1);
        QTest::keyClicks(window.SearchEdit, "artist 7 song 1");
        // Every word in the name or the path ("/music/A/18.mp3"), and nothing else.
        QList<int> expected;
        for (int row = 0; row < model.count(); ++row) {
            const QString text = PlaylistFinder::fold(PlaylistFiles::vlnLine(model.entry(row)));
            if (text.contains(QStringLiteral("artist")) && text.contains(QStringLiteral("7")) &&
                text.contains(QStringLiteral("song")) && text.contains(QStringLiteral("1")))
                expected << row;
        }
        QCOMPARE(window.results(), expected);
        QVERIFY(window.results().contains(17));
        QCOMPARE(window.Results->item(0)->text(), QStringLiteral("%1. Artist %2 - Song %3")
                                                      .arg(expected[0] + 1)
                                                      .arg(expected[0] % 10)
                                                      .arg(expected[0]));
        QSignalSpy chosen(&window, &FindWindow::entryChosen);
        QTest::keyClick(window.SearchEdit, Qt::Key_Down);
        QTest::keyClick(window.SearchEdit, Qt::Key_Down);
        QTest::keyClick(window.SearchEdit, Qt::Key_Up);
        QTest::keyClick(window.SearchEdit, Qt::Key_Return);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.first().at(0).toInt(), window.results().at(1));
        QVERIFY(!window.isVisible());
        // Escape closes without choosing.
        window.open();
        QTest::keyClicks(window.SearchEdit, "song 5");
        QTest::keyClick(window.SearchEdit, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(chosen.count(), 1);
    }
};

VORLAN_TEST_CLASS(FindWindowTest)
#include "FindWindowTest.moc"

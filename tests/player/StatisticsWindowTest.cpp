#include "player/StatisticsWindow.h"
#include "player/Statistics.h"
#include "playlist/PlaylistModel.h"
#include "tests/TestMain.h"
#include "widgets/FlatButton.h"
#include "widgets/ReportListView.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTreeView>

namespace
{

QList<StatisticsEntry> sampleEntries()
{
    return {
        {QStringLiteral("Beta - Two"), 9, QStringLiteral("/music/b.mp3"), {}},
        {QStringLiteral("alpha - One"), 10, QStringLiteral("/music/a.mp3"), {}},
        {QStringLiteral("Gamma - Three"), 2, QStringLiteral("/music/c.mp3"), {}},
        {QStringLiteral("Radio"), 1, QStringLiteral("http://radio.example/live"), {}},
    };
}

QStringList column(const Statistics &s, int col)
{
    QStringList out;
    for (int r = 0; r < s.rowCount(); ++r)
        out << s.data(s.index(r, col)).toString();
    return out;
}

struct Window {
    Statistics stats;
    PlaylistModel playlist;
    StatisticsWindow window{&stats, &playlist};
    QStringList prompts;
    QStringList notices;
    QStringList opened;
    bool answer = true;
    bool exposed = false;

    Window()
    {
        stats.setEntries(sampleEntries());
        window.setStatisticsFile(vorlantest::tempDir() + QStringLiteral("/Statistics.lst"));
        window.setClearPrompt([this](QWidget *, const QString &title, const QString &text) {
            prompts << title + QLatin1Char('|') + text;
            return answer;
        });
        window.setNotice([this](QWidget *, const QString &, const QString &text) { notices << text; });
        window.setLinkOpener([this](const QString &text) { opened << text; });
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }
    QPoint cell(int row, int col) const { return window.StatBox->visualRect(stats.index(row, col)).center(); }
    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int col = 0)
    {
        QTest::mouseClick(window.StatBox->viewport(), Qt::LeftButton, modifiers, cell(row, col));
    }
    void clickHeader(int section)
    {
        QHeaderView *h = window.StatBox->header();
        const QPoint at(h->sectionViewportPosition(section) + h->sectionSize(section) / 2, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    QStringList playlistPaths() const
    {
        QStringList out;
        for (int i = 0; i < playlist.count(); ++i)
            out << playlist.entryPath(i);
        return out;
    }
};

} // namespace

class StatisticsWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void captionsColumnsAndMenu();
    void moveSendsSelectedSongsLastFirst();
    void deleteRemovesSelectedEntries();
    void selectionCommands();
    void clearAsksThenEmptiesAndDeletesTheFile();
    void headerClicksSortBothWaysWithTheDirectionShown();
    void linksOpenOnAPlainClick();
    void saveAsHtmlWritesTheTable();
    void printMakesAJobNamedAfterTheStatistics();
};

void StatisticsWindowTest::captionsColumnsAndMenu()
{
    Window w;
    QVERIFY(w.exposed);
    QCOMPARE(w.window.windowTitle(), QStringLiteral("Statistics"));
    QCOMPARE(w.window.Heading->text(), QStringLiteral("Statistics"));
    QCOMPARE(w.window.TransparentButton2->text(), QStringLiteral("Move Selected To The Play List"));
    QCOMPARE(w.window.TransparentButton1->text(), QStringLiteral("Delete Selected Songs"));
    QHeaderView *h = w.window.StatBox->header();
    QCOMPARE(h->count(), 3);
    QCOMPARE(w.stats.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Song Name"));
    QCOMPARE(h->sectionSize(0), 200);
    // 57 pixels, or as much more as its heading needs to show whole.
    QVERIFY(h->sectionSize(1) >= 57);
    QVERIFY2(h->sectionSize(1) > h->fontMetrics().horizontalAdvance(QStringLiteral("Number")) + 8,
             qPrintable(QString::number(h->sectionSize(1))));
    QCOMPARE(w.window.StatBox->selectionMode(), QAbstractItemView::ExtendedSelection);
    // Bold names, centred counts.
    QVERIFY(w.stats.index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(w.stats.index(0, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    QStringList items;
    for (QAction *a : w.window.PopupMenu->actions())
        if (!a->isSeparator())
            items << a->text();
    QCOMPARE(items, (QStringList{QStringLiteral("Save as HTML..."), QStringLiteral("Print"),
                                 QStringLiteral("Select All"), QStringLiteral("Invert Selection"),
                                 QStringLiteral("UnSelect All"), QStringLiteral("Clear Statistics")}));
    QTest::mouseClick(w.window.ExitBtn, Qt::LeftButton);
    QVERIFY(!w.window.isVisible());
}

void StatisticsWindowTest::moveSendsSelectedSongsLastFirst()
{
    Window w;
    QVERIFY(w.exposed);
    w.click(0);
    w.click(1, Qt::ControlModifier);
    w.click(2, Qt::ControlModifier);
    QTest::mouseClick(w.window.TransparentButton2, Qt::LeftButton);
    QCOMPARE(w.playlistPaths(), (QStringList{QStringLiteral("/music/c.mp3"), QStringLiteral("/music/a.mp3"),
                                             QStringLiteral("/music/b.mp3")}));
    // The statistics stay as they were.
    QCOMPARE(w.stats.rowCount(), 4);

    // A double click moves the song under the pointer.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    const QPoint at = w.window.StatBox->viewport()->mapTo(&w.window, w.cell(3, 1));
    QTest::mouseDClick(w.window.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(w.playlistPaths().size(), 4);
    QCOMPARE(w.playlistPaths().last(), QStringLiteral("http://radio.example/live"));
}

void StatisticsWindowTest::deleteRemovesSelectedEntries()
{
    Window w;
    QVERIFY(w.exposed);
    const QString file = w.window.statisticsFile();
    QVERIFY(w.stats.save(file));
    const QByteArray saved = [&] {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    w.click(0);
    w.click(2, Qt::ControlModifier);
    QTest::mouseClick(w.window.TransparentButton1, Qt::LeftButton);
    QCOMPARE(column(w.stats, Statistics::PathColumn),
             (QStringList{QStringLiteral("/music/a.mp3"), QStringLiteral("http://radio.example/live")}));
    // The file changes only when the list is saved at exit.
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), saved);
    // Nothing selected: nothing deleted.
    w.window.unselectAllSongs();
    w.window.TransparentButton1Click();
    QCOMPARE(w.stats.rowCount(), 2);
    QCOMPARE(w.playlist.count(), 0);
}

void StatisticsWindowTest::selectionCommands()
{
    Window w;
    QVERIFY(w.exposed);
    w.window.SelectAll1->trigger();
    QCOMPARE(w.window.selectedRows(), (QList<int>{0, 1, 2, 3}));
    w.window.UnSelectAll1->trigger();
    QCOMPARE(w.window.selectedRows(), QList<int>{});
    w.click(1);
    w.click(3, Qt::ControlModifier);
    w.window.InvertSelection1->trigger();
    QCOMPARE(w.window.selectedRows(), (QList<int>{0, 2}));
    w.window.InvertSelection1->trigger();
    QCOMPARE(w.window.selectedRows(), (QList<int>{1, 3}));
}

void StatisticsWindowTest::clearAsksThenEmptiesAndDeletesTheFile()
{
    Window w;
    QVERIFY(w.exposed);
    const QString file = w.window.statisticsFile();
    QVERIFY(w.stats.save(file));
    w.answer = false;
    w.window.Clear1->trigger();
    QCOMPARE(w.prompts,
             QStringList{QStringLiteral("Vorlan - Statistics|All data on the statistics, will be reset..")});
    QCOMPARE(w.stats.rowCount(), 4);
    QVERIFY(QFile::exists(file));
    w.answer = true;
    w.window.Clear1->trigger();
    QCOMPARE(w.stats.rowCount(), 0);
    QVERIFY(!QFile::exists(file));
    // With no file at all it still empties the list.
    w.stats.setEntries(sampleEntries());
    w.window.ClearClick();
    QCOMPARE(w.stats.rowCount(), 0);
}

void StatisticsWindowTest::headerClicksSortBothWaysWithTheDirectionShown()
{
    Window w;
    QVERIFY(w.exposed);
    QHeaderView *h = w.window.StatBox->header();
    QVERIFY(h->isSortIndicatorShown());
    // The selection goes along with its entry.
    w.click(0);

    w.clickHeader(0);
    QCOMPARE(column(w.stats, 0), (QStringList{QStringLiteral("alpha - One"), QStringLiteral("Beta - Two"),
                                              QStringLiteral("Gamma - Three"), QStringLiteral("Radio")}));
    QCOMPARE(h->sortIndicatorSection(), 0);
    QCOMPARE(h->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(w.window.selectedRows(), QList<int>{1});

    w.clickHeader(0);
    QCOMPARE(column(w.stats, 0).first(), QStringLiteral("Radio"));
    QCOMPARE(h->sortIndicatorOrder(), Qt::DescendingOrder);

    // Another column keeps the direction; counts sort as numbers (10 above 9).
    w.clickHeader(1);
    QCOMPARE(column(w.stats, 1), (QStringList{"10", "9", "2", "1"}));
    QCOMPARE(h->sortIndicatorSection(), 1);
    QCOMPARE(h->sortIndicatorOrder(), Qt::DescendingOrder);
    w.clickHeader(1);
    QCOMPARE(column(w.stats, 1), (QStringList{"1", "2", "9", "10"}));
    QCOMPARE(h->sortIndicatorOrder(), Qt::AscendingOrder);

    w.clickHeader(2);
    QCOMPARE(column(w.stats, 2),
             (QStringList{QStringLiteral("/music/a.mp3"), QStringLiteral("/music/b.mp3"),
                          QStringLiteral("/music/c.mp3"), QStringLiteral("http://radio.example/live")}));
    w.clickHeader(2);
    QCOMPARE(column(w.stats, 2).first(), QStringLiteral("http://radio.example/live"));
    QCOMPARE(h->sortIndicatorSection(), 2);
    QCOMPARE(h->sortIndicatorOrder(), Qt::DescendingOrder);
}

void StatisticsWindowTest::linksOpenOnAPlainClick()
{
    Window w;
    QVERIFY(w.exposed);
    w.click(0, Qt::NoModifier, Statistics::PathColumn);
    QVERIFY(w.opened.isEmpty());
    w.click(3, Qt::NoModifier, Statistics::PathColumn);
    QCOMPARE(w.opened, QStringList{QStringLiteral("http://radio.example/live")});
    // Ctrl and Shift clicks only select.
    w.click(3, Qt::ControlModifier, Statistics::PathColumn);
    QCOMPARE(w.opened.size(), 1);
    w.stats.setEntries({{QStringLiteral("mailto:someone@example.org"), 1, QStringLiteral("/x.mp3"), {}}});
    w.click(0, Qt::NoModifier, Statistics::SongNameColumn);
    QCOMPARE(w.opened.last(), QStringLiteral("mailto:someone@example.org"));
}

void StatisticsWindowTest::saveAsHtmlWritesTheTable()
{
    Window w;
    QVERIFY(w.exposed);
    w.stats.setEntries({{QStringLiteral("A & <B>"), 3, QStringLiteral("/music/a.mp3"), {}},
                        {QStringLiteral("C"), 12, QStringLiteral("/music/c.mp3"), {}}});
    const QString dir = vorlantest::tempDir();
    QString suggested;
    QString answer = dir + QStringLiteral("/out.html");
    w.window.setFileChooser([&](QWidget *, const QString &s) {
        suggested = s;
        return answer;
    });
    w.window.SaveasHTML1->trigger();
    QCOMPARE(QFileInfo(suggested).fileName(), QStringLiteral("Statistics.html"));
    QFile f(answer);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray page = f.readAll();
    QVERIFY(
        page.startsWith("<meta charset=\"utf-8\">\r\n<table border=1>\r\n<tr>\r\n<td nowrap BGCOLOR=\"#"));
    QVERIFY(page.contains("><B>Song Name</B></td>\r\n"));
    QVERIFY(page.contains("><B>Number</B></td>\r\n"));
    QVERIFY(page.contains("><B>Path</B></td>\r\n</tr>\r\n"));
    QVERIFY(page.contains("<tr>\r\n<td nowrap><B>C</B></td>\r\n<td nowrap>12</td>\r\n"
                          "<td nowrap>/music/c.mp3</td>\r\n</tr>\r\n"));
    QVERIFY(page.contains("<B>A &amp; &lt;B&gt;</B>"));
    QVERIFY(page.endsWith("</table><p>\r\n"));

    // Cancelled: nothing written. An empty list: no file. A folder that cannot take the file: a message.
    answer.clear();
    w.window.SaveasHTML1Click();
    answer = dir + QStringLiteral("/empty.html");
    w.stats.setEntries({});
    w.window.SaveasHTML1Click();
    QVERIFY(!QFile::exists(answer));
    QVERIFY(w.notices.isEmpty());
    w.stats.setEntries(sampleEntries());
    answer = dir + QStringLiteral("/no such folder/x.html");
    w.window.SaveasHTML1Click();
    QCOMPARE(w.notices.size(), 1);
}

void StatisticsWindowTest::printMakesAJobNamedAfterTheStatistics()
{
    Window w;
    QVERIFY(w.exposed);
    const QString pdf = vorlantest::tempDir() + QStringLiteral("/statistics.pdf");
    QString jobTitle;
    w.window.setPrinter([&](const ReportListView &table, QString *error) {
        jobTitle = table.title();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return table.print(&printer, error);
    });
    w.window.Print1->trigger();
    QCOMPARE(jobTitle, QStringLiteral("Vorlan Statistics"));
    QVERIFY(QFile::exists(pdf));
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(20000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        for (const QString &expected : {QStringLiteral("Song Name"), QStringLiteral("Gamma - Three"),
                                        QStringLiteral("/music/c.mp3"), QStringLiteral("10")})
            QVERIFY2(text.contains(expected), qPrintable(expected));
    }

    // A failed print is explained.
    w.window.setPrinter([](const ReportListView &, QString *error) {
        *error = QStringLiteral("No printer is set up on this computer");
        return false;
    });
    w.window.PrintClick();
    QCOMPARE(w.notices, QStringList{QStringLiteral("No printer is set up on this computer")});
}

VORLAN_TEST_CLASS(StatisticsWindowTest)
#include "StatisticsWindowTest.moc"

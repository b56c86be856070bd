#include "playlist/HtmlTableWriter.h"
#include "platform/SystemColors.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistModel.h"
#include "tests/TestMain.h"
#include "tests/playlist/MpegTestFiles.h"

#include <QTest>

using playlisttest::readBytes;

namespace
{

QString headerCell(const QString &caption)
{
    return "<td nowrap BGCOLOR=\"#" +
           SystemColors::htmlHex(SystemColors::systemColor(SystemColors::ActiveBorder)) + "\"><B>" + caption +
           "</B></td>";
}

} // namespace

class HtmlTableWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void playlistPageLineForLine()
    {
        const QString dir = vorlantest::tempDir();
        PlaylistModel model;
        PlaylistFiles::appendVlnLines(
            model, {"1\tArtist - Song\t03:20\t/music/a.mp3", "2\thttp://radio/live\t\thttp://radio/live"});
        const QString page = dir + "/list.html";
        QString error;
        QVERIFY(exportPlaylistHtml(model, page, &error));

        const QStringList expected{"<meta charset=\"utf-8\">",
                                   "<table border=1>",
                                   "<tr>",
                                   headerCell("Track"),
                                   headerCell("Song"),
                                   headerCell("Length"),
                                   "</tr>",
                                   "<tr>",
                                   "<td nowrap>1</td>",
                                   "<td nowrap><B>Artist - Song</B></td>",
                                   "<td nowrap>03:20</td>",
                                   "</tr>",
                                   "<tr>",
                                   "<td nowrap>2</td>",
                                   "<td nowrap><B>http://radio/live</B></td>",
                                   "<td nowrap><br></td>",
                                   "</tr>",
                                   "</table><p>"};
        QCOMPARE(readBytes(page), (expected.join("\r\n") + "\r\n").toUtf8());
    }

    void headerColourIsActiveBorder()
    {
        // Six upper-case hex digits, red first, whatever the desktop's colour.
        const QString hex = SystemColors::htmlHex(SystemColors::systemColor(SystemColors::ActiveBorder));
        QVERIFY(QRegularExpression("^[0-9A-F]{6}$").match(hex).hasMatch());
        HtmlTableWriter table({"A"});
        table.addRow({"x"});
        QCOMPARE(table.htmlLines().at(3), "<td nowrap BGCOLOR=\"#" + hex + "\"><B>A</B></td>");
        table.setHeaderColor(QColor(0x12, 0xab, 0xCD));
        QCOMPARE(table.htmlLines().at(3), QString("<td nowrap BGCOLOR=\"#12ABCD\"><B>A</B></td>"));
    }

    void textsAreEscaped()
    {
        PlaylistModel model;
        PlaylistFiles::appendVlnLines(model, {"1\tTom & Jerry <b>Live</b>\t01:00\t/x.mp3"});
        HtmlTableWriter table = playlistHtmlTable(model);
        QCOMPARE(table.htmlLines().at(9),
                 QString("<td nowrap><B>Tom &amp; Jerry &lt;b&gt;Live&lt;/b&gt;</B></td>"));

        HtmlTableWriter captions({"<Song>", "R&B"});
        captions.addRow({"a"});
        const QStringList lines = captions.htmlLines();
        QVERIFY(lines.at(3).endsWith("><B>&lt;Song&gt;</B></td>"));
        QVERIFY(lines.at(4).endsWith("><B>R&amp;B</B></td>"));
    }

    void cellStylesAndEmptyTexts()
    {
        // The statistics window's table: first column bold, one cell coloured.
        HtmlTableWriter table({"Song Name", "", "Path"});
        table.addRow({"Song", "3", "/a.mp3"});
        table.addRow({"Other"}); // missing cells are empty
        table.setCellStyle([](int row, int column, HtmlCellStyle &style) {
            style.bold = column == 0;
            if (row == 0 && column == 1) {
                style.brush = QColor(255, 0, 0);
                style.font = QColor(0, 0, 255);
                style.bold = true;
                style.italic = true;
            }
        });
        table.setHeaderColor(QColor(1, 2, 3));
        const QStringList lines = table.htmlLines();
        QCOMPARE(lines.mid(3, 3), QStringList({"<td nowrap BGCOLOR=\"#010203\"><B>Song Name</B></td>",
                                               "<td nowrap BGCOLOR=\"#010203\"><B><br></B></td>",
                                               "<td nowrap BGCOLOR=\"#010203\"><B>Path</B></td>"}));
        QCOMPARE(
            lines.mid(7, 5),
            QStringList({"<tr>", "<td nowrap><B>Song</B></td>",
                         "<td nowrap BGCOLOR=\"#FF0000\"><font color=\"#0000FF\"><B><I>3</I></B></font></td>",
                         "<td nowrap>/a.mp3</td>", "</tr>"}));
        QCOMPARE(lines.mid(12, 4), QStringList({"<tr>", "<td nowrap><B>Other</B></td>",
                                                "<td nowrap><br></td>", "<td nowrap><br></td>"}));
        QCOMPARE(lines.size(), 18);
    }

    void emptyTableWritesNoFile()
    {
        const QString dir = vorlantest::tempDir();
        PlaylistModel model;
        QString error;
        QVERIFY(exportPlaylistHtml(model, dir + "/empty.html", &error));
        QVERIFY(!QFileInfo::exists(dir + "/empty.html"));

        HtmlTableWriter noColumns;
        noColumns.addRow({"a"});
        QVERIFY(noColumns.write(dir + "/nocolumns.html"));
        QVERIFY(!QFileInfo::exists(dir + "/nocolumns.html"));
    }

    void uncreatableFileIsReported()
    {
        const QString dir = vorlantest::tempDir();
        PlaylistModel model;
        PlaylistFiles::appendVlnLines(model, {"1\ta\t00:01\t/a.mp3"});
        QString error;
        QVERIFY(!exportPlaylistHtml(model, dir + "/no/such/folder/list.html", &error));
        QVERIFY(!error.isEmpty());

        // A folder in the file's place.
        QDir().mkpath(dir + "/taken.html");
        error.clear();
        QVERIFY(!exportPlaylistHtml(model, dir + "/taken.html", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(dir + "/taken.html").isDir());
    }
};

VORLAN_TEST_CLASS(HtmlTableWriterTest)
#include "HtmlTableWriterTest.moc"

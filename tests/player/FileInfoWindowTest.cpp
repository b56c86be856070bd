#include "tags/FileInfoWindow.h"
#include "tests/TestMain.h"
#include "widgets/FlatButton.h"
#include "widgets/TFountainFill.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

namespace
{
QString fixture(const char *name)
{
    return QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name);
}

QStringList tagTexts(const FileInfoWindow &w)
{
    return {w.MaskEdit1->text(), w.MaskEdit2->text(), w.MaskEdit3->text(),
            w.MaskEdit4->text(), w.MaskEdit5->text(), w.MaskEdit6->text()};
}
} // namespace

class FileInfoWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void captionsAndLabels()
    {
        FileInfoWindow w;
        QCOMPARE(w.windowTitle(), QStringLiteral("FileInfo"));
        QCOMPARE(w.TitleLabel->text(), QStringLiteral("File Info"));
        QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(w.TagGroup->title(), QStringLiteral("ID3 TAG"));
        QCOMPARE(w.ExitBtn->text(), QStringLiteral("X"));
        QCOMPARE(w.RxLabel1->text(), QStringLiteral("Size : "));
        QCOMPARE(w.RxLabel6->text(), QStringLiteral("Length: "));
        QStringList labels;
        for (QLabel *label : w.TagGroup->findChildren<QLabel *>())
            labels << label->text();
        QCOMPARE(labels,
                 (QStringList{QStringLiteral("Title"), QStringLiteral("Artist"), QStringLiteral("Album"),
                              QStringLiteral("Year"), QStringLiteral("Genere"), QStringLiteral("Comment")}));
        for (QLineEdit *edit : w.findChildren<QLineEdit *>())
            QVERIFY(edit->isReadOnly());
    }

    void fillsFromATaggedFile()
    {
        FileInfoWindow w;
        const QString dir = vorlantest::tempDir();
        const QString path = dir + QStringLiteral("/Mixed Case/Tagged.MP3");
        QDir().mkpath(dir + QStringLiteral("/Mixed Case"));
        QVERIFY(QFile::copy(fixture("mpeg1-layer3-tagged.mp3"), path));
        w.fill(1, 3, 128, 44100, 1, path);
        QCOMPARE(w.RxLabel1->text(), QStringLiteral("Size : 9322"));
        QCOMPARE(w.RxLabel2->text(), QStringLiteral("MPEG 1 Layer 3"));
        QCOMPARE(w.RxLabel3->text(), QStringLiteral("Bitrate 128kbps"));
        QCOMPARE(w.RxLabel4->text(), QStringLiteral("Frequency 44100Hz"));
        QCOMPARE(w.RxLabel5->text(), QStringLiteral("Mode : Joint Stereo"));
        QCOMPARE(w.PathBox->text(), path.toLower());
        QCOMPARE(tagTexts(w), (QStringList{QStringLiteral("Fixture Title"), QStringLiteral("Fixture Artist"),
                                           QStringLiteral("Fixture Album"), QStringLiteral("2024"),
                                           QStringLiteral("Jazz"), QStringLiteral("made by make-fixtures")}));
        w.setLengthText(QStringLiteral("Length: [00:01]"));
        QCOMPARE(w.RxLabel6->text(), QStringLiteral("Length: [00:01]"));

        // A Latin-1 tag with a year that keeps its blank.
        w.fill(1, 2, 192, 44100, 0, fixture("mpeg1-layer2-tagged.mp2"));
        QCOMPARE(w.RxLabel2->text(), QStringLiteral("MPEG 1 Layer 2"));
        QCOMPARE(w.RxLabel5->text(), QStringLiteral("Mode : Stereo"));
        QCOMPARE(w.MaskEdit1->text(), QStringLiteral("Caf\u00e9 Fixture"));
        QCOMPARE(w.MaskEdit4->text(), QStringLiteral("199 "));
        QCOMPARE(w.MaskEdit5->text(), QStringLiteral("Rock"));

        // The next song without a tag clears the fields.
        w.fill(3, 3, 16, 8000, 3, fixture("mpeg25-layer3.mp3"));
        QCOMPARE(w.RxLabel2->text(), QStringLiteral("MPEG 2.5 Layer 3"));
        QCOMPARE(w.RxLabel5->text(), QStringLiteral("Mode : Single Channel"));
        QCOMPARE(w.RxLabel1->text(), QStringLiteral("Size : 1296"));
        QCOMPARE(tagTexts(w), QStringList(6));
    }

    void otherFormatsShowTheirCodecLineAndTheSongsCover()
    {
        const QString dir = vorlantest::tempDir() + QStringLiteral("/Album");
        QVERIFY(QDir().mkpath(dir));
        const QString song = dir + QStringLiteral("/song.flac");
        QVERIFY(QFile::copy(fixture("mpeg1-layer3-tagged.mp3"), song));
        // A cover twice the picture area: shown scaled, its halves where they were.
        QImage cover(192, 192, QImage::Format_RGB32);
        cover.fill(QColor(220, 20, 20));
        QPainter(&cover).fillRect(96, 0, 96, 192, QColor(20, 20, 220));
        QVERIFY(cover.save(dir + QStringLiteral("/Folder.PNG")));

        FileInfoWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.fillCodec(QStringLiteral("flac"), 16, 898, 96000, 0, song);
        QCOMPARE(w.RxLabel2->text(), QStringLiteral("FLAC 16 bit"));
        QCOMPARE(w.RxLabel3->text(), QStringLiteral("Bitrate 898kbps"));
        QCOMPARE(w.RxLabel4->text(), QStringLiteral("Frequency 96000Hz"));
        QCOMPARE(w.RxLabel5->text(), QStringLiteral("Mode : Stereo"));
        QCOMPARE(w.RxLabel1->text(), QStringLiteral("Size : 9322"));
        QVERIFY(w.CoverImage->isVisible());
        const QImage shown = w.CoverImage->grab().toImage();
        const int y = shown.height() / 2;
        QCOMPARE(shown.pixelColor(shown.width() / 4, y), QColor(220, 20, 20));
        QCOMPARE(shown.pixelColor(shown.width() * 3 / 4, y), QColor(20, 20, 220));
        // Every line stays in view beside the cover.
        QVERIFY(w.RxLabel4->geometry().right() < w.CoverImage->geometry().left());

        // A song without a cover shows none.
        w.fill(1, 3, 128, 44100, 1, fixture("mpeg1-layer3-tagged.mp3"));
        QCOMPARE(w.RxLabel2->text(), QStringLiteral("MPEG 1 Layer 3"));
        QVERIFY(!w.CoverImage->isVisible());

        QCOMPARE(FileInfoWindow::codecText(QStringLiteral("opus"), 0), QStringLiteral("Opus"));
        QCOMPARE(FileInfoWindow::codecText(QStringLiteral("vorbis"), 0), QStringLiteral("Vorbis"));
        QCOMPARE(FileInfoWindow::codecText(QStringLiteral("pcm_s24le"), 24), QStringLiteral("PCM 24 bit"));
        QCOMPARE(FileInfoWindow::codecText(QStringLiteral("alac"), 16), QStringLiteral("ALAC 16 bit"));
    }

    void levelsAndModes()
    {
        QCOMPARE(FileInfoWindow::levelText(1), QStringLiteral("1"));
        QCOMPARE(FileInfoWindow::levelText(2), QStringLiteral("2"));
        QCOMPARE(FileInfoWindow::levelText(3), QStringLiteral("2.5"));
        QCOMPARE(FileInfoWindow::modeText(2), QStringLiteral("Mode : Dual Channel"));
        QCOMPARE(FileInfoWindow::modeText(7), QStringLiteral("Mode : "));
        QCOMPARE(FileInfoWindow::modeText(-1), QStringLiteral("Mode : "));
    }

    void streamsAndMissingFiles()
    {
        FileInfoWindow w;
        w.fill(1, 3, 128, 44100, 1, fixture("mpeg1-layer3-tagged.mp3"));
        w.fill(1, 3, 128, 44100, 0, QStringLiteral("http://Example.org/Radio.mp3"));
        QCOMPARE(w.RxLabel1->text(), QStringLiteral("Size : "));
        QCOMPARE(w.PathBox->text(), QStringLiteral("http://example.org/radio.mp3"));
        QCOMPARE(tagTexts(w), QStringList(6));

        w.fill(1, 3, 128, 44100, 0, vorlantest::tempDir() + QStringLiteral("/gone.mp3"));
        QCOMPARE(w.RxLabel1->text(), QStringLiteral("Size : 0"));
        QCOMPARE(tagTexts(w), QStringList(6));
    }

    void damagedAndRandomFilesAreShownWithoutHarm()
    {
        FileInfoWindow w;
        const QString dir = vorlantest::tempDir();
        QRandomGenerator generator(20261208);
        auto *rng = &generator;
        for (int i = 0; i < 20; ++i) {
            QByteArray bytes(int(rng->bounded(1, 4000)), Qt::Uninitialized);
            for (char &b : bytes)
                b = char(rng->bounded(256));
            // Some end in what looks like a tag.
            if (i % 2 && bytes.size() > 128)
                bytes.replace(bytes.size() - 128, 3, "TAG");
            const QString path = dir + QStringLiteral("/random%1.mp3").arg(i);
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            f.close();
            w.fill(1, 3, 128, 44100, 1, path);
            // The reader leaves files of five bytes or less unread.
            QCOMPARE(w.RxLabel1->text(),
                     QStringLiteral("Size : %1").arg(bytes.size() > 5 ? bytes.size() : 0));
            for (const QString &field : tagTexts(w))
                QVERIFY(field.size() <= 30);
        }
        w.fill(1, 3, 128, 44100, 1, fixture("damaged.mp3"));
        QVERIFY(w.RxLabel1->text().startsWith(QStringLiteral("Size : ")));
    }

    void movedByItsBordersAndClosedWithX()
    {
        FileInfoWindow w;
        w.move(100, 100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint start = w.pos();
        auto *title = w.findChild<TFountainFill *>(QStringLiteral("TitleFill"));
        QVERIFY(title);
        const QPoint grab = title->mapToGlobal(QPoint(30, 5));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 5), QPointF(grab), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(title, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(80, 45), QPointF(grab + QPoint(50, 40)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(title, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(80, 45), QPointF(grab + QPoint(50, 40)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(title, &release);
        QCOMPARE(w.pos(), start + QPoint(50, 40));

        // The right button does not drag.
        auto *bottom = w.findChild<TFountainFill *>(QStringLiteral("BottomFill"));
        QVERIFY(bottom);
        QMouseEvent rightPress(QEvent::MouseButtonPress, QPointF(5, 2), QPointF(grab), Qt::RightButton,
                               Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(bottom, &rightPress);
        QMouseEvent rightMove(QEvent::MouseMove, QPointF(5, 2), QPointF(grab + QPoint(300, 300)),
                              Qt::NoButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(bottom, &rightMove);
        QCOMPARE(w.pos(), start + QPoint(50, 40));

        QTest::mouseClick(w.ExitBtn, Qt::LeftButton);
        QVERIFY(!w.isVisible());
    }
};

VORLAN_TEST_CLASS(FileInfoWindowTest)
#include "FileInfoWindowTest.moc"

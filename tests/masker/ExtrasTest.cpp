#include "MaskerTestKit.h"
#include "masker/ClassicImporter.h"
#include "masker/ExtrasPage.h"
#include "masker/MarkerButton.h"
#include "masker/PlacementWindow.h"
#include "masker/SaveMaskWindow.h"
#include "masker/WizardWindow.h"
#include "masks/RegionFile.h"
#include "platform/TextFile.h"
#include "tests/TestMain.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace maskertest;

namespace
{

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList keysOf(const QString &path)
{
    QStringList keys;
    for (const QString &line : TextFile::readLines(path))
        if (line.contains('=') && !line.startsWith('['))
            keys << line.section('=', 0, 0);
    return keys;
}

QString valueOf(const QString &path, const QString &key)
{
    for (const QString &line : TextFile::readLines(path))
        if (line.section('=', 0, 0) == key)
            return line.section('=', 1);
    return QStringLiteral("<missing>");
}

const QStringList ExtraKeys = {"TimeDigits",      "TitleChars",    "SliderBack",    "VolumeBar",
                               "VolumeBarFrames", "VolumeThumb",   "BalanceBar",    "BalanceBarFrames",
                               "BalanceThumb",    "LoopBtnOn",     "RandBtnOn",     "Shape",
                               "Volume Bar-W",    "Volume Bar-H",  "Volume Bar-T",  "Volume Bar-L",
                               "Balance Bar-W",   "Balance Bar-H", "Balance Bar-T", "Balance Bar-L"};

// A mask with the standard keys of a 240 x 120 background and every extra but the balance's.
void writeMaskWithExtras(const QString &path)
{
    TextFile::writeLines(path, {"[Vorlan Mask]", "BackImage=back.bmp", "BackColor=65280", "Author=Hand",
                                "TimeDigits=digits.bmp", "TitleChars=chars.bmp", "SliderBack=groove.bmp",
                                "VolumeBar=vbar.bmp", "VolumeBarFrames=4", "VolumeThumb=vthumb.bmp",
                                "LoopBtnOn=loopon.bmp", "Shape=shape.txt", "Volume Bar-W=68",
                                "Volume Bar-H=13", "Volume Bar-T=57", "Volume Bar-L=107"});
}

} // namespace

class ExtrasTest : public QObject
{
    Q_OBJECT

    QString m_dir;

private slots:
    void init()
    {
        m_dir = vorlantest::tempDir();
        writeImages(m_dir);
        writeExtras(m_dir);
    }

    void aLoadedMaskWithExtrasFillsTheExtrasPageAndThePlacement()
    {
        const QString path = m_dir + "/extras.msk";
        writeMaskWithExtras(path);
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        answers.openFiles << path;
        w.LoadMaskAction->trigger();
        ExtrasPage *page = w.Extras;
        QCOMPARE(page->name(ExtrasPage::TimeDigits)->text(), QStringLiteral("digits.bmp"));
        QCOMPARE(page->name(ExtrasPage::TitleChars)->text(), QStringLiteral("chars.bmp"));
        QCOMPARE(page->name(ExtrasPage::SliderBack)->text(), QStringLiteral("groove.bmp"));
        QCOMPARE(page->name(ExtrasPage::VolumeBar)->text(), QStringLiteral("vbar.bmp"));
        QCOMPARE(page->name(ExtrasPage::VolumeThumb)->text(), QStringLiteral("vthumb.bmp"));
        QCOMPARE(page->name(ExtrasPage::LoopOn)->text(), QStringLiteral("loopon.bmp"));
        QCOMPARE(page->name(ExtrasPage::Shape)->text(), QStringLiteral("shape.txt"));
        QCOMPARE(page->name(ExtrasPage::BalanceBar)->text(), QString());
        QCOMPARE(page->name(ExtrasPage::RandOn)->text(), QString());
        QCOMPARE(page->VolumeBarFrames->value(), 4);

        // The bar's marker lies where the mask puts it and shows the bar's first frame.
        MarkerButton *bar = w.placement()->extraMarker(MaskFile::VolumeBarObject);
        QCOMPARE(bar->geometry(), QRect(107, 57, 68, 13));
        QCOMPARE(bar->picture().size(), QSize(68, 13));
        QCOMPARE(bar->picture().pixel(30, 6) & 0xFFFFFF, frameColor(0) & 0xFFFFFF);
        // The chooser lists it after the standard objects and shows its place.
        QCOMPARE(w.Objects->count(), MaskFile::ObjectCount + 2);
        QCOMPARE(w.Objects->itemText(MaskFile::AnimatedGif), QStringLiteral("Animated Gif"));
        QCOMPARE(w.Objects->itemText(MaskFile::ObjectCount), QStringLiteral("Volume Bar"));
        QCOMPARE(w.Objects->itemText(MaskFile::ObjectCount + 1), QStringLiteral("Balance Bar"));
        w.Objects->setCurrentIndex(MaskFile::ObjectCount);
        QCOMPARE(QRect(w.SL->value(), w.ST->value(), w.SW->value(), w.SH->value()), QRect(107, 57, 68, 13));

        // The placement window wears the mask's outline, not the colour's.
        const QRegion outline = w.placement()->mask();
        QVERIFY(outline.contains(QPoint(120, 60)));
        QVERIFY(outline.contains(QPoint(1, 60))); // lime, but inside the shape
        QVERIFY(!outline.contains(QPoint(2, 117)));
        QCOMPARE(outline, RegionFile::region({extrasOutline()}, QRect(0, 0, 240, 120)));
        // Shown again, it keeps the outline.
        w.placement()->hide();
        w.placement()->show();
        QCOMPARE(w.placement()->mask(), outline);

        // Saved unchanged, the mask writes its extras as it read them.
        const QString again = m_dir + "/again.msk";
        QVERIFY(w.document().save(again));
        QCOMPARE(valueOf(again, "TimeDigits"), QStringLiteral("digits.bmp"));
        QCOMPARE(valueOf(again, "VolumeBarFrames"), QStringLiteral("4"));
        QCOMPARE(valueOf(again, "Volume Bar-L"), QStringLiteral("107"));
        QCOMPARE(valueOf(again, "Shape"), QStringLiteral("shape.txt"));
        QVERIFY(!keysOf(again).contains("BalanceBar"));

        // Cleared, the shape gives the window back to the colour.
        page->clearer(ExtrasPage::Shape)->click();
        QCOMPARE(w.document().mask().shape, QString());
        QVERIFY(!w.placement()->mask().contains(QPoint(1, 60)));
        QVERIFY(w.placement()->mask().contains(QPoint(120, 60)));
    }

    void aPickedExtraIsSavedAndARefusedOneIsNot()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        fillWizard(w, answers, m_dir);
        ExtrasPage *page = w.Extras;
        answers.openFiles << m_dir + "/digits.bmp";
        page->picker(ExtrasPage::TimeDigits)->click();
        QCOMPARE(answers.openFilters.last(), QStringLiteral("Pictures (*.bmp *.png)"));
        answers.openFiles << m_dir + "/loopon.bmp";
        page->picker(ExtrasPage::LoopOn)->click();
        answers.openFiles << m_dir + "/shape.txt";
        page->picker(ExtrasPage::Shape)->click();
        QCOMPARE(answers.openFilters.last(), QStringLiteral("Shapes (*.txt)"));
        // A picture too narrow for twelve digits, and a text that is no outline, are refused and said so.
        answers.messages.clear();
        QImage(8, 13, QImage::Format_RGB32).save(m_dir + "/narrow.bmp");
        answers.openFiles << m_dir + "/narrow.bmp";
        page->picker(ExtrasPage::TimeDigits)->click();
        TextFile::writeLines(m_dir + "/words.txt", {"no points here"});
        answers.openFiles << m_dir + "/words.txt";
        page->picker(ExtrasPage::Shape)->click();
        QCOMPARE(answers.messages.size(), 2);
        QVERIFY(answers.messages.at(0).contains("narrow.bmp"));
        QVERIFY(answers.messages.at(1).contains("words.txt"));
        QCOMPARE(page->name(ExtrasPage::TimeDigits)->text(), QStringLiteral("digits.bmp"));

        const QString path = m_dir + "/picked.msk";
        answers.saveFiles << path;
        QVERIFY(w.saveWindow()->SaveBtnClick());
        // The extras follow the standard keys, each once, and only those used.
        const QStringList keys = keysOf(path);
        QCOMPARE(keys.mid(keys.indexOf("Author") + 1), QStringList({"TimeDigits", "LoopBtnOn", "Shape"}));
        const QByteArray bytes = bytesOf(path);
        QVERIFY(bytes.contains("TimeDigits=digits.bmp\r\nLoopBtnOn=loopon.bmp\r\nShape=shape.txt\r\n") ||
                bytes.contains("TimeDigits=digits.bmp\nLoopBtnOn=loopon.bmp\nShape=shape.txt\n"));
    }

    void theVolumeBarIsSizedToAFrameAndDraggedIntoPlace()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        fillWizard(w, answers, m_dir);
        ExtrasPage *page = w.Extras;
        MarkerButton *bar = w.placement()->extraMarker(MaskFile::VolumeBarObject);
        // Without its picture the bar has no marker in the way of the others.
        QVERIFY(bar->isHidden());
        QVERIFY(w.placement()->extraMarker(MaskFile::BalanceBarObject)->isHidden());
        page->VolumeBarFrames->setValue(4);
        answers.openFiles << m_dir + "/vbar.bmp";
        page->picker(ExtrasPage::VolumeBar)->click();
        QVERIFY(!bar->isHidden());
        QCOMPARE(bar->size(), QSize(68, 13));
        QCOMPARE(bar->picture().pixel(3, 3) & 0xFFFFFF, frameColor(0) & 0xFFFFFF);
        // Cut into two frames, the bar is twice as tall.
        page->VolumeBarFrames->setValue(2);
        QCOMPARE(bar->size(), QSize(68, 26));
        page->VolumeBarFrames->setValue(4);

        // Dragged by the user; the fields show it once it is chosen.
        const QPoint from = bar->pos();
        drag(bar, QPoint(3, 3), QPoint(-40, -30));
        QCOMPARE(bar->pos(), from + QPoint(-40, -30));
        w.Objects->setCurrentIndex(MaskFile::ObjectCount);
        QCOMPARE(QPoint(w.SL->value(), w.ST->value()), from + QPoint(-40, -30));
        // Typed, its size follows (a bar is no glyph button).
        w.SW->setValue(60);
        QCOMPARE(bar->width(), 60);

        const QString path = m_dir + "/bar.msk";
        answers.saveFiles << path;
        QVERIFY(w.saveWindow()->SaveBtnClick());
        QCOMPARE(valueOf(path, "VolumeBar"), QStringLiteral("vbar.bmp"));
        QCOMPARE(valueOf(path, "VolumeBarFrames"), QStringLiteral("4"));
        QCOMPARE(valueOf(path, "Volume Bar-L"), QString::number(from.x() - 40));
        QCOMPARE(valueOf(path, "Volume Bar-T"), QString::number(from.y() - 30));
        QCOMPARE(valueOf(path, "Volume Bar-W"), QStringLiteral("60"));
        QCOMPARE(valueOf(path, "Volume Bar-H"), QStringLiteral("13"));
        // The balance bar is not used: none of its keys.
        QVERIFY(!keysOf(path).contains("Balance Bar-L"));
        // The standard objects keep their keys where they were.
        QCOMPARE(valueOf(path, "Play Buttom-L"), QStringLiteral("120"));
    }

    void aMaskWithoutExtrasIsSavedAsBefore()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        fillWizard(w, answers, m_dir);
        const QString plain = m_dir + "/plain.msk";
        QVERIFY(w.document().save(plain));
        for (const QString &key : ExtraKeys)
            QVERIFY2(!keysOf(plain).contains(key), qPrintable(key));
        // The same as the mask written without anything of the extras, their places too.
        MaskFile standard = w.document().mask();
        standard.extraObjects = MaskFile::defaults(MaskReader::EditorLoad).extraObjects;
        const QString bare = m_dir + "/bare.msk";
        QVERIFY(standard.save(bare));
        QCOMPARE(bytesOf(plain), bytesOf(bare));

        // Extras picked, moved and cleared again leave the file as it was.
        ExtrasPage *page = w.Extras;
        answers.openFiles << m_dir + "/vbar.bmp" << m_dir + "/digits.bmp" << m_dir + "/shape.txt";
        page->picker(ExtrasPage::VolumeBar)->click();
        page->picker(ExtrasPage::TimeDigits)->click();
        page->picker(ExtrasPage::Shape)->click();
        drag(w.placement()->extraMarker(MaskFile::VolumeBarObject), QPoint(2, 2), QPoint(5, 5));
        for (int i = 0; i < ExtrasPage::ItemCount; ++i)
            page->clearer(ExtrasPage::Item(i))->click();
        const QString cleared = m_dir + "/cleared.msk";
        QVERIFY(w.document().save(cleared));
        QCOMPARE(bytesOf(cleared), bytesOf(plain));
    }

    void theImportMenuTellsWhyASkinCouldNotBeImported()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        const QList<QAction *> files = w.menuBar()->actions().first()->menu()->actions();
        QCOMPARE(files.at(files.indexOf(w.LoadMaskAction) + 1), w.ImportClassicSkinAction);
        QCOMPARE(w.ImportClassicSkinAction->text(), QStringLiteral("Import Classic Skin..."));
        // Not a skin at all: the importer refuses it and the warning says why.
        QFile junk(m_dir + "/junk.wsz");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a zip");
        junk.close();
        answers.openFiles << junk.fileName();
        w.ImportClassicSkinAction->trigger();
        QCOMPARE(answers.openFilters, QStringList{"Classic Skins (*.wsz *.zip)"});
        QCOMPARE(answers.warnings.size(), 1);
        QVERIFY2(answers.warnings.first().contains(QStringLiteral("\"junk.wsz\" is not a classic skin")),
                 qPrintable(answers.warnings.first()));
        QVERIFY(answers.messages.isEmpty());
        QCOMPARE(w.BackImage->text(), QString());
        QVERIFY(!w.placement()->isVisible());
        // Cancelled, nothing is imported.
        w.ImportClassicSkinAction->trigger();
        QCOMPARE(answers.warnings.size(), 1);
    }

    void anImportedSkinIsLoadedAndSummed()
    {
        // The importer is stood in for: what the wizard does with a mask it made is tested here.
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        const QString made = m_dir + "/extras.msk";
        writeMaskWithExtras(made);
        QStringList asked;
        w.classicImporter()->setImport([&](const QString &source, const QString &masks) {
            asked << source << masks;
            ClassicImport result;
            result.maskPath = made;
            result.leftOut = QStringList{"playpaus.bmp", "pledit.txt"};
            return result;
        });
        answers.openFiles << "/skins/Night Owl.wsz";
        w.ImportClassicSkinAction->trigger();
        QCOMPARE(asked, QStringList({"/skins/Night Owl.wsz", m_dir}));
        QCOMPARE(w.BackImage->text(), QStringLiteral("back.bmp"));
        QCOMPARE(w.Extras->name(ExtrasPage::TimeDigits)->text(), QStringLiteral("digits.bmp"));
        QVERIFY(w.placement()->isVisible());
        QCOMPARE(answers.messages,
                 QStringList{QStringLiteral("The skin \"Night Owl\" is now the mask \"%1\".\n\n"
                                            "What the mask leaves out or does otherwise:\n"
                                            "playpaus.bmp\npledit.txt")
                                 .arg(QDir::toNativeSeparators(made))});
        QVERIFY(answers.warnings.isEmpty());
        // Without anything left out, the summary says only what was made.
        ClassicImport whole;
        whole.maskPath = made;
        QCOMPARE(
            ClassicImporter::summary("/skins/Plain.wsz", whole),
            QStringLiteral("The skin \"Plain\" is now the mask \"%1\".").arg(QDir::toNativeSeparators(made)));
    }
};

VORLAN_TEST_CLASS(ExtrasTest)
#include "ExtrasTest.moc"

// The preferences inside the whole player: opened from the strip, the skin and the menu, OK spreads the
// colours and choices over every window in order, Cancel keeps what was changed for later, the colour list,
// the timed shutdown's hints, the output choices that act at once, and the file types with the chosen icons.
#include "player/PreferencesWindow.h"
#include "engine/EqualizerWindow.h"
#include "engine/TXaudioPlayer.h"
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
#include "platform/FileTypes.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryStore.h"
#include "platform/SystemColors.h"
#include "platform/XdgKeyFile.h"
#include "player/FileAssociations.h"
#include "player/MainWindow.h"
#include "player/PlaybackController.h"
#include "player/PlayerActions.h"
#include "player/PreferencesEnginePage.h"
#include "player/PreferencesInterfacePage.h"
#include "player/PreferencesMasksPage.h"
#include "player/PreferencesPlayListPage.h"
#include "player/PreferencesShutdownPage.h"
#include "player/PreferencesVorlanPage.h"
#include "player/RadioGroup.h"
#include "player/Settings.h"
#include "player/SettingsApplier.h"
#include "player/TrayIcons.h"
#include "player/VorlanApp.h"
#include "playlist/PlaylistWindow.h"
#include "tests/TestMain.h"
#include "widgets/AngleLabel.h"
#include "widgets/FlashLabel.h"
#include "widgets/FlatButton.h"
#include "widgets/KnobBar.h"
#include "widgets/ScrollingText.h"
#include "widgets/TFountainFill.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace
{

const QColor Red(200, 0, 0);
const QColor Yellow(255, 230, 0);

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// How much of a picture is (nearly) the colour.
double share(const QImage &image, const QColor &color)
{
    qint64 hits = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - color.red()) < 12 && qAbs(c.green() - color.green()) < 12 &&
                qAbs(c.blue() - color.blue()) < 12)
                ++hits;
        }
    return double(hits) / double(qMax(1, image.width() * image.height()));
}

bool hasReddish(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 140 && c.green() < 70 && c.blue() < 70)
                return true;
        }
    return false;
}

} // namespace

class PreferencesWindowTest : public QObject
{
    Q_OBJECT

    QString m_dir = vorlantest::tempDir();
    QString m_home = m_dir + QStringLiteral("/home");
    VorlanApp *m_app = nullptr;

    PreferencesWindow *prefs() const { return m_app->preferencesWindow(); }
    const SettingsApplier::Targets &t() const { return m_app->settingsApplier()->targets(); }
    PreferencesInterfacePage *colors() const { return prefs()->interfacePage(); }
    PreferencesEnginePage *engine() const { return prefs()->enginePage(); }
    PreferencesPlayListPage *playList() const { return prefs()->playListPage(); }
    PreferencesVorlanPage *vorlan() const { return prefs()->vorlanPage(); }
    PreferencesShutdownPage *shutdown() const { return prefs()->shutdownPage(); }
    PreferencesMasksPage *masks() const { return prefs()->masksPage(); }
    SkinnedFace *face() const { return m_app->skinnedWindow()->face(); }

    // Opens the preferences the way the strip's "P" does.
    void open()
    {
        QTest::keyClick(m_app->mainWindow(), Qt::Key_P);
        QTRY_VERIFY(prefs()->isVisible());
    }

    void chooseColors(const QColor &c1, const QColor &c2)
    {
        colors()->setColorChooser([c1](QWidget *, const QColor &) { return std::optional<QColor>(c1); });
        colors()->CP1->click();
        colors()->setColorChooser([c2](QWidget *, const QColor &) { return std::optional<QColor>(c2); });
        colors()->CP2->click();
    }

private slots:
    void initTestCase()
    {
        QDir().mkpath(m_home);
        qputenv("VORLAN_HOME", m_home.toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_dir + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_DATA_HOME", (m_dir + QStringLiteral("/data")).toUtf8());
        RegistryStore().writeBool(QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance"), QStringLiteral("Allow"),
                                  true);
        write(m_home + QStringLiteral("/Vorlan.cfg"), "[Setting]\r\nOutputModule=2\r\nAutoPlay=0\r\n");
        write(m_home + QStringLiteral("/Vorlan.vln"), QByteArray());
        auto *boxes = new QTimer(this);
        connect(boxes, &QTimer::timeout, this, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                qWarning("modal box: %s", qPrintable(box->text()));
                box->close();
            }
        });
        boxes->start(100);
        m_app = new VorlanApp({});
        QVERIFY(m_app->startUp());
        m_app->skinnedWindow()->setFlyOffDelay(0);
        // Nothing may wait for a person.
        playList()->setFontChooser([](QWidget *, const QFont &) { return std::optional<QFont>(); });
        engine()->setFolderChooser([](QWidget *, const QString &) { return QString(); });
        masks()->setMaskChooser([](QWidget *, const QString &) { return QString(); });
    }

    void cleanupTestCase() { delete m_app; }

    void init()
    {
        if (prefs()->isVisible())
            prefs()->CancelBtnClick();
    }

    void opensFromTheStripTheSkinAndTheMenuWithTheGradientsColours()
    {
        // Its controls start as a new user finds them.
        QCOMPARE(prefs()->windowTitle(), QStringLiteral("Preferences"));
        QStringList tabs;
        for (int i = 0; i < prefs()->Tabs->count(); ++i)
            tabs << prefs()->Tabs->tabText(i);
        QCOMPARE(tabs,
                 (QStringList{"Interface", "MP3 Engine", "Play List", "Vorlan", "Timer Shutdown", "Masks"}));
        QCOMPARE(shutdown()->ShutDownGroup->itemIndex(), 3);
        QCOMPARE(shutdown()->ShutDownGroup->item(3)->text(), QStringLiteral("Windows Shutdown :)"));
        QCOMPARE(shutdown()->STime->value(), 5);
        QCOMPARE(shutdown()->NSongs->value(), 5);
        QCOMPARE(shutdown()->STime->maximum(), 999);
        QCOMPARE(vorlan()->Icon1->maximum(), 21);
        QCOMPARE(engine()->Module->itemIndex(), 2); // from Vorlan.cfg
        QVERIFY(masks()->UseMask->isChecked());
        QVERIFY(vorlan()->ActiveGif->isChecked() && vorlan()->AniTray->isChecked());
        QVERIFY(!vorlan()->AutoPlay->isChecked()); // from Vorlan.cfg
        QVERIFY(!vorlan()->Multi->isChecked() ||
                RegistryStore().readBool(QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance"),
                                         QStringLiteral("Allow"), false));
        QCOMPARE(colors()->ColorName->maxLength(), 30);

        // The pickers take what the gradient shows, even after a change that was cancelled.
        open();
        QVERIFY(prefs()->isModal());
        QCOMPARE(colors()->color1(), m_app->preferencesWindow()->settings()->color1);
        chooseColors(Red, Yellow);
        prefs()->CancelBtnClick();
        QVERIFY(!prefs()->isVisible());
        QCOMPARE(colors()->color1(), SystemColors::toValue(Red));
        emit face()->configClicked();
        QTRY_VERIFY(prefs()->isVisible());
        QCOMPARE(SystemColors::fromValue(colors()->color1()), m_app->mainWindow()->color1());
        prefs()->CancelBtnClick();
        QSignalSpy finished(prefs(), &QDialog::finished);
        m_app->actions()->preferences->trigger();
        QVERIFY(prefs()->isVisible());
        prefs()->CancelBtnClick();
        QCOMPARE(finished.count(), 1);
    }

    void okSpreadsTheTwoColoursOverEveryWindow()
    {
        open();
        chooseColors(Red, Yellow);
        // The preview shows them at once; the windows wait for OK.
        QCOMPARE(colors()->FountainFill1->FromColor(), Red);
        QCOMPARE(colors()->FountainFill1->ToColor(), Yellow);
        QVERIFY(m_app->mainWindow()->color1() != Red);
        QSignalSpy steps(m_app->settingsApplier(), &SettingsApplier::stepApplied);
        prefs()->OkBtn->click();
        QVERIFY(!prefs()->isVisible());
        QCOMPARE(steps.count(), 8);

        // The strip: its gradient runs from the first colour at the top to the second at the bottom.
        MainWindow *main = m_app->mainWindow();
        QCOMPARE(main->FountainFill1->FromColor(), Red);
        QCOMPARE(main->FountainFill1->ToColor(), Yellow);
        main->resize(MainWindow::StripWidth, 400);
        const QImage strip = main->FountainFill1->grab().toImage();
        QCOMPARE(strip.pixelColor(2, 0), Red);
        QCOMPARE(strip.pixelColor(2, strip.height() - 1), Yellow);

        // The playlist: its list lies on the second colour, its bottom strip runs back to the first.
        PlaylistWindow *list = m_app->playlistWindow();
        list->resize(360, 300);
        const QImage listPicture = list->grab().toImage();
        QVERIFY2(share(listPicture, Yellow) > 0.3, qPrintable(QString::number(share(listPicture, Yellow))));

        // The skin: title, time, volume and balance in the first colour, the lettered labels in the second.
        QCOMPARE(face()->Title->textColor(), Red);
        QCOMPARE(face()->PlayTime->textColor(), Red);
        QCOMPARE(face()->VolumeBar->textColor(), Red);
        QCOMPARE(face()->BalanceBar->textColor(), Red);
        QCOMPARE(face()->ExitBtn->palette().color(QPalette::ButtonText), Red);
        for (FlashLabel *l :
             {face()->PlayList, face()->Equalizer, face()->Information, face()->Configration, face()->OnTop})
            QCOMPARE(l->unlitColor(), Yellow);
        QCOMPARE(face()->VolumeBar->restColor(), Red);
        QCOMPARE(face()->VolumeBar->pressColor(), Yellow);
        face()->setTimeText(QStringLiteral("[12:34]"));
        QVERIFY(hasReddish(face()->PlayTime->grab().toImage()));

        // The preferences' own frame: top and left start in the first colour, bottom and right end in it.
        QCOMPARE(prefs()->TopFill->FromColor(), Red);
        QCOMPARE(prefs()->LeftFill->FromColor(), Red);
        QCOMPARE(prefs()->BottomFill->ToColor(), Red);
        QCOMPARE(prefs()->RightFill->ToColor(), Red);
        QCOMPARE(prefs()->Label8->palette().color(QPalette::WindowText), Yellow);

        // The small windows' title strips start in the first colour.
        auto *eqTitle = t().equalizer->findChild<TFountainFill *>(QStringLiteral("TitleFill"));
        QVERIFY(eqTitle);
        QCOMPARE(eqTitle->FromColor(), Red);

        // And the colours are kept.
        m_app->SaveSettings();
        const ProfileFile cfg(VorlanApp::configPath());
        QCOMPARE(cfg.readInteger(Settings::SectionName, QStringLiteral("Color1"), 0),
                 SystemColors::toValue(Red));
        QCOMPARE(cfg.readInteger(Settings::SectionName, QStringLiteral("Color2"), 0),
                 SystemColors::toValue(Yellow));
    }

    void applyRunsInItsOrderAndCancelKeepsTheChangesForTheNext()
    {
        open();
        QSignalSpy steps(m_app->settingsApplier(), &SettingsApplier::stepApplied);
        shutdown()->NSongs->setValue(42);
        vorlan()->LeftDock->setChecked(false);
        vorlan()->RightDock->setChecked(true);
        vorlan()->ShowHints->setChecked(false);
        vorlan()->Icon1->setValue(7);
        vorlan()->Icon2->setValue(8);
        prefs()->CancelBtn->click();
        QVERIFY(!prefs()->isVisible());
        QCOMPARE(steps.count(), 0);
        QCOMPARE(shutdown()->NSongs->value(), 42);
        QVERIFY(vorlan()->RightDock->isChecked());
        QCOMPARE(m_app->mainWindow()->trayIcon1(), 1);
        // The preview beside the spin box follows it.
        QCOMPARE(vorlan()->IconImage1->pixmap().toImage(), TrayIcons::pixmap(7, 32).toImage());

        // The next Apply takes them, in its order.
        prefs()->Apply();
        QStringList order;
        for (const auto &args : steps)
            order << args.at(0).toString();
        QCOMPARE(order,
                 (QStringList{"docking", "font", "shutdown", "tray", "colors", "mask", "registry", "hints"}));
        QVERIFY(!m_app->mainWindow()->dockedLeft());
        QVERIFY(!m_app->mainWindow()->showHints());
        QCOMPARE(m_app->mainWindow()->trayIcon1(), 7);
        QCOMPARE(m_app->mainWindow()->trayIcon2(), 8);
        QCOMPARE(prefs()->settings()->shutNumSong, 42);
        vorlan()->ShowHints->setChecked(true);
        prefs()->Apply();
    }

    void outputChoicesActAtOnce()
    {
        open();
        EqualizerWindow *eq = t().equalizer;
        engine()->Module->item(0)->click();
        QCOMPARE(m_app->controller()->outputModule(), OutputModule::SoundServer);
        QVERIFY(eq->PitchBar->isEnabled());
        eq->PitchBar->setValue(1500);
        engine()->Module->item(1)->click();
        QCOMPARE(m_app->controller()->outputModule(), OutputModule::WaveDevice);
        QVERIFY(!eq->PitchBar->isEnabled());
        QCOMPARE(eq->PitchLabel->text(), QStringLiteral("Pitch"));
        engine()->Module->item(2)->click();
        QCOMPARE(m_app->controller()->outputModule(), OutputModule::WavFile);
        engine()->XPriority->item(1)->click();
        QCOMPARE(t().player->Priority(), 1);
        engine()->ChannelsRadioGroup->item(3)->click();
        QCOMPARE(prefs()->settings()->outputControl, 3);
        QVERIFY(!engine()->ReplayGain->isChecked());
        engine()->ReplayGain->click();
        QVERIFY(m_app->controller()->replayGain());

        // The folder, the font and the alignment wait for OK.
        engine()->setFolderChooser([this](QWidget *, const QString &) { return m_dir; });
        engine()->TransparentButton1->click();
        QCOMPARE(engine()->DirLabel->text(), m_dir);
        QFont chosen(QStringLiteral("DejaVu Serif"));
        chosen.setPointSize(13);
        playList()->setFontChooser(
            [chosen](QWidget *, const QFont &) { return std::optional<QFont>(chosen); });
        playList()->PlayListFont->click();
        playList()->AlignmentBox->item(1)->click();
        QVERIFY(m_app->playlistWindow()->listFontSize() != 13);
        prefs()->OkBtn->click();
        QCOMPARE(m_app->playlistWindow()->listFontSize(), 13);
        QCOMPARE(m_app->playlistWindow()->alignment(), 1);
        QCOMPARE(face()->Title->font().family(), m_app->playlistWindow()->listFontName());
        m_app->SaveSettings();
        const ProfileFile cfg(VorlanApp::configPath());
        QCOMPARE(cfg.readString(Settings::SectionName, QStringLiteral("OutPutDir")), m_dir);
        QCOMPARE(cfg.readInteger(Settings::SectionName, QStringLiteral("OutputControl"), 0), 3);
        QCOMPARE(cfg.readInteger(Settings::SectionName, QStringLiteral("XPriority"), 0), 1);
        QCOMPARE(cfg.readInteger(Settings::SectionName, QStringLiteral("ReplayGain"), 0), 1);
        engine()->ReplayGain->click();
        QVERIFY(!m_app->controller()->replayGain());
    }

    void theColourListAddsPicksAndRemoves()
    {
        const QString list = m_home + QStringLiteral("/VoColors.mnu");
        QCOMPARE(colors()->colorListPath(), list);
        // Four entries, the last one damaged: its colours are no numbers.
        write(list,
              "One\r\n255\r\n65535\r\nTwo\r\n0\r\n16777215\r\nThree\r\n1\r\n2\r\nBroken\r\nred\r\n\r\n");
        colors()->loadColorList();
        QCOMPARE(colors()->BestColor->count(), 4);
        open();

        colors()->BestColor->setCurrentIndex(0);
        colors()->BestColorChange(0);
        QCOMPARE(colors()->color1(), 255);
        QCOMPARE(colors()->color2(), 65535);
        QCOMPARE(colors()->FountainFill1->FromColor(), SystemColors::fromValue(255));
        colors()->BestColorChange(3);
        QCOMPARE(colors()->color1(), 0xFFFFFF);
        QCOMPARE(colors()->color2(), 0);

        // ADD without a name counts on from the entries there are.
        colors()->ColorName->clear();
        colors()->CAddBtn->click();
        QCOMPARE(colors()->BestColor->count(), 5);
        QCOMPARE(colors()->BestColor->itemText(4), QStringLiteral("Vorlan Color 5"));
        QVERIFY(read(list).endsWith("Vorlan Color 5\r\n16777215\r\n0\r\n"));
        colors()->ColorName->setText(QStringLiteral("Dusk"));
        colors()->CAddBtn->click();
        QCOMPARE(colors()->BestColor->itemText(5), QStringLiteral("Dusk"));

        // REMOVE takes the chosen entry; the last one takes the file along.
        colors()->BestColor->setCurrentIndex(1);
        colors()->CRemoveBtn->click();
        QCOMPARE(colors()->BestColor->count(), 5);
        QVERIFY(!read(list).contains("Two\r\n"));
        while (colors()->BestColor->count() > 0) {
            colors()->BestColor->setCurrentIndex(0);
            colors()->CRemoveBtn->click();
        }
        QVERIFY(!QFile::exists(list));
        prefs()->CancelBtnClick();

        // Random colours need two pairs to choose from; a song start then applies one of them everywhere.
        QVERIFY(!prefs()->pickRandomBestColor());
        write(list, "A\r\n255\r\n255\r\nB\r\n255\r\n255\r\n");
        QVERIFY(prefs()->pickRandomBestColor());
        QCOMPARE(m_app->mainWindow()->color1(), SystemColors::fromValue(255));
        QFile::remove(list);
        colors()->loadColorList();
    }

    void aChosenMaskBringsItsBestColours()
    {
        const QString mask = m_home + QStringLiteral("/Masks/Plain.msk");
        QDir().mkpath(m_home + QStringLiteral("/Masks"));
        write(mask, "[Vorlan Mask]\r\nBestColor1=32768\r\nBestColor2=12632256\r\n");
        QString startedIn;
        masks()->setMaskChooser([&](QWidget *, const QString &dir) {
            startedIn = dir;
            return mask;
        });
        open();
        QSignalSpy loaded(prefs(), &PreferencesWindow::maskLoaded);
        masks()->LoadBtn->click();
        QCOMPARE(loaded.count(), 1);
        QCOMPARE(startedIn, m_home + QStringLiteral("/Masks"));
        QVERIFY(!prefs()->isVisible());
        QCOMPARE(colors()->color1(), 32768);
        QCOMPARE(colors()->color2(), 12632256);
        QCOMPARE(m_app->mainWindow()->color1(), SystemColors::fromValue(32768));
        QCOMPARE(face()->Title->textColor(), SystemColors::fromValue(32768));
        QCOMPARE(prefs()->settings()->maskUsed, mask);
        masks()->ClearMaskClick();
        QVERIFY(prefs()->settings()->maskUsed.isEmpty());
        masks()->setMaskChooser([](QWidget *, const QString &) { return QString(); });
    }

    void timedShutdownSetsTheExitHints()
    {
        open();
        shutdown()->ShutDownGroup->item(0)->click();
        shutdown()->STime->setValue(7);
        prefs()->OkBtn->click();
        QCOMPARE(m_app->mainWindow()->ExitBtn->toolTip(), QStringLiteral("Shutdown after 7 min."));
        QCOMPARE(face()->ExitBtn->toolTip(), QStringLiteral("Shutdown after 7 min."));
        open();
        shutdown()->ShutDownGroup->item(2)->click();
        prefs()->OkBtn->click();
        QCOMPARE(m_app->mainWindow()->ExitBtn->toolTip(), QStringLiteral("Close."));
        QCOMPARE(face()->ExitBtn->toolTip(), QStringLiteral("Close."));
        open();
        shutdown()->ShutDownGroup->item(3)->click();
        prefs()->OkBtn->click();
    }

    void theMaskModeSwitchesFacesAndTheRegistryTakesMultipleInstances()
    {
        open();
        masks()->UseMask->setChecked(false);
        vorlan()->Multi->setChecked(false);
        vorlan()->ActiveGif->setChecked(false);
        prefs()->OkBtn->click();
        QTRY_VERIFY(m_app->mainWindow()->isVisible());
        QVERIFY(!m_app->skinnedWindow()->isVisible());
        QVERIFY(m_app->mainWindow()->hideTimerActive());
        QVERIFY(!RegistryStore().readBool(QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance"),
                                          QStringLiteral("Allow"), true));
        open();
        masks()->UseMask->setChecked(true);
        vorlan()->Multi->setChecked(true);
        vorlan()->ActiveGif->setChecked(true);
        prefs()->OkBtn->click();
        QTRY_VERIFY(m_app->skinnedWindow()->isVisible());
        QVERIFY(!m_app->mainWindow()->hideTimerActive());
        QVERIFY(RegistryStore().readBool(QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance"),
                                         QStringLiteral("Allow"), false));
        // Its place is kept.
        prefs()->move(123, 145);
        m_app->SaveSettings();
        WindowPlacement placement;
        QVERIFY(WindowPlacement::load(VorlanApp::configPath(), WindowPlacement::ConfigSection, &placement));
        QCOMPARE(placement.normPos.topLeft(), QPoint(123, 145));
    }

    void associatingWritesTheTypesWithTheChosenIcons()
    {
        const QString data = m_dir + QStringLiteral("/assoc-data"),
                      config = m_dir + QStringLiteral("/assoc-config");
        FileTypes types(data, config);
        types.setRunDatabaseTools(false);
        QVERIFY(FileAssociations::registerPlayer(types, QStringLiteral("/opt/vorlan/vorlan"), 5, 9));
        XdgKeyFile sound, lists, defaults;
        QVERIFY(sound.load(types.desktopFilePath(QStringLiteral("Vorlan Sound File"))));
        QVERIFY(lists.load(types.desktopFilePath(QStringLiteral("Vorlan PlayList File"))));
        QCOMPARE(sound.value(QStringLiteral("Desktop Entry"), QStringLiteral("Icon")),
                 QStringLiteral("vorlan-icon-5"));
        QCOMPARE(lists.value(QStringLiteral("Desktop Entry"), QStringLiteral("Icon")),
                 QStringLiteral("vorlan-icon-9"));
        QCOMPARE(sound.value(QStringLiteral("Desktop Entry"), QStringLiteral("Exec")),
                 FileTypes::openCommand(QStringLiteral("/opt/vorlan/vorlan")));
        QVERIFY(defaults.load(types.mimeAppsPath()));
        QVERIFY(defaults.list(QStringLiteral("Default Applications"), QStringLiteral("audio/mpeg"))
                    .contains(QStringLiteral("vorlan-sound-file.desktop")));
        // The pictures are the preferences' icons 5 and 9.
        const QImage five(data + QStringLiteral("/icons/hicolor/48x48/apps/vorlan-icon-5.png"));
        QCOMPARE(five.convertToFormat(QImage::Format_ARGB32),
                 TrayIcons::pixmap(5, 48).toImage().convertToFormat(QImage::Format_ARGB32));
        QVERIFY(QFile::exists(data + QStringLiteral("/icons/hicolor/16x16/apps/vorlan-icon-9.png")));

        // The button registers under the user's folders (this test's own).
        vorlan()->Icon1->setValue(3);
        vorlan()->Icon2->setValue(4);
        vorlan()->Registre->click();
        const QString userData = m_dir + QStringLiteral("/data");
        XdgKeyFile userSound;
        QVERIFY(userSound.load(userData + QStringLiteral("/applications/vorlan-sound-file.desktop")));
        QCOMPARE(userSound.value(QStringLiteral("Desktop Entry"), QStringLiteral("Icon")),
                 QStringLiteral("vorlan-icon-3"));
        QVERIFY(QFile::exists(userData + QStringLiteral("/icons/hicolor/32x32/apps/vorlan-icon-4.png")));
    }

    // Last: the player ends here.
    void aShutdownAfterOneSongPowersOffAndTheSkinnedPlayerEnds()
    {
        const QString log = m_dir + QStringLiteral("/poweroff.log");
        qputenv("VORLAN_POWEROFF_LOG", log.toUtf8());
        QVERIFY(m_app->skinnedWindow()->isVisible());
        open();
        shutdown()->ShutDownGroup->item(2)->click();
        shutdown()->NSongs->setValue(1);
        prefs()->OkBtn->click();
        m_app->controller()->setTickInterval(5);
        m_app->controller()->playFile(QStringLiteral(VORLAN_FIXTURES "/mpeg25-layer3.mp3"));
        QTRY_VERIFY_WITH_TIMEOUT(read(log).startsWith("PowerOff"), 20000);
        qunsetenv("VORLAN_POWEROFF_LOG");
        // Quitting asks every window on screen to close, and the skinned one answers by flying off instead:
        // none may be left, or the player stays after it asked for the power-off.
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), w->metaObject()->className());
    }
};

VORLAN_TEST_CLASS(PreferencesWindowTest)
#include "PreferencesWindowTest.moc"

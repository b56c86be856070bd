// The whole player in this process, wearing its skin as a new user sees it: its buttons play, its knobs set
// the volume, drops fill the playlist, and a double click goes to the strip and back.
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
#include "masks/TFormShaper.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryStore.h"
#include "player/MainWindow.h"
#include "player/PlaybackController.h"
#include "player/PlayerActions.h"
#include "player/VorlanApp.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistWindow.h"
#include "tests/TestMain.h"
#include "widgets/FlashLabel.h"
#include "widgets/FlatButton.h"
#include "widgets/Gauge.h"
#include "widgets/GlyphButton.h"
#include "widgets/KnobBar.h"
#include "widgets/MarginMenu.h"
#include "widgets/TFountainFill.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace
{

QString fixture(const char *name)
{
    return QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name);
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList wavFiles(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral("*.wav")}, QDir::Files);
}

void dragKnob(KnobBar *bar, int toX)
{
    const QPoint knob(bar->knobOffset() + KnobBar::KnobWidth / 2, KnobBar::KnobHeight / 2);
    QTest::mousePress(bar, Qt::LeftButton, {}, knob);
    QMouseEvent move(QEvent::MouseMove, QPointF(toX, knob.y()), bar->mapToGlobal(QPointF(toX, knob.y())),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(toX, knob.y()));
}

} // namespace

class SkinnedPlayerTest : public QObject
{
    Q_OBJECT

    QString m_dir = vorlantest::tempDir();
    QString m_home = m_dir + QStringLiteral("/home");
    QString m_out = m_dir + QStringLiteral("/out");
    QStringList m_songs;
    VorlanApp *m_app = nullptr;

    SkinnedWindow *skinned() const { return m_app->skinnedWindow(); }
    SkinnedFace *face() const { return m_app->skinnedWindow()->face(); }

private slots:
    void initTestCase()
    {
        QDir().mkpath(m_home);
        QDir().mkpath(m_out);
        qputenv("VORLAN_HOME", m_home.toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_dir + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_DATA_HOME", (m_dir + QStringLiteral("/data")).toUtf8());
        RegistryStore().writeBool(QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance"), QStringLiteral("Allow"),
                                  true);
        QByteArray vln;
        for (const char *name : {"tone-3s-mono.mp3", "sine-1k-44k-stereo.mp3"}) {
            const QString path = m_dir + QStringLiteral("/") + QLatin1String(name);
            QVERIFY(QFile::copy(fixture(name), path));
            m_songs << path;
            vln += QByteArray::number(m_songs.size()) + "\tSong\t00:00\t" + path.toUtf8() + "\r\n";
        }
        write(m_home + QStringLiteral("/Vorlan.vln"), vln);
        // No "BackMask" and no "MaskUsed": the skinned window with the built-in skin is the default face.
        write(m_home + QStringLiteral("/Vorlan.cfg"),
              "[Setting]\r\nOutputModule=2\r\nOutPutDir=" + m_out.toUtf8() + "\r\nLoop=0\r\nAutoPlay=0\r\n");
        // A refusal box would wait for a click nobody gives: report it and close it.
        auto *boxes = new QTimer(this);
        connect(boxes, &QTimer::timeout, this, [] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                if (auto *box = qobject_cast<QMessageBox *>(modal))
                    qWarning("modal box: %s", qPrintable(box->text()));
                modal->close();
            }
        });
        boxes->start(100);
        m_app = new VorlanApp({});
        QVERIFY(m_app->startUp());
        skinned()->setFlyOffDelay(0);
    }

    void cleanupTestCase()
    {
        if (m_app)
            m_app->controller()->stop();
        delete m_app;
    }

    void aNewUserSeesTheBuiltInSkin()
    {
        QTRY_VERIFY(skinned()->isVisible());
        QVERIFY(!m_app->mainWindow()->isVisible());
        // Shaped: the outline leaves out part of the window's rectangle, and every button lies inside it.
        const QRegion outline = skinned()->shaper()->region();
        QVERIFY(skinned()->shaper()->Active());
        QVERIFY(!outline.isEmpty());
        QVERIFY(outline != QRegion(skinned()->rect()));
        QCOMPARE(skinned()->size(), skinned()->shaper()->MaskedPicture()->Picture().size());
        for (int i = 0; i < MaskFile::ButtonCount; ++i) {
            const QRect r = face()->button(MaskFile::Button(i))->geometry();
            QVERIFY2(outline.contains(r.center()), qPrintable(MaskFile::ButtonKeys[i]));
            QVERIFY(face()->button(MaskFile::Button(i))->hasGlyph());
        }
        QVERIFY(face()->titleLines().join('\n').contains(QStringLiteral("Mask Author: ")));
        // The samples wait where "Change Mask" opens.
        for (const char *name : {"Vorlan.msk", "Ember.msk", "Tower.msk", "Tide.msk", "ember-back.bmp"})
            QVERIFY2(QFile::exists(m_home + QStringLiteral("/Masks/") + QLatin1String(name)), name);
    }

    void itsPlayButtonPlaysWhenTheStripWould()
    {
        PlaybackController *c = m_app->controller();
        c->setTickInterval(5);
        QSignalSpy states(c, &PlaybackController::stateChanged);
        QTest::mouseClick(face()->PlayBtn, Qt::LeftButton);
        // The WAV writer runs faster than real time: the song plays to its end at once.
        QTRY_VERIFY_WITH_TIMEOUT(states.contains(QVariantList{QVariant::fromValue(PlayState::Playing)}),
                                 10000);
        QTRY_COMPARE_WITH_TIMEOUT(c->state(), PlayState::Ended, 10000);
        const QStringList written = wavFiles(m_out);
        QCOMPARE(written.size(), 1);
        // 3 s of mono 16-bit sound at 44.1 kHz, give or take the encoder's frames.
        QVERIFY(QFileInfo(m_out + '/' + written.first()).size() > 44 + 2 * 44100 * 29 / 10);

        // The skin draws every button, but each acts only when the player offers it, as the strip shows:
        // with the song at its end, Pause and Stop do nothing, and the next state is the one Play brings.
        QVERIFY(!c->canPause() && !c->canStop() && c->canPlay());
        QVERIFY(m_app->mainWindow()->PauseBtn->isHidden() && m_app->mainWindow()->StopBtn->isHidden());
        states.clear();
        QTest::mouseClick(face()->PauseBtn, Qt::LeftButton);
        QTest::mouseClick(face()->StopBtn, Qt::LeftButton);
        QTest::mouseClick(face()->PlayBtn, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!states.isEmpty(), 10000);
        QCOMPARE(states.first(), QVariantList{QVariant::fromValue(PlayState::Playing)});
        QTRY_COMPARE_WITH_TIMEOUT(c->state(), PlayState::Ended, 10000);
    }

    void theMetersOfTheSkinShowTheLevels()
    {
        m_app->controller()->levelsChanged(120, 60);
        QCOMPARE(face()->VU_L->Progress(), 120);
        QCOMPARE(face()->VU_R->Progress(), 60);
    }

    void knobsSetTheStripsVolumeAndBalance()
    {
        MainWindow *main = m_app->mainWindow();
        dragKnob(face()->VolumeBar, 0);
        QCOMPARE(main->VolTrackBar->value(), 100); // silent at the left end
        QCOMPARE(m_app->controller()->volumePosition(), 100);
        dragKnob(face()->VolumeBar, face()->VolumeBar->barWidth());
        QCOMPARE(main->VolTrackBar->value(), 0);
        dragKnob(face()->BalanceBar, face()->BalanceBar->barWidth());
        QCOMPARE(main->BalTrack->value(), 99); // steps of 3: 33 px * 3
        dragKnob(face()->BalanceBar, face()->BalanceBar->barWidth() / 2);
        QCOMPARE(main->BalTrack->value(), 50);
        QCOMPARE(m_app->controller()->balancePosition(), 50);
        // With the balance where the knob left it, moving the volume shows the volume, not the balance.
        dragKnob(face()->BalanceBar, face()->BalanceBar->barWidth());
        QCOMPARE(m_app->controller()->balancePosition(), 99);
        dragKnob(face()->VolumeBar, 0);
        QCOMPARE(m_app->controller()->timeText(), QStringLiteral("00% V"));
    }

    void droppedFilesFillThePlaylistAndTheLastDecides()
    {
        PlaylistModel *list = m_app->playlist();
        const QString m3u = m_dir + QStringLiteral("/list.m3u");
        write(m3u, (m_songs.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(m_songs.first()), QUrl::fromLocalFile(m3u)});
        QDragEnterEvent dropEnter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(skinned(), &dropEnter);
        QVERIFY(dropEnter.isAccepted());
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(skinned(), &drop);
        QVERIFY(drop.isAccepted());
        // The list is cleared, the MP3 added, then the M3U list loaded: what remains is the list's songs.
        QTRY_COMPARE(list->count(), m_songs.size());
        for (int i = 0; i < m_songs.size(); ++i)
            QCOMPARE(list->entryPath(i), m_songs[i]);
    }

    void hideAllKeepsTheLitWindowsForShowAll()
    {
        QTest::mouseClick(face()->PlayList, Qt::LeftButton);
        QTRY_VERIFY(m_app->playlistWindow()->isVisible());
        QVERIFY(face()->playlistLit());
        // "Hide All" on the skin: without a tray the skinned window waits in the task bar, the playlist goes.
        QTest::mouseClick(face()->Minimize, Qt::LeftButton);
        QTRY_VERIFY(!m_app->playlistWindow()->isVisible());
        QVERIFY(face()->playlistLit());
        QVERIFY(!skinned()->isVisible() || skinned()->isMinimized());
        QVERIFY(!m_app->mainWindow()->isVisible());
        m_app->mainWindow()->ShowAll1Click();
        QTRY_VERIFY(skinned()->isVisible() && !skinned()->isMinimized());
        QTRY_VERIFY(m_app->playlistWindow()->isVisible());
        QVERIFY(!m_app->mainWindow()->isVisible());
        // The label closes what it opened.
        QTest::mouseClick(face()->PlayList, Qt::LeftButton);
        QTRY_VERIFY(!m_app->playlistWindow()->isVisible());
        QVERIFY(!face()->playlistLit());

        // Hidden again, and brought back from the task bar rather than by F12: the position and the meters
        // follow again, and the lit windows come back.
        QTest::mouseClick(face()->PlayList, Qt::LeftButton);
        QTRY_VERIFY(m_app->playlistWindow()->isVisible());
        QTest::mouseClick(face()->Minimize, Qt::LeftButton);
        QTRY_VERIFY(!m_app->playlistWindow()->isVisible());
        QVERIFY(!m_app->controller()->trackPosition());
        skinned()->showNormal();
        QTRY_VERIFY(m_app->playlistWindow()->isVisible());
        QVERIFY(m_app->controller()->trackPosition());
        QTest::mouseClick(face()->PlayList, Qt::LeftButton);
        QTRY_VERIFY(!m_app->playlistWindow()->isVisible());
    }

    void aRightClickOnTheSkinOpensThePlayersMenu()
    {
        // A place of the background, away from every control.
        QPoint at(-1, -1);
        for (int y = 0; y < skinned()->height() && at.x() < 0; y += 2)
            for (int x = 0; x < skinned()->width() && at.x() < 0; x += 2)
                if (skinned()->childAt(x, y) == face() &&
                    skinned()->shaper()->region().contains(QPoint(x, y)))
                    at = QPoint(x, y);
        QVERIFY(at.x() >= 0);
        QContextMenuEvent click(QContextMenuEvent::Mouse, face()->mapFrom(skinned(), at),
                                skinned()->mapToGlobal(at));
        QApplication::sendEvent(face(), &click);
        QMenu *menu = m_app->mainWindow()->popupMenu();
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(!menu->actions().isEmpty());
        menu->close();
        // Over a control it is the control's.
        QContextMenuEvent onButton(QContextMenuEvent::Mouse, QPoint(2, 2),
                                   face()->PlayBtn->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(face()->PlayBtn, &onButton);
        // The menu would pop up at once, as it did on the background.
        QVERIFY(!menu->isVisible());
    }

    void changeMaskLoadsTheChosenMaskAndKeepsIt()
    {
        QString offered;
        m_app->setMaskChooser([&offered, this](QWidget *, const QString &dir) {
            offered = dir;
            return m_home + QStringLiteral("/Masks/Ember.msk");
        });
        m_app->actions()->changeMask->trigger();
        QCOMPARE(offered, m_home + QStringLiteral("/Masks"));
        QCOMPARE(skinned()->maskPath(), m_home + QStringLiteral("/Masks/Ember.msk"));
        QCOMPARE(skinned()->size(), skinned()->shaper()->MaskedPicture()->Picture().size());
        QVERIFY(skinned()->size() != QSize(340, 148));
        QTRY_VERIFY(skinned()->isVisible());
        m_app->SaveSettings();
        QCOMPARE(ProfileFile(m_home + QStringLiteral("/Vorlan.cfg"))
                     .readString(QStringLiteral("Setting"), QStringLiteral("MaskUsed")),
                 m_home + QStringLiteral("/Masks/Ember.msk"));
        // Cancel changes nothing.
        m_app->setMaskChooser([](QWidget *, const QString &) { return QString(); });
        m_app->actions()->changeMask->trigger();
        QCOMPARE(skinned()->maskPath(), m_home + QStringLiteral("/Masks/Ember.msk"));
    }

    void doubleClickGoesToTheStripAndBack()
    {
        MainWindow *main = m_app->mainWindow();
        QTest::mouseDClick(face(), Qt::LeftButton, {}, QPoint(1, 1));
        QTRY_VERIFY(main->isVisible());
        QVERIFY(!skinned()->isVisible());
        m_app->SaveSettings();
        QCOMPARE(ProfileFile(m_home + QStringLiteral("/Vorlan.cfg"))
                     .readString(QStringLiteral("Setting"), QStringLiteral("BackMask")),
                 QStringLiteral("0"));
        main->FountainFill1DblClick();
        QTRY_VERIFY(skinned()->isVisible());
        QVERIFY(!main->isVisible());
        m_app->SaveSettings();
        QCOMPARE(ProfileFile(m_home + QStringLiteral("/Vorlan.cfg"))
                     .readString(QStringLiteral("Setting"), QStringLiteral("BackMask")),
                 QStringLiteral("1"));
    }
};

VORLAN_TEST_CLASS(SkinnedPlayerTest)
#include "SkinnedPlayerTest.moc"

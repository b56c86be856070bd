#include "engine/EqualizerWindow.h"
#include "engine/TXaudioPlayer.h"
#include "platform/TextFile.h"
#include "tests/TestMain.h"
#include "widgets/FlatButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <QValidator>
#include <algorithm>

#include <optional>

namespace
{

// The last record the decoder took: the bands, or nothing when the equalizer was switched off.
struct Records {
    QList<std::optional<XA_EqualizerInfo>> seen;
    explicit Records(TXaudioPlayer &p)
    {
        QObject::connect(&p, &TXaudioPlayer::OnNotifyCodecEqualizer, &p,
                         [this](const XA_EqualizerInfo *info) {
                             seen << (info ? std::optional<XA_EqualizerInfo>(*info) : std::nullopt);
                         });
    }
};

QStringList lines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    if (!bytes.endsWith("\r\n"))
        return {QStringLiteral("(no CR LF at the end)")};
    return QString::fromLatin1(bytes.chopped(2)).split(QStringLiteral("\r\n"));
}

} // namespace

class EqualizerWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void theSlidersBuildTheDecodersBandRecordAndUncheckedSwitchesItOff()
    {
        TXaudioPlayer player;
        Records records(player);
        EqualizerWindow w(&player);
        w.setEqualizerOn(true);
        QTRY_COMPARE(records.seen.size(), 1);

        // Slider 8 at 40 on both channels: bands 10..14 of each channel, nothing else.
        w.LSlider[7]->setValue(40);
        w.RSlider[7]->setValue(40);
        QTRY_COMPARE(records.seen.size(), 3);
        QVERIFY(records.seen.last().has_value());
        const XA_EqualizerInfo &r = *records.seen.last();
        for (int band = 0; band < 32; ++band) {
            const int want = band >= 10 && band <= 14 ? 40 : 0;
            QCOMPARE(int(r.left[band]), want);
            QCOMPARE(int(r.right[band]), want);
        }

        // Unchecked by the user: the switch-off, and a slider moved then sends the switch-off again.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.EnableCheckBox, Qt::LeftButton, {}, QPoint(8, w.EnableCheckBox->height() / 2));
        QVERIFY(!w.equalizerOn());
        QTRY_COMPARE(records.seen.size(), 4);
        QVERIFY(!records.seen.last().has_value());
        w.LSlider[0]->setValue(-30);
        QTRY_COMPARE(records.seen.size(), 5);
        QVERIFY(!records.seen.last().has_value());
        // Checked again: the record with both changes.
        QTest::mouseClick(w.EnableCheckBox, Qt::LeftButton, {}, QPoint(8, w.EnableCheckBox->height() / 2));
        QTRY_COMPARE(records.seen.size(), 6);
        QVERIFY(records.seen.last().has_value());
        QCOMPARE(int(records.seen.last()->left[0]), -30);
        QCOMPARE(int(records.seen.last()->right[12]), 40);

        // Reset sends one record of zeros, not one per slider.
        w.ResetBtn->click();
        QTRY_COMPARE(records.seen.size(), 7);
        QTest::qWait(50);
        QCOMPARE(records.seen.size(), 7);
        for (int band = 0; band < 32; ++band)
            QVERIFY(records.seen.last()->left[band] == 0 && records.seen.last()->right[band] == 0);
    }

    void rightEqualsLeftThenSaveWritesTheRightLinesAsTheLeft()
    {
        const QString folder = vorlantest::tempDir() + QStringLiteral("/Equalizer");
        EqualizerWindow w(nullptr);
        w.setPresetFolder(folder);
        QStringList labels;
        w.setNamePrompt([&](const QString &label, const QValidator *, int) -> std::optional<QString> {
            labels << label;
            return QStringLiteral("Mine");
        });
        for (int i = 0; i < 12; ++i) {
            w.LSlider[size_t(i)]->setValue(i * 13 - 70);
            w.RSlider[size_t(i)]->setValue(5);
        }
        w.LeftRight->click();
        for (int i = 0; i < 12; ++i)
            QCOMPARE(w.RSlider[size_t(i)]->value(), i * 13 - 70);
        w.SaveBtn->click();
        QCOMPARE(labels, QStringList{QStringLiteral("Please enter equalizer file name:")});
        const QStringList saved = lines(folder + QStringLiteral("/Mine"));
        QCOMPARE(saved.size(), 24);
        for (int i = 0; i < 12; ++i) {
            QCOMPARE(saved[i], QString::number(i * 13 - 70));
            QCOMPARE(saved[i + 12], saved[i]);
        }
        QCOMPARE(w.EQList->currentText(), QStringLiteral("Mine"));
    }

    void theSlidersStandAtEvenDistances()
    {
        TXaudioPlayer player;
        EqualizerWindow w(&player);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (const auto *sliders : {&w.LSlider, &w.RSlider}) {
            QList<int> gaps;
            for (size_t i = 1; i < sliders->size(); ++i)
                gaps << (*sliders)[i]->geometry().center().x() - (*sliders)[i - 1]->geometry().center().x();
            const auto [least, most] = std::minmax_element(gaps.begin(), gaps.end());
            QVERIFY2(*most - *least <= 2, qPrintable(QStringLiteral("%1 .. %2").arg(*least).arg(*most)));
        }
    }

    void aPresetIsSavedUnderTheNameAsTypedAndChoosingItLoadsIt()
    {
        const QString folder = vorlantest::tempDir() + QStringLiteral("/Equalizer");
        TXaudioPlayer player;
        Records records(player);
        EqualizerWindow w(&player);
        w.setEqualizerOn(true);
        w.setPresetFolder(folder);
        std::optional<QString> answer = QStringLiteral("Jazz.eq");
        const QValidator *validator = nullptr;
        int maxLength = 0;
        w.setNamePrompt([&](const QString &, const QValidator *v, int max) {
            validator = v;
            maxLength = max;
            return answer;
        });
        w.LSlider[2]->setValue(60);
        w.SaveBtn->click();
        QVERIFY(QFile::exists(folder + QStringLiteral("/Jazz.eq")));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("Jazz.eq")});
        // What the prompt lets through: up to 34 letters or digits.
        QVERIFY(validator);
        QCOMPARE(maxLength, 34);
        QString text = QString(34, u'a');
        int pos = 0;
        QCOMPARE(validator->validate(text, pos), QValidator::Acceptable);
        text = QStringLiteral("Rock2");
        QCOMPARE(validator->validate(text, pos), QValidator::Acceptable);
        for (QString bad :
             {QString(35, u'a'), QStringLiteral("a.b"), QStringLiteral("a b"), QStringLiteral("../x")})
            QCOMPARE(validator->validate(bad, pos), QValidator::Invalid);

        // Cancelled: nothing written.
        answer.reset();
        w.SaveBtn->click();
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);

        // Choosing the preset sets the sliders and sends them.
        w.ResetBtn->click();
        QCOMPARE(w.LSlider[2]->value(), 0);
        const qsizetype before = records.seen.size();
        const int index = w.EQList->findText(QStringLiteral("Jazz.eq"));
        QVERIFY(index >= 0);
        w.EQList->setCurrentIndex(index);
        emit w.EQList->activated(index);
        QCOMPARE(w.LSlider[2]->value(), 60);
        // Reset's own record may still be on its way: wait for the preset's.
        QTRY_VERIFY(records.seen.size() > before && records.seen.last().has_value() &&
                    int(records.seen.last()->left[2]) == 60);
    }

    void presetsComeOnFirstUseAndNeverReplaceTheUsersFiles()
    {
        const QString folder = vorlantest::tempDir() + QStringLiteral("/Equalizer");
        EqualizerWindow::installPresets(folder);
        const QStringList bundled{QStringLiteral("Bass Boost"),   QStringLiteral("Classical"),
                                  QStringLiteral("Loudness"),     QStringLiteral("Rock"),
                                  QStringLiteral("Treble Boost"), QStringLiteral("Voice")};
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), bundled);
        EqualizerSettings bass;
        QVERIFY(bass.load(folder + QStringLiteral("/Bass Boost")));
        QVERIFY(bass.left[0] > 40 && bass.left[11] == 0 && bass.right == bass.left);

        // The user's own "Rock" and a deleted preset stay as the user left them.
        QVERIFY(TextFile::writeLines(folder + QStringLiteral("/Rock"), {QStringLiteral("7")}));
        QVERIFY(QFile::remove(folder + QStringLiteral("/Voice")));
        EqualizerWindow::installPresets(folder);
        QCOMPARE(lines(folder + QStringLiteral("/Rock")), QStringList{QStringLiteral("7")});
        QVERIFY(!QFile::exists(folder + QStringLiteral("/Voice")));

        // The list: sorted without regard to case, folders included.
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/archive")));
        EqualizerWindow w(nullptr);
        w.setPresetFolder(folder);
        QStringList shown;
        for (int i = 0; i < w.EQList->count(); ++i)
            shown << w.EQList->itemText(i);
        QCOMPARE(shown, (QStringList{QStringLiteral("archive"), QStringLiteral("Bass Boost"),
                                     QStringLiteral("Classical"), QStringLiteral("Loudness"),
                                     QStringLiteral("Rock"), QStringLiteral("Treble Boost")}));
        // Choosing a folder or a broken file leaves the sliders as they are.
        w.LSlider[4]->setValue(11);
        emit w.EQList->activated(0);
        QCOMPARE(w.LSlider[4]->value(), 11);
        QVERIFY(!w.Load(folder + QStringLiteral("/missing")));
        QCOMPARE(w.LSlider[4]->value(), 11);
    }

    void thePitchBarSetsThePitchAndShowsItWhileMoving()
    {
        TXaudioPlayer player;
        QSignalSpy env(&player, &TXaudioPlayer::OnNotifyPlayerEnvironmentInteger);
        EqualizerWindow w(&player);
        QCOMPARE(w.PitchBar->value(), 1000);
        QCOMPARE(w.PitchLabel->text(), QStringLiteral("Pitch"));
        w.PitchBar->setSliderDown(true);
        w.PitchBar->setValue(1500);
        QCOMPARE(w.PitchLabel->text(), QStringLiteral("150 %"));
        w.PitchBar->setValue(10);
        QCOMPARE(w.PitchLabel->text(), QStringLiteral("01 %"));
        w.PitchBar->setValue(1234);
        QCOMPARE(w.PitchLabel->text(), QStringLiteral("123 %"));
        w.PitchBar->setSliderDown(false);
        QCOMPARE(w.PitchLabel->text(), QStringLiteral("Pitch"));
        player.GetPlayerEnvironmentInteger(QStringLiteral("OUTPUT.DIRECTSOUND.PITCH"));
        QTRY_COMPARE(env.count(), 1);
        QCOMPARE(env.first().at(1).toInt(), 1234);

        // Off the sound server the bar is off and at rest.
        w.PitchBar->setValue(900);
        QCOMPARE(w.PitchLabel->text(), QStringLiteral("90 %"));
        w.setPitchEnabled(false);
        QVERIFY(!w.PitchBar->isEnabled());
        QCOMPARE(w.PitchLabel->text(), QStringLiteral("Pitch"));
        w.setPitchEnabled(true);
        QVERIFY(w.PitchBar->isEnabled());
    }

    void theBodyDragsTheWindowAndShowingIsReported()
    {
        EqualizerWindow w(nullptr);
        QSignalSpy visible(&w, &EqualizerWindow::visibilityChanged);
        w.move(100, 100);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(visible.count(), 1);
        QCOMPARE(visible.last().at(0).toBool(), true);

        // The body around the sliders is no control: pressing it and moving drags the window.
        QWidget *target = w.LSlider[0]->parentWidget(); // the "Left" box, part of the body
        const QPoint at(target->width() / 2, 4);
        const QPoint start = w.pos();
        QTest::mousePress(target, Qt::LeftButton, {}, at);
        QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(30, 20)),
                         QPointF(target->mapToGlobal(at + QPoint(30, 20))), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(target, &move);
        QTest::mouseRelease(target, Qt::LeftButton, {}, at + QPoint(30, 20));
        QTRY_COMPARE(w.pos(), start + QPoint(30, 20));

        // "X" closes it, and says so.
        w.ExitBtn->click();
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(visible.last().at(0).toBool(), false);
    }
};

VORLAN_TEST_CLASS(EqualizerWindowTest)
#include "EqualizerWindowTest.moc"

#include "playlist/UrlInputWindow.h"
#include "tests/TestMain.h"
#include "widgets/FlatButton.h"
#include "widgets/TFountainFill.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTest>
#include <QTimer>

class UrlInputWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void borderlessCentredPrompt()
    {
        UrlInputWindow window;
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(window.windowTitle(), QString("Please enter the song URL:"));
        QCOMPARE(window.OKBtn->text(), QString("OK"));
        QCOMPARE(window.CancelBtn->text(), QString("Cancel"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(qAbs(window.geometry().center().x() - area.center().x()) <= 1);
        QVERIFY(qAbs(window.geometry().center().y() - area.center().y()) <= 1);
        window.hide();
    }

    void answersOkEnterAndCancel()
    {
        UrlInputWindow window;
        QTimer::singleShot(0, &window, [&] {
            window.Edit1->setText("http://radio/live");
            QTest::mouseClick(window.OKBtn, Qt::LeftButton);
        });
        QCOMPARE(window.ask("Please enter the song URL:", "http://"),
                 std::optional<QString>("http://radio/live"));

        QTimer::singleShot(0, &window, [&] { QTest::keyClick(window.Edit1, Qt::Key_Return); });
        QCOMPARE(window.ask("Label", "typed"), std::optional<QString>("typed"));

        QTimer::singleShot(0, &window, [&] { QTest::keyClick(window.Edit1, Qt::Key_Escape); });
        QCOMPARE(window.ask("Label", "typed"), std::nullopt);

        QTimer::singleShot(0, &window, [&] { QTest::mouseClick(window.CancelBtn, Qt::LeftButton); });
        QCOMPARE(window.ask("Label", "typed"), std::nullopt);
    }

    void equalizerNamePromptAndResetAfterIt()
    {
        // The equalizer asks for a preset name of up to 34 letters or digits.
        UrlInputWindow window;
        QRegularExpressionValidator name(QRegularExpression("[A-Za-z0-9]*"));
        window.prepare("Please enter equalizer file name:", "", &name, 34);
        QCOMPARE(window.labelText(), QString("Please enter equalizer file name:"));
        // Its title is its own question, not the URL's.
        QCOMPARE(window.windowTitle(), QString("Please enter equalizer file name:"));
        window.show();
        QTest::keyClicks(window.Edit1, "My-Rock 2/" + QString(40, 'x'));
        QCOMPARE(window.text(), "MyRock2" + QString(27, 'x'));
        window.hide();

        // The next prompt starts clean.
        window.prepare("Please enter the song URL:", "http://");
        QCOMPARE(window.Edit1->validator(), nullptr);
        QCOMPARE(window.windowTitle(), QString("Please enter the song URL:"));
        window.show();
        QTest::keyClicks(window.Edit1, "a/b-c");
        QCOMPARE(window.text(), QString("a/b-c")); // the prepared text was selected, so typing replaced it
        window.hide();
    }

    void colours()
    {
        UrlInputWindow window;
        window.applyColors(QColor(10, 20, 30), QColor(200, 210, 220));
        QCOMPARE(window.TopStrip->FromColor(), QColor(10, 20, 30));
        QCOMPARE(window.LeftStrip->FromColor(), QColor(10, 20, 30));
        QCOMPARE(window.BottomStrip->ToColor(), QColor(10, 20, 30));
        QCOMPARE(window.RightStrip->ToColor(), QColor(10, 20, 30));
        QCOMPARE(window.Label1->palette().color(QPalette::WindowText), QColor(200, 210, 220));
    }

    void dragByTheBackground()
    {
        UrlInputWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint start = window.pos();
        QWidget *back = window.FountainFill1;
        auto send = [&](QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
            QMouseEvent e(type, pos, back->mapToGlobal(pos), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(back, &e);
        };
        send(QEvent::MouseButtonPress, QPoint(5, 70), Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, QPoint(45, 60), Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, QPoint(45, 60), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(window.pos(), start + QPoint(40, -10));
    }
};

VORLAN_TEST_CLASS(UrlInputWindowTest)
#include "UrlInputWindowTest.moc"

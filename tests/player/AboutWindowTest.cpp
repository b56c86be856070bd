#include "player/AboutWindow.h"
#include "tests/TestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

class AboutWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void namesTheProgramAndItsTips()
    {
        AboutWindow w;
        QCOMPARE(w.NameLabel->text(), QStringLiteral("Vorlan"));
        QVERIFY(w.VersionLabel->text().contains(QStringLiteral("1.8")));
        QVERIFY(!w.DescriptionLabel->text().isEmpty());
        // The first-run message sends the user to "Hints and Tips".
        const auto titles = w.findChildren<QLabel *>();
        QVERIFY(std::any_of(titles.begin(), titles.end(),
                            [](QLabel *l) { return l->text() == QStringLiteral("Hints and Tips"); }));
        const QString tips = w.TipsBox->toPlainText();
        for (const char *topic : {"Shift", "F11", "Drop", "mask", "VorlanMasker", "pin"})
            QVERIFY2(tips.contains(QLatin1String(topic), Qt::CaseInsensitive), topic);
        w.show();
        QTest::mouseClick(w.OkBtn, Qt::LeftButton);
        QVERIFY(!w.isVisible());
    }
};

VORLAN_TEST_CLASS(AboutWindowTest)
#include "AboutWindowTest.moc"

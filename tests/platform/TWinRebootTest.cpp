#include "platform/TWinReboot.h"
#include "tests/TestMain.h"

#include <QFile>
#include <QTest>

// Nothing here may reach the real power-off: every case has a recorder or the log variable set.
class TWinRebootTest : public QObject
{
    Q_OBJECT

    QByteArray savedLog;

private slots:
    void init() { savedLog = qgetenv(TWinReboot::LogVariable); }
    void cleanup()
    {
        if (savedLog.isNull())
            qunsetenv(TWinReboot::LogVariable);
        else
            qputenv(TWinReboot::LogVariable, savedLog);
    }

    void recorderTakesTheCall()
    {
        int calls = 0;
        TWinReboot reboot([&] {
            ++calls;
            return true;
        });
        // The recorder wins over the log variable as well.
        const QString log = vorlantest::tempDir() + "/poweroff.log";
        qputenv(TWinReboot::LogVariable, QFile::encodeName(log));
        QVERIFY(reboot.powerOff());
        QCOMPARE(calls, 1);
        QVERIFY(!QFile::exists(log));

        reboot.setRecorder([&] {
            ++calls;
            return false;
        });
        QVERIFY(!reboot.powerOff());
        QCOMPARE(calls, 2);
    }

    void logVariableGetsOneLinePerRequest()
    {
        const QString log = vorlantest::tempDir() + "/poweroff.log";
        qputenv(TWinReboot::LogVariable, QFile::encodeName(log));
        TWinReboot reboot;
        QVERIFY(reboot.powerOff());
        QVERIFY(reboot.powerOff());
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("PowerOff "));
        QVERIFY(lines[1].startsWith("PowerOff "));
        QVERIFY(lines[2].isEmpty());
        QVERIFY(reboot.lastError().isEmpty());
    }

    void unwritableLogIsAFailure()
    {
        const QString dir = vorlantest::tempDir();
        // A folder cannot be appended to, not even by root.
        qputenv(TWinReboot::LogVariable, QFile::encodeName(dir));
        TWinReboot reboot;
        QVERIFY(!reboot.powerOff());
        QVERIFY(!reboot.lastError().isEmpty());
    }
};

VORLAN_TEST_CLASS(TWinRebootTest)
#include "TWinRebootTest.moc"

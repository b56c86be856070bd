#include "platform/Modules.h"
#include "tests/TestMain.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

// The parts of the programs loaded on first use: what a caller gets when a module is there, missing or
// damaged.
class ModulesTest : public QObject
{
    Q_OBJECT

private slots:
    void aModuleInTheBuildTreeGivesItsFunctions()
    {
        QVERIFY(Modules::resolve("vorlan-handover", "vorlanHandoverSend"));
        QVERIFY(Modules::resolve("vorlan-taglib", "vorlanTagNames"));
        // A name the module does not have.
        QVERIFY(!Modules::resolve("vorlan-handover", "noSuchFunction"));
    }

    void aMissingOrDamagedModuleGivesNothingAndTheProgramGoesOn()
    {
        QVERIFY(!Modules::resolve("vorlan-no-such-module", "anything"));
        // Asked again, still nothing (and no second search).
        QVERIFY(!Modules::resolve("vorlan-no-such-module", "anything"));

        // A file of that name that is no library, beside the program, where modules are looked for first.
        const QString path = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() +
                             QStringLiteral("/libvorlan-test-damaged.so");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\x7f"
                              "ELF not really",
                              16));
        file.close();
        const bool loaded = Modules::resolve("vorlan-test-damaged", "anything") != nullptr;
        QFile::remove(path);
        QVERIFY(!loaded);
    }
};

VORLAN_TEST_CLASS(ModulesTest)
#include "ModulesTest.moc"

#include "platform/XdgKeyFile.h"
#include "tests/TestMain.h"

#include <QRandomGenerator>
#include <QTest>

class XdgKeyFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readsGroupsKeysAndLists()
    {
        XdgKeyFile file;
        file.parse(
            "# comment\n[Desktop Entry]\nName = Vorlan \nMimeType=audio/mpeg;a\\;b;;\nExec=x\\sy\\n\\\\z\n"
            "[Other]\nName=Second\n");
        QCOMPARE(file.value("Desktop Entry", "Name"), QStringLiteral("Vorlan"));
        QCOMPARE(file.value("Other", "Name"), QStringLiteral("Second"));
        QCOMPARE(file.list("Desktop Entry", "MimeType"), QStringList({"audio/mpeg", "a;b"}));
        QCOMPARE(file.value("Desktop Entry", "Exec"), QStringLiteral("x y\n\\z"));
        QVERIFY(!file.contains("Desktop Entry", "name"));
        QVERIFY(!file.contains("Missing", "Name"));
        QVERIFY(file.hasGroup("Other"));
    }

    void setKeepsEveryOtherLine()
    {
        XdgKeyFile file;
        const QByteArray before = "# top\n[A]\nk=1\n# about B\n\n[B]\nx=\xFF\xFE raw\n";
        file.parse(before);
        file.setValue("A", "k", "2");
        file.setValue("A", "new", "3");
        file.setValue("C", "c", " lead");
        QCOMPARE(file.toBytes(),
                 QByteArray("# top\n[A]\nk=2\nnew=3\n# about B\n\n[B]\nx=\xFF\xFE raw\n\n[C]\nc=\\slead\n"));
    }

    void escapesRoundTrip()
    {
        const QStringList values{"plain",       " leading", "tab\there", "line\nbreak",
                                 "back\\slash", "cr\r",     QString()};
        for (const QString &value : values)
            QCOMPARE(XdgKeyFile::unescape(XdgKeyFile::escape(value)), value);
        XdgKeyFile file;
        file.setList("G", "L", {"a;b", "c\\d", "e"});
        XdgKeyFile again;
        again.parse(file.toBytes());
        QCOMPARE(again.list("G", "L"), QStringList({"a;b", "c\\d", "e"}));
    }

    void damagedInputNeverCrashes()
    {
        QRandomGenerator random(7);
        for (int round = 0; round < 200; ++round) {
            QByteArray junk(int(random.bounded(2000)), '\0');
            for (char &c : junk)
                c = "[]=;\\\n\r #ab"[random.bounded(12)];
            if (round % 10 == 0)
                junk += QByteArray(200000, '=');
            XdgKeyFile file;
            file.parse(junk);
            // What we did not set is written back byte for byte (a final line end added).
            const QByteArray same = file.toBytes();
            QVERIFY(same == junk || same == junk + '\n' || (junk.endsWith('\n') && same == junk));
            file.setValue("Default Applications", "audio/mpeg", "v.desktop");
            XdgKeyFile again;
            again.parse(file.toBytes());
            QCOMPARE(again.value("Default Applications", "audio/mpeg"), QStringLiteral("v.desktop"));
            XdgKeyFile::splitList(QString::fromLatin1(junk));
            XdgKeyFile::unescape(QString::fromLatin1(junk));
        }
    }
};

VORLAN_TEST_CLASS(XdgKeyFileTest)
#include "XdgKeyFileTest.moc"

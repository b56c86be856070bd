#include "tests/TestMain.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace vorlantest
{
std::vector<std::function<QObject *()>> &registry()
{
    static std::vector<std::function<QObject *()>> classes;
    return classes;
}

static QTemporaryDir *rootDir = nullptr;

QString tempDir()
{
    static int counter = 0;
    QString path = rootDir->path() + QStringLiteral("/t%1").arg(++counter);
    QDir().mkpath(path);
    return path;
}
} // namespace vorlantest

int main(int argc, char **argv)
{
    // Tests never touch the user's files or display.
    QTemporaryDir root;
    vorlantest::rootDir = &root;
    QDir().mkpath(root.path() + QStringLiteral("/runtime"));
    QFile::setPermissions(root.path() + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", (root.path() + QStringLiteral("/runtime")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (root.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (root.path() + QStringLiteral("/data")).toLocal8Bit());
    qputenv("VORLAN_HOME", (root.path() + QStringLiteral("/home")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);

    // Options go to every class; test function names only to the class that has them.
    QStringList options, functions;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith('-')) {
            options << arg;
            // Options with a value take the next argument along.
            static const QStringList withValue{"-o", "-maxwarnings", "-eventdelay", "-keydelay", "-mousedelay",
                                               "-platform", "-xunit", "-callgrind"};
            if (withValue.contains(arg) && i + 1 < argc)
                options << QString::fromLocal8Bit(argv[++i]);
        } else {
            functions << arg;
        }
    }
    int failures = 0;
    for (auto &make : vorlantest::registry()) {
        std::unique_ptr<QObject> test(make());
        QStringList mine;
        for (const QString &f : functions) {
            const QByteArray name = f.section(':', 0, 0).toLatin1() + "()";
            if (test->metaObject()->indexOfMethod(name) >= 0)
                mine << f;
        }
        if (!functions.isEmpty() && mine.isEmpty())
            continue;
        failures += QTest::qExec(test.get(), QStringList{QString::fromLocal8Bit(argv[0])} + options + mine);
    }
    return failures == 0 ? 0 : 1;
}

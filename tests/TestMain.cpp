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
    int failures = 0;
    for (auto &make : vorlantest::registry()) {
        std::unique_ptr<QObject> test(make());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}

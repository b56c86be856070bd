#include "tests/TestMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <ftw.h>
#include <memory>

#ifdef VORLAN_SANITIZE
// Libraries loaded at run time (sound output modules and the sound libraries they bring, Qt plugins) stay
// loaded in sanitizer runs: unloaded, the caches their globals still hold would be reported as leaks of an
// unknown module, and a real leak in them could not be named.
extern "C" int dlclose(void *)
{
    return 0;
}
#endif

namespace vorlantest
{
std::vector<std::function<QObject *()>> &registry()
{
    static std::vector<std::function<QObject *()>> classes;
    return classes;
}

static QTemporaryDir *rootDir = nullptr;

// Removes a tree by its bytes: Qt's own removal skips names that are not UTF-8, which tests make on purpose.
static int removeEntry(const char *path, const struct stat *, int, struct FTW *)
{
    // What cannot go is left; the walk goes on.
    ::remove(path);
    return 0;
}

static void removeTree(const QString &path)
{
    if (!path.isEmpty())
        ::nftw(QFile::encodeName(path).constData(), removeEntry, 16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

QString tempDir()
{
    static int counter = 0;
    QString path = rootDir->path() + QStringLiteral("/t%1").arg(++counter);
    QDir().mkpath(path);
    return path;
}

bool runTool(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool haveTool(const QString &program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
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

    // Options go to every class; test function names only to the class that has them. "-only-classes A,B"
    // and "-skip-classes A,B" choose classes, for CTest entries of their own.
    QStringList options, functions, onlyClasses, skipClasses;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if ((arg == QLatin1String("-only-classes") || arg == QLatin1String("-skip-classes")) &&
            i + 1 < argc) {
            (arg == QLatin1String("-only-classes") ? onlyClasses : skipClasses)
                << QString::fromLocal8Bit(argv[++i]).split(',', Qt::SkipEmptyParts);
        } else if (arg.startsWith('-')) {
            options << arg;
            // Options with a value take the next argument along.
            static const QStringList withValue{"-o",          "-maxwarnings", "-eventdelay", "-keydelay",
                                               "-mousedelay", "-platform",    "-xunit",      "-callgrind"};
            if (withValue.contains(arg) && i + 1 < argc)
                options << QString::fromLocal8Bit(argv[++i]);
        } else {
            functions << arg;
        }
    }
    // A long run's log may reach the reader cut in the middle, so the failures are told again at its end.
    const bool ownOutput = !options.contains(QStringLiteral("-o"));
    const QString logPath = root.path() + QStringLiteral("/class-log.txt");
    QStringList failureLines;
    int failures = 0;
    QStringList missing = onlyClasses;
    for (auto &make : vorlantest::registry()) {
        std::unique_ptr<QObject> test(make());
        const QString className = QString::fromLatin1(test->metaObject()->className());
        if ((!onlyClasses.isEmpty() && !onlyClasses.contains(className)) || skipClasses.contains(className))
            continue;
        missing.removeAll(className);
        QStringList mine;
        for (const QString &f : functions) {
            const QByteArray name = f.section(':', 0, 0).toLatin1() + "()";
            if (test->metaObject()->indexOfMethod(name) >= 0)
                mine << f;
        }
        if (!functions.isEmpty() && mine.isEmpty())
            continue;
        QStringList args{QString::fromLocal8Bit(argv[0])};
        if (ownOutput)
            args << QStringLiteral("-o") << QStringLiteral("-,txt") << QStringLiteral("-o")
                 << logPath + ",txt";
        const int failed = QTest::qExec(test.get(), args + options + mine);
        failures += failed;
        QFile log(logPath);
        if (failed > 0 && ownOutput && log.open(QIODevice::ReadOnly)) {
            const QStringList lines = QString::fromUtf8(log.readAll()).split('\n');
            for (int i = 0; i < lines.size(); ++i) {
                if (!lines[i].startsWith(QStringLiteral("FAIL!")))
                    continue;
                failureLines << lines[i];
                for (int j = i + 1; j < lines.size() && lines[j].startsWith(' '); ++j)
                    failureLines << lines[j];
            }
        }
    }
    // A class asked for by name that is not here is a mistake of the caller, not a pass.
    if (!missing.isEmpty()) {
        fprintf(stderr, "no test class named %s here\n", qPrintable(missing.join(',')));
        ++failures;
    }
    if (!failureLines.isEmpty())
        fprintf(stderr, "\n%d test function(s) failed:\n%s\n", failures, qPrintable(failureLines.join('\n')));
    vorlantest::removeTree(root.path());
    return failures == 0 ? 0 : 1;
}

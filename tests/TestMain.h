#pragma once
// Registry of the Qt Test classes of one test executable.
#include <QObject>
#include <QStringList>
#include <functional>
#include <vector>

namespace vorlantest
{
std::vector<std::function<QObject *()>> &registry();
struct Registrar {
    explicit Registrar(std::function<QObject *()> make) { registry().push_back(std::move(make)); }
};
// A fresh folder for one test, removed at the end of the process.
QString tempDir();
// Runs a tool to its end (a minute at most), its errors shown; false when it failed.
bool runTool(const QString &program, const QStringList &args);
// The tool is installed, on the PATH.
bool haveTool(const QString &program);
} // namespace vorlantest

#define VORLAN_TEST_CLASS(Class)                                                                             \
    static vorlantest::Registrar registrar_##Class([]() -> QObject * { return new Class; });

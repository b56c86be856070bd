#pragma once
// What the fuzz targets share: a Qt application for the readers that are QObjects, and a scratch file in a
// folder of its own that each input is written to, for the readers that take a path.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzzsupport
{

inline QTemporaryDir &scratchDir()
{
    static int argc = 1;
    static char name[] = "vorlan-fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    // In memory when the system offers it: each input is written once per run.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/vorlan-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/vorlan-fuzz-XXXXXX"));
    return dir;
}

// Writes the input to <scratch>/<name> and returns that path.
inline QString writeInput(const char *name, const uint8_t *data, size_t size)
{
    const QString path = scratchDir().path() + QLatin1Char('/') + QLatin1String(name);
    FILE *f = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (f) {
        if (size > 0)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

// The input as a file in memory, read through /proc by the readers that only take a path (cheaper than
// writing a file per input).
inline QString memoryFile(const uint8_t *data, size_t size)
{
    static const int fd = [] {
        scratchDir();
        return ::memfd_create("vorlan-fuzz", 0);
    }();
    if (fd < 0)
        return writeInput("input", data, size);
    [[maybe_unused]] const int cut = ::ftruncate(fd, 0);
    if (size > 0) [[maybe_unused]]
        const ssize_t put = ::pwrite(fd, data, size, 0);
    static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    return path;
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace fuzzsupport

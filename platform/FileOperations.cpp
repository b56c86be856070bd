#include "platform/FileOperations.h"

#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace
{

struct Identity {
    bool exists = false;
    bool regular = false;
    dev_t device = 0;
    ino_t inode = 0;
};

Identity identityOf(const QString &path)
{
    Identity id;
    struct stat st;
    if (path.isEmpty() || path.contains(QChar(0)) || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return id;
    id.exists = true;
    id.regular = S_ISREG(st.st_mode);
    id.device = st.st_dev;
    id.inode = st.st_ino;
    return id;
}

bool sameFile(const Identity &a, const Identity &b)
{
    return a.exists && b.exists && a.device == b.device && a.inode == b.inode;
}

} // namespace

bool FileOperations::reportProgress(int done, int total, const QString &current)
{
    return !m_progress || m_progress(done, total, current);
}

bool FileOperations::copyFile(const QString &source, const QString &target, QString *error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = in.errorString();
        return false;
    }
    // Written whole to a temporary file beside the target and renamed over it only then: a full disk never
    // leaves half a song, nor costs the file that was there.
    QString readError;
    const auto copy = [&](int fd, int *code) {
        QByteArray buffer(1 << 20, Qt::Uninitialized);
        for (;;) {
            const qint64 n = in.read(buffer.data(), buffer.size());
            if (n < 0) {
                readError = in.errorString();
                *code = EIO;
                return false;
            }
            if (n == 0)
                return true;
            if (!TextFile::writeAll(fd, buffer.constData(), n, code))
                return false;
        }
    };
    QString writeError;
    if (!TextFile::writeAtomically(target, copy, &writeError)) {
        if (error)
            *error = readError.isEmpty() ? writeError : readError;
        return false;
    }
    QFile::setPermissions(target, QFileInfo(source).permissions());
    QFile copied(target);
    if (copied.open(QIODevice::ReadWrite))
        copied.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
    return true;
}

FileOperations::Result FileOperations::transfer(Kind kind, const QStringList &sources, const QString &folder)
{
    Result result;
    const int total = int(sources.size());
    const QFileInfo folderInfo(folder);
    bool yesToAll = false;
    for (int i = 0; i < total; ++i) {
        const QString &source = sources.at(i);
        if (!reportProgress(i, total, source)) {
            result.cancelled = true;
            return result;
        }
        const Identity from = identityOf(source);
        if (!from.regular) {
            result.failed << source;
            result.errors << QStringLiteral("%1: there is no such file.").arg(source);
            continue;
        }
        if (!folderInfo.isDir()) {
            result.failed << source;
            result.errors << QStringLiteral("%1: there is no folder %2.").arg(source, folder);
            continue;
        }
        const QString target = QDir(folder).filePath(QFileInfo(source).fileName());
        const Identity to = identityOf(target);
        if (sameFile(from, to)) {
            // Copying or moving a file onto itself would only risk it.
            result.skipped << source;
            continue;
        }
        if (to.exists && !yesToAll) {
            const Answer answer = m_prompt ? m_prompt(source, target) : Answer::No;
            if (answer == Answer::Cancel) {
                result.cancelled = true;
                return result;
            }
            if (answer == Answer::No) {
                result.skipped << source;
                continue;
            }
            yesToAll = answer == Answer::YesToAll;
        }
        if (to.exists && !to.regular) {
            result.failed << source;
            result.errors
                << QStringLiteral("%1: %2 is not a file and cannot be replaced.").arg(source, target);
            continue;
        }
        QString error;
        bool ok = false;
        if (kind == Kind::Move) {
            const QByteArray a = QFile::encodeName(source), b = QFile::encodeName(target);
            if (std::rename(a.constData(), b.constData()) == 0) {
                ok = true;
            } else if (errno == EXDEV) {
                // Another file system: the source goes only once its copy is complete.
                ok = copyFile(source, target, &error);
                if (ok && !QFile::remove(source)) {
                    ok = false;
                    error = QStringLiteral("the copy was made, but the original could not be removed");
                }
            } else {
                error = QString::fromLocal8Bit(std::strerror(errno));
            }
        } else {
            ok = copyFile(source, target, &error);
        }
        if (ok) {
            result.done << source;
        } else {
            result.failed << source;
            result.errors << QStringLiteral("%1: %2").arg(source, error);
        }
    }
    reportProgress(total, total, QString());
    return result;
}

FileOperations::Result FileOperations::copyFiles(const QStringList &sources, const QString &folder)
{
    return transfer(Kind::Copy, sources, folder);
}

FileOperations::Result FileOperations::moveFiles(const QStringList &sources, const QString &folder)
{
    return transfer(Kind::Move, sources, folder);
}

FileOperations::Result FileOperations::trashFiles(const QStringList &sources)
{
    Result result;
    // The trash lies in the user's data folder, which a fresh account may not have yet.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    const int total = int(sources.size());
    for (int i = 0; i < total; ++i) {
        const QString &source = sources.at(i);
        if (!reportProgress(i, total, source)) {
            result.cancelled = true;
            return result;
        }
        if (!identityOf(source).regular) {
            result.failed << source;
            result.errors << QStringLiteral("%1: there is no such file.").arg(source);
            continue;
        }
        QFile file(source);
        if (file.moveToTrash()) {
            result.done << source;
        } else {
            result.failed << source;
            result.errors << QStringLiteral("%1: %2").arg(source, file.errorString());
        }
    }
    reportProgress(total, total, QString());
    return result;
}

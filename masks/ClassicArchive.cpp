#include "masks/ClassicArchive.h"

#include "platform/TextFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>

#include <zip.h>

namespace
{

// The last part of an entry's name, whichever slash the zip's maker used.
QString baseName(const char *name)
{
    QString n = QString::fromUtf8(name);
    n.replace(u'\\', u'/');
    return n.mid(n.lastIndexOf(u'/') + 1).toLower();
}

} // namespace

struct ClassicArchive::Zip {
    QByteArray bytes; // the buffer source reads from it; it must outlive the archive
    zip_t *archive = nullptr;
    ~Zip()
    {
        if (archive)
            zip_discard(archive);
    }
};

ClassicArchive::ClassicArchive() = default;
ClassicArchive::ClassicArchive(ClassicArchive &&) noexcept = default;
ClassicArchive &ClassicArchive::operator=(ClassicArchive &&) noexcept = default;
ClassicArchive::~ClassicArchive() = default;

ClassicArchive ClassicArchive::open(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        ClassicArchive folder;
        const QFileInfoList files = QDir(path).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
        if (files.size() > MaxEntries) {
            folder.m_error = QStringLiteral("it holds more than %1 files").arg(MaxEntries);
            return folder;
        }
        for (const QFileInfo &file : files) {
            const QString key = file.fileName().toLower();
            if (!folder.m_index.contains(key))
                folder.m_index.insert(key, Entry{-1, file.filePath()});
        }
        return folder;
    }
    QByteArray bytes;
    switch (TextFile::readBytes(path, MaxArchiveBytes, &bytes)) {
    case TextFile::ReadStatus::Ok:
        return fromBytes(bytes);
    case TextFile::ReadStatus::Missing: {
        ClassicArchive missing;
        missing.m_error = QStringLiteral("there is no such file");
        return missing;
    }
    case TextFile::ReadStatus::TooLarge: {
        ClassicArchive large;
        large.m_error = QStringLiteral("it is larger than %1 MiB").arg(MaxArchiveBytes / (1024 * 1024));
        return large;
    }
    default:
        break;
    }
    ClassicArchive unreadable;
    unreadable.m_error = QStringLiteral("it cannot be read");
    return unreadable;
}

namespace
{

// The number of entries the end of central directory record of a zip lists; 0 when there is none (libzip
// then says what is wrong). A zip64 count is the most a record can say.
qint64 entriesListed(const QByteArray &zip)
{
    constexpr int RecordSize = 22;
    const qsizetype from = std::max<qsizetype>(0, zip.size() - RecordSize - 0xFFFF);
    const qsizetype at = zip.lastIndexOf(QByteArrayLiteral("PK\x05\x06"));
    if (at < from || at + RecordSize > zip.size())
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(zip.constData() + at);
    const int total = p[10] | (p[11] << 8);
    return total == 0xFFFF ? std::numeric_limits<qint64>::max() : total;
}

} // namespace

ClassicArchive ClassicArchive::fromBytes(const QByteArray &zip)
{
    ClassicArchive result;
    result.m_zip = std::make_unique<Zip>();
    Zip &z = *result.m_zip;
    z.bytes = zip;
    if (z.bytes.isEmpty()) {
        result.m_error = QStringLiteral("it is empty");
        return result;
    }
    // The zip's own count, from its last record, before libzip reads (and allocates for) every entry a
    // crafted directory may list.
    if (entriesListed(z.bytes) > MaxEntries) {
        result.m_error = QStringLiteral("it holds more than %1 files").arg(MaxEntries);
        return result;
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source =
        zip_source_buffer_create(z.bytes.constData(), zip_uint64_t(z.bytes.size()), 0, &error);
    if (source)
        z.archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!z.archive) {
        if (source)
            zip_source_free(source);
        result.m_error = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        return result;
    }
    zip_error_fini(&error);
    const zip_int64_t count = zip_get_num_entries(z.archive, 0);
    if (count > MaxEntries) {
        result.m_error = QStringLiteral("it holds more than %1 files").arg(MaxEntries);
        return result;
    }
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *name = zip_get_name(z.archive, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        if (!name)
            continue;
        const QString key = baseName(name);
        if (!key.isEmpty() && !result.m_index.contains(key))
            result.m_index.insert(key, Entry{i, QString()});
    }
    return result;
}

ClassicArchive::Read ClassicArchive::read(const QString &name, qint64 cap, QByteArray *bytes)
{
    bytes->clear();
    const auto found = m_index.constFind(name.toLower());
    if (!isValid() || found == m_index.constEnd())
        return Read::Missing;
    const qint64 budget = std::min(cap, MaxTotalBytes - m_bytesRead);
    if (!m_zip) {
        switch (TextFile::readBytes(found->path, budget, bytes)) {
        case TextFile::ReadStatus::Ok:
            m_bytesRead += bytes->size();
            return Read::Ok;
        case TextFile::ReadStatus::Missing:
            return Read::Missing;
        case TextFile::ReadStatus::TooLarge:
            return Read::TooLarge;
        default:
            return Read::Damaged;
        }
    }
    zip_file_t *file = zip_fopen_index(m_zip->archive, zip_uint64_t(found->index), 0);
    if (!file)
        return Read::Damaged;
    // Never by the declared size: read in pieces until the end or one byte past the budget.
    constexpr qint64 Piece = 64 * 1024;
    Read status = Read::Ok;
    for (;;) {
        const qint64 room = std::min(Piece, budget + 1 - bytes->size());
        if (room <= 0) {
            status = Read::TooLarge;
            break;
        }
        const qsizetype at = bytes->size();
        bytes->resize(at + room);
        const zip_int64_t got = zip_fread(file, bytes->data() + at, zip_uint64_t(room));
        if (got < 0) {
            status = Read::Damaged;
            bytes->resize(at);
            break;
        }
        bytes->resize(at + got);
        if (got == 0)
            break;
    }
    zip_fclose(file);
    if (status == Read::Ok && bytes->size() > budget)
        status = Read::TooLarge;
    m_bytesRead += bytes->size();
    if (status != Read::Ok)
        bytes->clear();
    return status;
}

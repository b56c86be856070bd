#pragma once
// The files of a classic skin, in memory: a zip (".wsz", ".zip") read through libzip, or an unpacked folder.
// Files are found by their base name without case wherever they lie in the zip (skins often keep them in a
// subfolder). Nothing is ever extracted by the zip's own names, so an entry named "../x" or "/tmp/x" cannot
// write anywhere: it is only ever looked up by a name we know.
//
// A zip is outside data: its declared sizes may lie (a bomb), so every file is read by streaming up to a cap,
// and the whole skin up to a total.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

class ClassicArchive
{
public:
    // More files than this is no skin.
    static constexpr int MaxEntries = 1024;
    // A zip (or a folder's file) larger than this is not read at all.
    static constexpr qint64 MaxArchiveBytes = 16 * 1024 * 1024;
    // The most a picture may unpack to (a 2048 x 2048 bitmap of 16 bits; classic sheets are a few dozen KiB).
    static constexpr qint64 MaxPictureBytes = 8 * 1024 * 1024;
    // The most a text file (region.txt, viscolor.txt) may unpack to.
    static constexpr qint64 MaxTextBytes = 256 * 1024;
    // The most every file read from one skin may unpack to together.
    static constexpr qint64 MaxTotalBytes = 48 * 1024 * 1024;

    enum class Read {
        Ok,
        Missing,  // no file of that name
        TooLarge, // it unpacks to more than the cap, or the skin's total would be passed
        Damaged,  // the zip's data cannot be unpacked (bad CRC, encrypted, cut short)
    };

    // Opens a zip file or a folder. On failure isValid() is false and error() says why.
    static ClassicArchive open(const QString &path);
    // A zip held in memory.
    static ClassicArchive fromBytes(const QByteArray &zip);

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    // The base names of every file, in lower case.
    QStringList names() const { return m_index.keys(); }
    bool contains(const QString &baseName) const { return m_index.contains(baseName.toLower()); }
    // Reads the file of that base name (matched without case), up to `cap` bytes.
    Read read(const QString &baseName, qint64 cap, QByteArray *bytes);
    // What was read so far, towards MaxTotalBytes.
    qint64 bytesRead() const { return m_bytesRead; }

    ClassicArchive(ClassicArchive &&) noexcept;
    ClassicArchive &operator=(ClassicArchive &&) noexcept;
    ~ClassicArchive();

private:
    ClassicArchive();
    struct Zip;
    struct Entry {
        qint64 index = -1; // in the zip
        QString path;      // in the folder
    };
    std::unique_ptr<Zip> m_zip;    // null for a folder
    QHash<QString, Entry> m_index; // lower-case base name -> the first file of that name met
    QString m_error;
    qint64 m_bytesRead = 0;
};

#pragma once
// Folder trees of small audio files for the tests of the folder walk and the add-files window.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

namespace treefiles
{

inline QByteArray fixture(const char *name = "mpeg1-layer3-tagged.mp3")
{
    QFile f(QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A small tree with every case of the walk's rules. Returns the audio files in the order a depth-first walk
// in name order (ignoring case) finds them; ".hidden" is a folder the walk must not enter, "notes.txt" and
// "cover.jpg" are not audio, ".dotfile.mp3" is a file (only folders are skipped by their dot).
inline QStringList makeSmallTree(const QString &root)
{
    const QByteArray tagged = fixture();
    const QByteArray plain = fixture("mpeg1-layer3.mp3");
    const QStringList audio = {
        QStringLiteral("/.dotfile.mp3"), QStringLiteral("/a.mp3"),      QStringLiteral("/B.MP3"),
        QStringLiteral("/c.Mp2"),        QStringLiteral("/d.mpg"),      QStringLiteral("/sub1/deeper/h.mp3"),
        QStringLiteral("/sub1/f.mp3"),   QStringLiteral("/sub1/g.MPG"), QStringLiteral("/Sub2/i.mp2"),
    };
    for (int i = 0; i < audio.size(); ++i)
        put(root + audio[i], i % 2 ? tagged : plain);
    put(root + QStringLiteral("/.hidden/x.mp3"), tagged);
    put(root + QStringLiteral("/.hidden/deep/y.mp3"), tagged);
    put(root + QStringLiteral("/notes.txt"), "not audio");
    put(root + QStringLiteral("/sub1/cover.jpg"), "not audio");
    QDir().mkpath(root + QStringLiteral("/empty"));
    QStringList paths;
    for (const QString &a : audio)
        paths << root + a;
    return paths;
}

// files audio files spread over nested folders (perFolder per folder, sub-folders three deep), in the order
// the walk finds them.
inline QStringList makeWideTree(const QString &root, int files, int perFolder = 100)
{
    const QByteArray bytes = fixture();
    QStringList paths;
    for (int i = 0; i < files; ++i) {
        const int folder = i / perFolder;
        const QString dir = root + QStringLiteral("/d%1/e%2/f%3")
                                       .arg(folder / 100, 2, 10, QLatin1Char('0'))
                                       .arg(folder / 10 % 10)
                                       .arg(folder % 10);
        const QString path = dir + QStringLiteral("/song%1.mp3").arg(i, 5, 10, QLatin1Char('0'));
        put(path, bytes);
        paths << path;
    }
    return paths;
}

} // namespace treefiles

#include "tests/masks/ClassicSkinDrawer.h"

#include "masks/ClassicLayout.h"
#include "masks/RegionFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>

#include <zip.h>

namespace L = ClassicLayout;
using Skin = ClassicSkin;

QRgb ClassicSkinDrawer::color(ClassicSkin::Sprite sprite, int frame, int scheme)
{
    return qRgb((sprite * 23 + scheme * 7) % 256, (20 + frame * 2) % 256,
                (60 + sprite * 17 + scheme * 3) % 256);
}

QColor ClassicSkinDrawer::visColor(int index, int scheme)
{
    return QColor((scheme * 5 + index * 10) % 256, 100, 200 - index * 5);
}

QList<QPolygon> ClassicSkinDrawer::region()
{
    return {QPolygon({QPoint(4, 0), QPoint(275, 0), QPoint(275, 116), QPoint(0, 116), QPoint(0, 4)})};
}

QImage ClassicSkinDrawer::sheet(ClassicSkin::Sprite sprite, int scheme)
{
    const auto c = [&](int frame) { return QColor(color(sprite, frame, scheme)); };
    const auto image = [](int w, int h) {
        QImage i(w, h, QImage::Format_RGB32);
        i.fill(Qt::black);
        return i;
    };
    QImage out;
    QPainter p;
    switch (sprite) {
    case Skin::Main:
        out = image(275, 116);
        p.begin(&out);
        p.fillRect(out.rect(), c(0));
        for (int b = 0; b < L::ControlButtonCount; ++b)
            p.fillRect(QRect(L::ControlButtonPlace[b], L::ControlButtonSprite[b].size()), c(1 + b));
        break;
    case Skin::TitleBar:
        out = image(344, 87);
        p.begin(&out);
        p.fillRect(out.rect(), c(1));
        p.fillRect(L::TitleBarActive, c(0));
        break;
    case Skin::ControlButtons:
        out = image(136, 36);
        p.begin(&out);
        for (int b = 0; b < L::ControlButtonCount; ++b) {
            const QRect r = L::ControlButtonSprite[b];
            p.fillRect(r, c(b));
            p.fillRect(r.translated(0, b == L::Eject ? L::EjectPressedRow : L::ControlButtonPressedRow),
                       c(6 + b));
        }
        break;
    case Skin::PosBar:
        out = image(307, 10);
        p.begin(&out);
        p.fillRect(L::PosBarGroove, c(0));
        p.fillRect(L::PosBarThumb, c(1));
        p.fillRect(L::PosBarThumbPressed, c(2));
        break;
    case Skin::Volume:
    case Skin::Balance: {
        const bool balance = sprite == Skin::Balance;
        out = image(balance ? 47 : 68, 433);
        p.begin(&out);
        p.fillRect(out.rect(), c(40));
        for (int i = 0; i < L::BarFrames; ++i)
            p.fillRect((balance ? L::BalanceFrame : L::VolumeFrame).translated(0, L::BarFrameStep * i), c(i));
        p.fillRect(L::VolumeThumb, c(28));
        p.fillRect(L::VolumeThumbPressed, c(29));
        break;
    }
    case Skin::Numbers:
    case Skin::NumsEx: {
        const int glyphs = sprite == Skin::NumsEx ? L::DigitGlyphs : 10;
        out = image(L::DigitSize.width() * glyphs, L::DigitSize.height());
        p.begin(&out);
        for (int i = 0; i < glyphs; ++i)
            p.fillRect(QRect(QPoint(L::DigitSize.width() * i, 0), L::DigitSize), c(i));
        break;
    }
    case Skin::Text:
        out = image(L::TextCell.width() * L::TextColumns, L::TextCell.height() * 3);
        p.begin(&out);
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < L::TextColumns; ++column)
                p.fillRect(
                    QRect(QPoint(column * L::TextCell.width(), row * L::TextCell.height()), L::TextCell),
                    c(row * L::TextColumns + column));
        break;
    case Skin::ShufRep:
        out = image(75, 60);
        p.begin(&out);
        for (int r = 0; r < 4; ++r) {
            p.fillRect(L::RepeatSprite.translated(0, L::ToggleRowStep * r), c(r));
            p.fillRect(L::ShuffleSprite.translated(0, L::ToggleRowStep * r), c(4 + r));
        }
        break;
    case Skin::SpriteCount:
        break;
    }
    return out;
}

QByteArray ClassicSkinDrawer::bitmap(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

ClassicSkinDrawer::Entries ClassicSkinDrawer::files(const Options &options)
{
    Entries entries;
    const auto add = [&](const QString &name, const QByteArray &bytes) {
        if (!options.missing.contains(name, Qt::CaseInsensitive))
            entries.append({name, bytes});
    };
    for (int s = 0; s < Skin::SpriteCount; ++s) {
        const auto sprite = Skin::Sprite(s);
        if ((sprite == Skin::NumsEx) != options.numsEx && (sprite == Skin::NumsEx || sprite == Skin::Numbers))
            continue;
        add(Skin::spriteName(sprite) + QStringLiteral(".bmp"), bitmap(sheet(sprite, options.scheme)));
    }
    if (options.region)
        add(QStringLiteral("region.txt"), RegionFile::text(region()));
    if (options.visColor) {
        QByteArray text;
        for (int i = 0; i < 24; ++i) {
            const QColor c = visColor(i, options.scheme);
            text += QByteArray::number(c.red()) + ',' + QByteArray::number(c.green()) + ',' +
                    QByteArray::number(c.blue()) + ", // colour " + QByteArray::number(i) + "\r\n";
        }
        add(QStringLiteral("viscolor.txt"), text);
    }
    for (const auto &[name, bytes] : options.extra) {
        entries.removeIf([&](const auto &e) { return e.first.compare(name, Qt::CaseInsensitive) == 0; });
        entries.append({name, bytes});
    }
    return entries;
}

QString ClassicSkinDrawer::writeWsz(const QString &dir, const Options &options)
{
    Entries entries = files(options);
    if (!options.subfolder.isEmpty())
        for (auto &entry : entries)
            entry.first = options.subfolder + u'/' + entry.first;
    const QString path = dir + u'/' + options.name + QStringLiteral(".wsz");
    return writeZip(path, entries) ? path : QString();
}

QString ClassicSkinDrawer::writeFolder(const QString &dir, const Options &options)
{
    const QString folder = dir + u'/' + options.name;
    if (!QDir().mkpath(folder))
        return QString();
    for (const auto &[name, bytes] : files(options)) {
        QFile file(folder + u'/' + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
    }
    return folder;
}

bool ClassicSkinDrawer::writeZip(const QString &path, const Entries &entries)
{
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return false;
    for (const auto &[name, bytes] : entries) {
        // The bytes live in `entries` until zip_close() has read them.
        zip_source_t *source = zip_source_buffer(zip, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!source || zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(zip);
            return false;
        }
    }
    return zip_close(zip) == 0;
}

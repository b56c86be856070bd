#include "masks/ClassicSkinImporter.h"

#include "masks/ClassicArchive.h"
#include "masks/ClassicLayout.h"
#include "masks/ClassicSkin.h"
#include "masks/MaskFile.h"
#include "masks/RegionFile.h"
#include "platform/ProfileFile.h"
#include "platform/SystemColors.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>

namespace L = ClassicLayout;

namespace
{

using Skin = ClassicSkin;

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

// Frames side by side (or stacked), all of the first one's size. copy() fills what lies outside a sheet that
// is too small with black, so an odd sheet still gives whole frames.
QImage row(const QImage &sheet, const QList<QRect> &frames, bool stacked = false)
{
    const QSize size = frames.first().size();
    QImage out = stacked ? blankImage(size.width(), size.height() * int(frames.size()))
                         : blankImage(size.width() * int(frames.size()), size.height());
    QPainter painter(&out);
    for (int i = 0; i < frames.size(); ++i)
        painter.drawImage(stacked ? QPoint(0, size.height() * i) : QPoint(size.width() * i, 0),
                          sheet.copy(frames[i]));
    return out;
}

// The mask's four frames (normal, under the mouse, pressed, disabled) from the skin's two.
QImage fourFrames(const QImage &sheet, const QRect &normal, const QRect &pressed)
{
    return row(sheet, {normal, normal, pressed, normal});
}

QRect shifted(const QRect &rect, int dy)
{
    return rect.translated(0, dy);
}

// A colour the picture does not hold, so that readers going by the transparent colour cut out exactly
// what lies outside the outline.
QRgb unusedColor(const QImage &picture)
{
    QSet<QRgb> used;
    for (int y = 0; y < picture.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            used.insert(line[x] & 0xFFFFFF);
    }
    QRgb candidate = 0xFF00FF;
    while (used.contains(candidate))
        candidate = (candidate + 0x9E3779) & 0xFFFFFF;
    return candidate;
}

MaskGeometry place(const QRect &rect)
{
    return MaskGeometry{rect.width(), rect.height(), rect.top(), rect.left()};
}

int32_t colorValue(QRgb rgb)
{
    return SystemColors::toValue(QColor(rgb));
}

QString lowerFirst(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

} // namespace

QString ClassicSkinImporter::safeName(const QString &name)
{
    QString safe;
    for (const QChar c : name)
        safe.append(c == u'/' || c == u'\\' || c.category() == QChar::Other_Control ? QChar(u'_') : c);
    safe = safe.trimmed();
    while (safe.startsWith(u'.'))
        safe.remove(0, 1);
    if (safe.size() > MaxNameLength) {
        safe.truncate(MaxNameLength);
        if (safe.back().isHighSurrogate())
            safe.chop(1);
    }
    safe = safe.trimmed();
    return safe.isEmpty() ? QStringLiteral("Skin") : safe;
}

ClassicSkinImporter::Pictures ClassicSkinImporter::build(const ClassicSkin &skin, const QString &skinName,
                                                         MaskFile *mask)
{
    Pictures pictures;
    *mask = MaskFile::defaults(MaskReader::Player);
    mask->author = skinName;
    const auto add = [&](const QString &name, const QImage &image) {
        pictures.files.append({name, image});
        return name;
    };

    // The background: main with the active title bar over it, the outside of the outline in a colour of its
    // own.
    QImage back = blankImage(L::WindowSize.width(), L::WindowSize.height());
    {
        QPainter painter(&back);
        painter.drawImage(QPoint(0, 0), skin.sprite(Skin::Main).copy(L::Window));
        if (skin.has(Skin::TitleBar))
            painter.drawImage(L::TitleBarPlace, skin.sprite(Skin::TitleBar).copy(L::TitleBarActive));
    }
    const QImage art = back; // before the outside is filled: what the time's blank may be cut from
    const QRgb backColor = unusedColor(back);
    mask->backColor = colorValue(backColor);
    if (!skin.region.isEmpty()) {
        const QRegion outside = QRegion(L::Window) - RegionFile::region(skin.region, L::Window);
        QPainter painter(&back);
        for (const QRect &r : outside)
            painter.fillRect(r, QColor(backColor));
        pictures.shape = RegionFile::text(skin.region);
        mask->shape = QStringLiteral("shape.txt");
    }
    mask->backImage = add(QStringLiteral("back.bmp"), back);

    // The control buttons; eject is the open button.
    static constexpr MaskFile::Button ButtonOf[L::ControlButtonCount] = {
        MaskFile::PrevBtn, MaskFile::PlayBtn, MaskFile::PauseBtn,
        MaskFile::StopBtn, MaskFile::NextBtn, MaskFile::OpenBtn};
    static constexpr MaskFile::Object ObjectOf[L::ControlButtonCount] = {
        MaskFile::PrevButtom, MaskFile::PlayButtom, MaskFile::PauseButtom,
        MaskFile::StopButtom, MaskFile::NextButtom, MaskFile::OpenButtom};
    static const char *const FileOf[L::ControlButtonCount] = {"prev.bmp", "play.bmp", "pause.bmp",
                                                              "stop.bmp", "next.bmp", "open.bmp"};
    for (int b = 0; b < L::ControlButtonCount; ++b) {
        const QRect sprite = L::ControlButtonSprite[b];
        mask->objects[ObjectOf[b]] = place(QRect(L::ControlButtonPlace[b], sprite.size()));
        if (skin.has(Skin::ControlButtons)) {
            const int pressed = b == L::Eject ? L::EjectPressedRow : L::ControlButtonPressedRow;
            mask->buttonImages[ButtonOf[b]] =
                add(QLatin1String(FileOf[b]),
                    fourFrames(skin.sprite(Skin::ControlButtons), sprite, shifted(sprite, pressed)));
        }
    }

    // Shuffle and repeat: the off glyph is the button, the on glyph is shown while it is on.
    struct Toggle {
        QRect sprite;
        QPoint at;
        MaskFile::Object object;
        MaskFile::Button button;
        MaskFile::Toggle toggle;
        const char *off, *on;
    };
    const Toggle toggles[] = {
        {L::RepeatSprite, L::RepeatPlace, MaskFile::LoopButtom, MaskFile::LoopBtn, MaskFile::LoopToggle,
         "loop.bmp", "loopon.bmp"},
        {L::ShuffleSprite, L::ShufflePlace, MaskFile::RandButtom, MaskFile::RandBtn, MaskFile::RandToggle,
         "rand.bmp", "randon.bmp"},
    };
    for (const Toggle &t : toggles) {
        mask->objects[t.object] = place(QRect(t.at, t.sprite.size()));
        if (!skin.has(Skin::ShufRep))
            continue;
        const QImage &sheet = skin.sprite(Skin::ShufRep);
        const auto rowAt = [&](L::ToggleRow r) { return shifted(t.sprite, L::ToggleRowStep * r); };
        mask->buttonImages[t.button] =
            add(QLatin1String(t.off), fourFrames(sheet, rowAt(L::Off), rowAt(L::OffPressed)));
        mask->toggleOnImages[t.toggle] =
            add(QLatin1String(t.on), fourFrames(sheet, rowAt(L::On), rowAt(L::OnPressed)));
    }

    // The position slider.
    mask->objects[MaskFile::Slider] = place(L::PosBarPlace);
    mask->sliderKind = QStringLiteral("Horizontal");
    if (skin.has(Skin::PosBar)) {
        const QImage &sheet = skin.sprite(Skin::PosBar);
        mask->sliderBack = add(QStringLiteral("sliderback.bmp"), sheet.copy(L::PosBarGroove));
        mask->sliderThumb =
            add(QStringLiteral("sliderthumb.bmp"), row(sheet, {L::PosBarThumb, L::PosBarThumbPressed}));
    }

    // Volume and balance as sprite bars; the round knobs out of sight.
    mask->volumeLeft = mask->volumeTop = mask->balanceLeft = mask->balanceTop = L::HiddenKnob;
    struct Bar {
        Skin::Sprite sprite;
        QRect frame, thumb, thumbPressed, at;
        MaskFile::ExtraObject object;
        QString *bar, *thumbName;
        int *frames;
        const char *barFile, *thumbFile;
    };
    const Bar bars[] = {
        {Skin::Volume, L::VolumeFrame, L::VolumeThumb, L::VolumeThumbPressed, L::VolumePlace,
         MaskFile::VolumeBarObject, &mask->volumeBar, &mask->volumeThumb, &mask->volumeBarFrames,
         "volumebar.bmp", "volumethumb.bmp"},
        {Skin::Balance, L::BalanceFrame, L::BalanceThumb, L::BalanceThumbPressed, L::BalancePlace,
         MaskFile::BalanceBarObject, &mask->balanceBar, &mask->balanceThumb, &mask->balanceBarFrames,
         "balancebar.bmp", "balancethumb.bmp"},
    };
    for (const Bar &bar : bars) {
        if (!skin.has(bar.sprite))
            continue;
        const QImage &sheet = skin.sprite(bar.sprite);
        QList<QRect> frames;
        for (int i = 0; i < L::BarFrames; ++i)
            frames.append(shifted(bar.frame, L::BarFrameStep * i));
        mask->extraObjects[bar.object] = place(bar.at);
        *bar.bar = add(QLatin1String(bar.barFile), row(sheet, frames, true));
        *bar.frames = L::BarFrames;
        // Some sheets end with the frames: the thumb is then the bar's own.
        if (sheet.height() >= bar.thumb.bottom() + 1)
            *bar.thumbName = add(QLatin1String(bar.thumbFile), row(sheet, {bar.thumb, bar.thumbPressed}));
    }

    // The time in the skin's digits: 0-9, blank, minus.
    mask->objects[MaskFile::PlayTime] = place(L::PlayTimePlace);
    const QImage &digitSheet =
        skin.has(Skin::NumsEx) ? skin.sprite(Skin::NumsEx) : skin.sprite(Skin::Numbers);
    if (!digitSheet.isNull()) {
        const int w = L::DigitSize.width(), h = L::DigitSize.height();
        const auto glyph = [&](int i) { return digitSheet.copy(w * i, 0, w, h); };
        const auto sheetHas = [&](int i) { return digitSheet.width() >= w * (i + 1); };
        QImage digits = blankImage(w * L::DigitGlyphs, h);
        QPainter painter(&digits);
        for (int i = 0; i < 10; ++i)
            painter.drawImage(w * i, 0, glyph(i));
        // No blank: what lies under the sign cell; no minus: the blank crossed by the "2"'s middle row.
        const QImage blank =
            sheetHas(L::DigitBlank) ? glyph(L::DigitBlank) : art.copy(QRect(L::TimeSignPlace, L::DigitSize));
        QImage minus = blank;
        if (sheetHas(L::DigitMinus)) {
            minus = glyph(L::DigitMinus);
        } else {
            const QImage two = glyph(2);
            for (int x = 0; x < w; ++x)
                minus.setPixel(x, h / 2, two.pixel(x, h / 2));
        }
        painter.drawImage(w * L::DigitBlank, 0, blank);
        painter.drawImage(w * L::DigitMinus, 0, minus);
        painter.end();
        mask->timeDigits = add(QStringLiteral("digits.bmp"), digits);
    }

    // The title in the skin's 5 x 6 font, laid out for characters 32 to 127.
    mask->objects[MaskFile::SongTitle] = place(L::SongTitlePlace);
    if (skin.has(Skin::Text)) {
        const QImage &sheet = skin.sprite(Skin::Text);
        const int w = L::TextCell.width(), h = L::TextCell.height();
        QImage chars = blankImage(w * 16, h * 6);
        QPainter painter(&chars);
        for (int c = 32; c < 128; ++c) {
            const QPoint cell = L::textCellOf(char16_t(c));
            painter.drawImage(w * ((c - 32) % 16), h * ((c - 32) / 16),
                              sheet.copy(cell.x() * w, cell.y() * h, w, h));
        }
        painter.end();
        mask->titleChars = add(QStringLiteral("chars.bmp"), chars);
        const QPoint blank(L::TextBlankCell.x() * w, L::TextBlankCell.y() * h);
        if (sheet.rect().contains(blank)) {
            mask->titleColor = colorValue(sheet.pixel(blank));
            // The font's ink is the player's first colour: the captions drawn over the skin (the close
            // button, the lit labels, the time while dragging) then match its text.
            QHash<QRgb, int> inks;
            const QRect letters = QRect(0, 0, 26 * w, h).intersected(sheet.rect());
            for (int y = letters.top(); y <= letters.bottom(); ++y)
                for (int x = letters.left(); x <= letters.right(); ++x)
                    if (sheet.pixel(x, y) != sheet.pixel(blank))
                        ++inks[sheet.pixel(x, y)];
            const auto most = std::max_element(inks.cbegin(), inks.cend());
            if (most != inks.cend())
                mask->bestColor1 = colorValue(most.key());
        }
    }

    // Spots the skin paints into main.
    mask->objects[MaskFile::About] = place(L::AboutPlace);
    mask->objects[MaskFile::Minimize] = place(L::MinimizePlace);
    mask->objects[MaskFile::OnTop] = place(L::OnTopPlace);
    mask->objects[MaskFile::Close] = place(L::ClosePlace);
    mask->objects[MaskFile::Equalizer] = place(L::EqualizerPlace);
    mask->objects[MaskFile::PlayList] = place(L::PlayListPlace);
    mask->objects[MaskFile::Configration] = place(L::ConfigPlace);
    mask->objects[MaskFile::Information] = place(L::InformationPlace);
    mask->objects[MaskFile::VUMeterL] = place(L::MeterLeftPlace);
    mask->objects[MaskFile::VUMeterR] = place(L::MeterRightPlace);
    mask->vuKind = QStringLiteral("Horizontal");
    if (!skin.visColors.isEmpty())
        mask->vuColor = SystemColors::toValue(skin.visColors.first());
    return pictures;
}

ClassicImport ClassicSkinImporter::write(const ClassicSkin &skin, const QString &skinName,
                                         const QString &masksFolder, const Origin &origin)
{
    ClassicImport result;
    const QString cannotWrite = QStringLiteral("The mask folder \"%1\" cannot be written.").arg(masksFolder);
    if (!QDir().mkpath(masksFolder)) {
        result.error = cannotWrite;
        return result;
    }
    QTemporaryDir fresh(masksFolder + QStringLiteral("/.") + skinName + QStringLiteral(".import-XXXXXX"));
    if (!fresh.isValid()) {
        result.error = cannotWrite;
        return result;
    }
    MaskFile mask;
    const Pictures pictures = build(skin, skinName, &mask);
    for (const auto &[name, image] : pictures.files)
        if (!image.save(fresh.filePath(name), "BMP")) {
            result.error = cannotWrite;
            return result;
        }
    if (!pictures.shape.isEmpty()) {
        QSaveFile shape(fresh.filePath(mask.shape));
        if (!shape.open(QIODevice::WriteOnly) || shape.write(pictures.shape) != pictures.shape.size() ||
            !shape.commit()) {
            result.error = cannotWrite;
            return result;
        }
    }
    const QString maskName = skinName + QStringLiteral(".msk");
    if (!mask.save(fresh.filePath(maskName)) || !writeOrigin(fresh.path(), origin)) {
        result.error = cannotWrite;
        return result;
    }

    // The swap: the old folder steps aside, the new one takes its name, and only then is the old one removed.
    const QString target = masksFolder + u'/' + skinName;
    const QFileInfo old(target);
    QString aside;
    if (old.exists() || old.isSymLink()) {
        do
            aside = masksFolder + QStringLiteral("/.") + skinName + QStringLiteral(".old-") +
                    QString::number(QRandomGenerator::global()->generate(), 16);
        while (QFileInfo::exists(aside) || QFileInfo(aside).isSymLink());
        if (!QDir().rename(target, aside)) {
            result.error = cannotWrite;
            return result;
        }
    }
    if (!QDir().rename(fresh.path(), target)) {
        if (!aside.isEmpty())
            QDir().rename(aside, target);
        result.error = cannotWrite;
        return result;
    }
    fresh.setAutoRemove(false);
    if (!aside.isEmpty()) {
        // A link or a file in the folder's place goes itself; its target is never touched.
        const QFileInfo stepped(aside);
        if (stepped.isSymLink() || !stepped.isDir())
            QFile::remove(aside);
        else
            QDir(aside).removeRecursively();
    }
    result.maskPath = target + u'/' + maskName;
    return result;
}

ClassicSkinImporter::Origin ClassicSkinImporter::originOf(const QString &source)
{
    const QFileInfo info(source);
    Origin origin;
    origin.source = info.absoluteFilePath();
    // A folder skin changes with its files; its main picture stands for them.
    const QFileInfo stamp =
        info.isDir() ? QFileInfo(QDir(source).filePath(QStringLiteral("main.bmp"))) : info;
    origin.size = stamp.size();
    origin.modified = stamp.lastModified().toMSecsSinceEpoch();
    return origin;
}

bool ClassicSkinImporter::writeOrigin(const QString &folder, const Origin &origin)
{
    ProfileFile profile;
    profile.writeString(OriginSection, QStringLiteral("Source"), origin.source);
    profile.writeString(OriginSection, QStringLiteral("Size"), QString::number(origin.size));
    profile.writeString(OriginSection, QStringLiteral("Modified"), QString::number(origin.modified));
    for (int i = 0; i < origin.leftOut.size(); ++i)
        profile.writeString(OriginSection, QStringLiteral("LeftOut%1").arg(i + 1), origin.leftOut[i]);
    return profile.saveAs(QDir(folder).filePath(OriginFile));
}

std::optional<ClassicSkinImporter::Origin> ClassicSkinImporter::readOrigin(const QString &folder)
{
    const QString path = QDir(folder).filePath(OriginFile);
    if (!QFileInfo(folder).isDir() || QFileInfo(folder).isSymLink() || !QFileInfo(path).isFile())
        return std::nullopt;
    const ProfileFile profile(path);
    Origin origin;
    origin.source = profile.readString(OriginSection, QStringLiteral("Source"));
    if (origin.source.isEmpty())
        return std::nullopt;
    origin.size = profile.readString(OriginSection, QStringLiteral("Size")).toLongLong();
    origin.modified = profile.readString(OriginSection, QStringLiteral("Modified")).toLongLong();
    for (int i = 1; i <= 64; ++i) {
        const QString line = profile.readString(OriginSection, QStringLiteral("LeftOut%1").arg(i));
        if (line.isEmpty())
            break;
        origin.leftOut << line;
    }
    return origin;
}

ClassicImport ClassicSkinImporter::importSkin(const QString &source, const QString &masksFolder)
{
    const QFileInfo info(QDir::cleanPath(source));
    Origin origin = originOf(info.filePath());
    const QString name = safeName(info.isDir() ? info.fileName() : info.completeBaseName());

    // The folder of this skin: a free name, or a folder an import of the same skin made. A folder of the
    // user's own, or one that holds the skin itself, is never replaced: the next name is taken instead.
    QString folderName;
    for (int n = 1; n <= MaxSameNames && folderName.isEmpty(); ++n) {
        const QString candidate = n == 1 ? name : QStringLiteral("%1 (%2)").arg(name).arg(n);
        const QString path = masksFolder + u'/' + candidate;
        const QFileInfo there(path);
        if (!there.exists() && !there.isSymLink()) {
            folderName = candidate;
            break;
        }
        const std::optional<Origin> made = readOrigin(path);
        const QString within = QDir(there.absoluteFilePath()).relativeFilePath(origin.source);
        if (!made || made->source != origin.source || within == QLatin1String(".") ||
            !within.startsWith(QLatin1String("..")))
            continue;
        // The same skin, unchanged since: its mask is worn as it is, with what the editor did to it.
        const QString mask = path + u'/' + candidate + QStringLiteral(".msk");
        if (made->size == origin.size && made->modified == origin.modified && QFileInfo(mask).isFile()) {
            ClassicImport result;
            result.maskPath = mask;
            result.leftOut = made->leftOut;
            return result;
        }
        folderName = candidate;
    }
    ClassicImport result;
    if (folderName.isEmpty()) {
        result.error = QStringLiteral("Every mask folder name for \"%1\" is taken.").arg(name);
        return result;
    }

    ClassicArchive archive = ClassicArchive::open(source);
    if (!archive.isValid()) {
        result.error = QStringLiteral("\"%1\" is not a classic skin: %2.")
                           .arg(info.fileName(), lowerFirst(archive.error()));
        return result;
    }
    const ClassicSkin skin = ClassicSkin::read(archive);
    if (!skin.has(ClassicSkin::Main)) {
        result.error =
            skin.mainProblem.isEmpty()
                ? QStringLiteral("The skin has no main window picture (main.bmp).")
                : QStringLiteral("The skin's main window picture cannot be used: %1.").arg(skin.mainProblem);
        return result;
    }
    origin.leftOut = skin.notes;
    result = write(skin, folderName, masksFolder, origin);
    if (result.ok())
        result.leftOut = skin.notes;
    return result;
}

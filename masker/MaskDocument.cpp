#include "masker/MaskDocument.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

const QPoint MaskDocument::NewVolumePlace(10, 110);
const QPoint MaskDocument::NewBalancePlace(80, 110);
const QStringList MaskDocument::VUKinds = {QStringLiteral("Horizontal"), QStringLiteral("Vertical"),
                                           QStringLiteral("Pie"), QStringLiteral("Needle"),
                                           QStringLiteral("Grad Vertical")};

namespace
{

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

} // namespace

QRect MaskDocument::newObjectBounds(MaskFile::Object object)
{
    // A new mask starts with every object in sight on a player of about 300 x 140, none over another.
    static const std::array<QRect, MaskFile::ObjectCount> places = {
        QRect(10, 62, 200, 16), QRect(10, 8, 200, 22),  QRect(220, 8, 20, 20),  QRect(250, 8, 12, 14),
        QRect(264, 8, 12, 14),  QRect(278, 8, 12, 14),  QRect(250, 26, 12, 14), QRect(264, 26, 12, 14),
        QRect(278, 26, 12, 12), QRect(278, 44, 12, 12), QRect(10, 34, 60, 22),  QRect(232, 34, 10, 50),
        QRect(220, 34, 10, 50), QRect(10, 84, 36, 20),  QRect(48, 84, 36, 20),  QRect(86, 84, 36, 20),
        QRect(124, 84, 24, 20), QRect(150, 84, 24, 20), QRect(176, 84, 24, 20), QRect(202, 84, 36, 20),
        QRect(240, 84, 36, 20), QRect(80, 34, 50, 22),
    };
    return places[object];
}

MaskDocument::MaskDocument() : m_mask(MaskFile::defaults(MaskReader::EditorLoad))
{
    m_mask.titleFont = NewTitleFont;
    m_mask.bestColor1 = Navy;
    for (int o = 0; o < MaskFile::ObjectCount; ++o)
        setObjectBounds(MaskFile::Object(o), newObjectBounds(MaskFile::Object(o)));
    setVolumePlace(NewVolumePlace);
    setBalancePlace(NewBalancePlace);
}

bool MaskDocument::load(const QString &path, MaskFile *asRead)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return false;
    const MaskFile read = MaskFile::load(path, MaskReader::EditorLoad);
    MaskFile m = read;
    // A picture found beside the mask is named as it lies there; one not found keeps its name, so saving
    // again does not lose it.
    const auto named = [&read](const QString &name) {
        const QString found = read.imagePath(name);
        return fileName(found.isEmpty() ? name : found);
    };
    m.backImage = named(read.backImage);
    m.sliderThumb = named(read.sliderThumb);
    for (QString &image : m.buttonImages)
        image = named(image);
    m.animatedGif = named(read.animatedGif);
    m.sliderKind = read.sliderHorizontal() ? QStringLiteral("Horizontal") : QStringLiteral("Vertical");
    m.timeAngle = std::clamp(read.timeAngle, MinTimeAngle, MaxTimeAngle);
    m.timeShadowSize = std::clamp(read.timeShadowSize, 0, MaxShadow);
    m.timeShadowDepth = std::clamp(read.timeShadowDepth, 0, MaxShadow);
    if (!VUKinds.contains(read.vuKind))
        m.vuKind = VUKinds.first();
    if (read.gifActive < 0 || read.gifActive >= GifActivities)
        m.gifActive = 0;
    m_mask = m;
    for (int o = 0; o < MaskFile::ObjectCount; ++o) {
        const MaskGeometry &g = read.objects[o];
        setObjectBounds(MaskFile::Object(o), QRect(g.left, g.top, g.width, g.height));
    }
    if (asRead)
        *asRead = read;
    return true;
}

void MaskDocument::setBackImage(const QString &path)
{
    m_mask.backImage = fileName(path);
}

void MaskDocument::setSliderThumb(const QString &path)
{
    m_mask.sliderThumb = fileName(path);
}

void MaskDocument::setButtonImage(MaskFile::Button button, const QString &path)
{
    m_mask.buttonImages[button] = fileName(path);
}

void MaskDocument::setAnimatedGif(const QString &path)
{
    m_mask.animatedGif = fileName(path);
}

void MaskDocument::setSliderHorizontal(bool horizontal)
{
    m_mask.sliderKind = horizontal ? QStringLiteral("Horizontal") : QStringLiteral("Vertical");
}

void MaskDocument::setVUKind(int index)
{
    m_mask.vuKind = VUKinds.value(index, VUKinds.first());
}

void MaskDocument::setGifActive(int index)
{
    m_mask.gifActive = index >= 0 && index < GifActivities ? index : 0;
}

QRect MaskDocument::objectBounds(MaskFile::Object object) const
{
    const MaskGeometry &g = m_mask.objects[object];
    return QRect(g.left, g.top, g.width, g.height);
}

void MaskDocument::setObjectBounds(MaskFile::Object object, const QRect &bounds)
{
    // A marker is never narrower than nothing nor wider than a widget can be.
    const int width = std::clamp(bounds.width(), 0, MaxMarkerSide);
    const int height = std::clamp(bounds.height(), 0, MaxMarkerSide);
    m_mask.objects[object] = MaskGeometry{width, height, bounds.top(), bounds.left()};
}

void MaskDocument::setVolumePlace(const QPoint &place)
{
    m_mask.volumeLeft = place.x();
    m_mask.volumeTop = place.y();
}

void MaskDocument::setBalancePlace(const QPoint &place)
{
    m_mask.balanceLeft = place.x();
    m_mask.balanceTop = place.y();
}

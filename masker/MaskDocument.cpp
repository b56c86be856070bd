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

QRect MaskDocument::newExtraObjectBounds(MaskFile::ExtraObject object)
{
    // Below the buttons, beside the volume and balance knobs: a classic bar's size.
    return object == MaskFile::VolumeBarObject ? QRect(140, 112, 68, 13) : QRect(216, 112, 38, 13);
}

MaskDocument::MaskDocument() : m_mask(MaskFile::defaults(MaskReader::EditorLoad))
{
    m_mask.titleFont = NewTitleFont;
    m_mask.bestColor1 = Navy;
    for (int o = 0; o < MaskFile::ObjectCount; ++o)
        setObjectBounds(MaskFile::Object(o), newObjectBounds(MaskFile::Object(o)));
    for (int o = 0; o < MaskFile::ExtraObjectCount; ++o)
        setExtraObjectBounds(MaskFile::ExtraObject(o), newExtraObjectBounds(MaskFile::ExtraObject(o)));
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
    for (QString MaskFile::*field :
         {&MaskFile::timeDigits, &MaskFile::titleChars, &MaskFile::sliderBack, &MaskFile::volumeBar,
          &MaskFile::volumeThumb, &MaskFile::balanceBar, &MaskFile::balanceThumb, &MaskFile::shape})
        m.*field = named(read.*field);
    for (QString &image : m.toggleOnImages)
        image = named(image);
    // A bar has at least one frame; without a bar the count is not written and stays as read.
    if (!m.volumeBar.isEmpty())
        m.volumeBarFrames = std::clamp(read.volumeBarFrames, 1, MaxBarFrames);
    if (!m.balanceBar.isEmpty())
        m.balanceBarFrames = std::clamp(read.balanceBarFrames, 1, MaxBarFrames);
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
    const bool barUsed[MaskFile::ExtraObjectCount] = {!m.volumeBar.isEmpty(), !m.balanceBar.isEmpty()};
    for (int o = 0; o < MaskFile::ExtraObjectCount; ++o) {
        const MaskGeometry &g = read.extraObjects[o];
        // A bar the mask neither uses nor places waits where a new mask has it, in sight.
        if (!barUsed[o] && g.width <= 0 && g.height <= 0)
            setExtraObjectBounds(MaskFile::ExtraObject(o), newExtraObjectBounds(MaskFile::ExtraObject(o)));
        else
            setExtraObjectBounds(MaskFile::ExtraObject(o), QRect(g.left, g.top, g.width, g.height));
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

void MaskDocument::setExtraImage(QString MaskFile::*field, const QString &path)
{
    m_mask.*field = fileName(path);
}

void MaskDocument::setToggleOnImage(MaskFile::Toggle toggle, const QString &path)
{
    m_mask.toggleOnImages[toggle] = fileName(path);
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

QRect MaskDocument::extraObjectBounds(MaskFile::ExtraObject object) const
{
    const MaskGeometry &g = m_mask.extraObjects[object];
    return QRect(g.left, g.top, g.width, g.height);
}

void MaskDocument::setExtraObjectBounds(MaskFile::ExtraObject object, const QRect &bounds)
{
    const int width = std::clamp(bounds.width(), 0, MaxMarkerSide);
    const int height = std::clamp(bounds.height(), 0, MaxMarkerSide);
    m_mask.extraObjects[object] = MaskGeometry{width, height, bounds.top(), bounds.left()};
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

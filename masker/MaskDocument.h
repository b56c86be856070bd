#pragma once
// The mask the wizard edits: one MaskFile, changed field by field as the user changes the controls, replaced
// by "Load Mask", and written as it is by the save. It holds only what the controls can show, so a loaded
// mask saved again writes what the wizard showed of it.
#include "masks/MaskFile.h"

#include <QPoint>
#include <QRect>
#include <QStringList>

class MaskDocument
{
public:
    // The wizard's choices for a new mask where they differ from a file's missing keys.
    static constexpr int32_t Olive = MaskFile::DefaultBackColor;
    static constexpr int32_t Navy = 8388608;
    static constexpr int NewTitleFont = 10;
    static const QPoint NewVolumePlace;
    static const QPoint NewBalancePlace;
    // Where each object lies in a new mask.
    static QRect newObjectBounds(MaskFile::Object object);
    static QRect newExtraObjectBounds(MaskFile::ExtraObject object);

    // What the controls hold; a loaded value beyond them is brought inside, as the control showed it.
    static constexpr int MinTimeAngle = -360;
    static constexpr int MaxTimeAngle = 360;
    static constexpr int MaxShadow = 20;
    static constexpr int MaxMarkerSide = (1 << 24) - 1; // the largest side a widget takes
    // The level meters' kinds in the order the wizard lists them.
    static const QStringList VUKinds;
    static constexpr int GifActivities = 3;
    static constexpr int MaxBarFrames = 256;

    // A new mask.
    MaskDocument();

    const MaskFile &mask() const { return m_mask; }

    // Reads a mask with the editor's defaults; false (and nothing changed) when there is no such file.
    // `asRead` gets the file as read: its image names as written, resolved against its folder.
    bool load(const QString &path, MaskFile *asRead = nullptr);
    // Writes the mask as it is, keeping foreign keys of an existing file.
    bool save(const QString &path) const { return m_mask.save(path); }

    // The colour, font and number fields are stored as the controls give them.
    void setColor(int32_t MaskFile::*field, int32_t value) { m_mask.*field = value; }
    void setNumber(int MaskFile::*field, int value) { m_mask.*field = value; }
    // A picked picture is named by its file name: the mask finds it beside itself.
    void setBackImage(const QString &path);
    void setSliderThumb(const QString &path);
    void setButtonImage(MaskFile::Button button, const QString &path);
    void setAnimatedGif(const QString &path);
    void setSliderHorizontal(bool horizontal);
    void setVUKind(int index);
    void setGifActive(int index);
    void setAuthor(const QString &author) { m_mask.author = author; }
    // The extras' pictures and the shape file (an empty path clears one).
    void setExtraImage(QString MaskFile::*field, const QString &path);
    void setToggleOnImage(MaskFile::Toggle toggle, const QString &path);

    QRect objectBounds(MaskFile::Object object) const;
    void setObjectBounds(MaskFile::Object object, const QRect &bounds);
    QRect extraObjectBounds(MaskFile::ExtraObject object) const;
    void setExtraObjectBounds(MaskFile::ExtraObject object, const QRect &bounds);
    void setVolumePlace(const QPoint &place);
    void setBalancePlace(const QPoint &place);

private:
    MaskFile m_mask;
};

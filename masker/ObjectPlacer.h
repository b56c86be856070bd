#pragma once
// Places the mask's objects: step 3's fields and the placement window's markers both show the document's
// bounds. A value typed into a field moves or sizes the chosen object, a dragged marker moves its own, and
// the fields show the chosen object. The chooser lists the standard objects in their order, then the
// extras' bars.
#include "masks/MaskFile.h"

#include <QObject>
#include <QRect>
#include <array>

class MarkerButton;
class MaskDocument;
class PlacementWindow;
class QComboBox;
class QSpinBox;

class ObjectPlacer : public QObject
{
    Q_OBJECT

public:
    struct Fields {
        QComboBox *objects;
        QSpinBox *width;
        QSpinBox *height;
        QSpinBox *left;
        QSpinBox *top;
    };

    ObjectPlacer(MaskDocument &document, PlacementWindow *placement, const Fields &fields,
                 QObject *parent = nullptr);

    // The chooser's entries: a standard object's index, or ObjectCount + an extra object.
    static constexpr int EntryCount = int(MaskFile::ObjectCount) + int(MaskFile::ExtraObjectCount);
    static int extraIndex(MaskFile::ExtraObject object) { return MaskFile::ObjectCount + int(object); }
    int selectedIndex() const;
    // The fields show the object chosen in the list.
    void ObjectsChange();
    void SWChange(int value);
    void SHChange(int value);
    void SLChange(int value);
    void STChange(int value);

    // Whether a button wears a glyph: then it keeps the glyph's size.
    void setGlyph(MaskFile::Button button, bool hasGlyph) { m_glyphs[button] = hasGlyph; }
    // An object sized to its picture.
    void resizeObject(MaskFile::Object object, const QSize &size);
    void resizeObject(MaskFile::ExtraObject object, const QSize &size);
    // Every marker where the document has it.
    void placeAll();
    // No object larger than the background, nor placed beyond it.
    void boundBy(const QSize &background);

signals:
    // A button's size was typed; it keeps its glyph's. Once for an edit of the field, not at each key.
    void buttonSizeRefused();

private:
    QRect bounds(int index) const;
    void setBounds(int index, const QRect &bounds);
    MarkerButton *marker(int index) const;
    void resizeIndex(int index, const QSize &size);
    // A new width or height (-1: unchanged) for the selected object.
    void resizeSelected(int width, int height);
    bool isGlyphButton(int index) const;

    MaskDocument &m_document;
    PlacementWindow *m_placement;
    Fields m_fields;
    std::array<bool, MaskFile::ButtonCount> m_glyphs{};
    bool m_buttonSizeTold = false;
};

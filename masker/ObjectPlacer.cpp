#include "masker/ObjectPlacer.h"

#include "masker/MarkerButton.h"
#include "masker/MaskDocument.h"
#include "masker/PlacementWindow.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QSpinBox>

#include <utility>

ObjectPlacer::ObjectPlacer(MaskDocument &document, PlacementWindow *placement, const Fields &fields,
                           QObject *parent)
    : QObject(parent), m_document(document), m_placement(placement), m_fields(fields)
{
    connect(m_fields.objects, &QComboBox::currentIndexChanged, this, &ObjectPlacer::ObjectsChange);
    // The button-size message is told once for an edit of the field, not at each keystroke.
    for (QSpinBox *box : {m_fields.width, m_fields.height})
        connect(box, &QSpinBox::editingFinished, this, [this] { m_buttonSizeTold = false; });
    connect(m_fields.width, &QSpinBox::valueChanged, this, &ObjectPlacer::SWChange);
    connect(m_fields.height, &QSpinBox::valueChanged, this, &ObjectPlacer::SHChange);
    connect(m_fields.left, &QSpinBox::valueChanged, this, &ObjectPlacer::SLChange);
    connect(m_fields.top, &QSpinBox::valueChanged, this, &ObjectPlacer::STChange);

    connect(m_placement, &PlacementWindow::markerReleased, this, &ObjectPlacer::ObjectsChange);
    connect(m_placement, &PlacementWindow::objectMoved, this,
            [this](MaskFile::Object object, const QPoint &to) {
                QRect bounds = m_document.objectBounds(object);
                bounds.moveTopLeft(to);
                m_document.setObjectBounds(object, bounds);
            });
    connect(m_placement, &PlacementWindow::extraObjectMoved, this,
            [this](MaskFile::ExtraObject object, const QPoint &to) {
                QRect bounds = m_document.extraObjectBounds(object);
                bounds.moveTopLeft(to);
                m_document.setExtraObjectBounds(object, bounds);
            });
    connect(m_placement, &PlacementWindow::volumeMoved, this,
            [this](const QPoint &to) { m_document.setVolumePlace(to); });
    connect(m_placement, &PlacementWindow::balanceMoved, this,
            [this](const QPoint &to) { m_document.setBalancePlace(to); });
}

int ObjectPlacer::selectedIndex() const
{
    const int index = m_fields.objects->currentIndex();
    return index >= 0 && index < EntryCount ? index : 0;
}

QRect ObjectPlacer::bounds(int index) const
{
    return index < MaskFile::ObjectCount
               ? m_document.objectBounds(MaskFile::Object(index))
               : m_document.extraObjectBounds(MaskFile::ExtraObject(index - MaskFile::ObjectCount));
}

void ObjectPlacer::setBounds(int index, const QRect &bounds)
{
    if (index < MaskFile::ObjectCount)
        m_document.setObjectBounds(MaskFile::Object(index), bounds);
    else
        m_document.setExtraObjectBounds(MaskFile::ExtraObject(index - MaskFile::ObjectCount), bounds);
    marker(index)->setGeometry(this->bounds(index));
}

MarkerButton *ObjectPlacer::marker(int index) const
{
    return index < MaskFile::ObjectCount
               ? m_placement->marker(MaskFile::Object(index))
               : m_placement->extraMarker(MaskFile::ExtraObject(index - MaskFile::ObjectCount));
}

void ObjectPlacer::ObjectsChange()
{
    // The fields show the object chosen in the list, whichever marker was just let go.
    const QRect shown = bounds(selectedIndex());
    const QSignalBlocker w(m_fields.width), h(m_fields.height), l(m_fields.left), t(m_fields.top);
    m_fields.width->setValue(shown.width());
    m_fields.height->setValue(shown.height());
    m_fields.left->setValue(shown.left());
    m_fields.top->setValue(shown.top());
}

void ObjectPlacer::resizeIndex(int index, const QSize &size)
{
    setBounds(index, QRect(bounds(index).topLeft(), size));
    if (selectedIndex() == index)
        ObjectsChange();
}

void ObjectPlacer::resizeObject(MaskFile::Object object, const QSize &size)
{
    resizeIndex(int(object), size);
}

void ObjectPlacer::resizeObject(MaskFile::ExtraObject object, const QSize &size)
{
    resizeIndex(extraIndex(object), size);
}

void ObjectPlacer::placeAll()
{
    for (int i = 0; i < EntryCount; ++i)
        marker(i)->setGeometry(bounds(i));
    const MaskFile &m = m_document.mask();
    m_placement->Volume->move(m.volumeLeft, m.volumeTop);
    m_placement->Balance->move(m.balanceLeft, m.balanceTop);
    ObjectsChange();
}

void ObjectPlacer::boundBy(const QSize &background)
{
    m_fields.width->setMaximum(background.width());
    m_fields.height->setMaximum(background.height());
    m_fields.left->setMaximum(background.width());
    m_fields.top->setMaximum(background.height());
}

bool ObjectPlacer::isGlyphButton(int index) const
{
    return index >= MaskFile::PlayButtom && index <= MaskFile::RandButtom &&
           m_glyphs[index - int(MaskFile::PlayButtom)];
}

void ObjectPlacer::resizeSelected(int width, int height)
{
    const int index = selectedIndex();
    // Buttons keep the size of their glyphs: the fields go back and the user is told why.
    if (isGlyphButton(index)) {
        ObjectsChange();
        if (!std::exchange(m_buttonSizeTold, true))
            emit buttonSizeRefused();
        return;
    }
    QRect resized = bounds(index);
    if (width >= 0)
        resized.setWidth(width);
    if (height >= 0)
        resized.setHeight(height);
    setBounds(index, resized);
}

void ObjectPlacer::SWChange(int value)
{
    resizeSelected(value, -1);
}

void ObjectPlacer::SHChange(int value)
{
    resizeSelected(-1, value);
}

void ObjectPlacer::SLChange(int value)
{
    const int index = selectedIndex();
    QRect moved = bounds(index);
    moved.moveLeft(value);
    setBounds(index, moved);
}

void ObjectPlacer::STChange(int value)
{
    const int index = selectedIndex();
    QRect moved = bounds(index);
    moved.moveTop(value);
    setBounds(index, moved);
}

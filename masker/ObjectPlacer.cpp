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
    connect(m_placement, &PlacementWindow::volumeMoved, this,
            [this](const QPoint &to) { m_document.setVolumePlace(to); });
    connect(m_placement, &PlacementWindow::balanceMoved, this,
            [this](const QPoint &to) { m_document.setBalancePlace(to); });
}

MaskFile::Object ObjectPlacer::selectedObject() const
{
    const int index = m_fields.objects->currentIndex();
    return index >= 0 && index < MaskFile::ObjectCount ? MaskFile::Object(index) : MaskFile::Slider;
}

void ObjectPlacer::ObjectsChange()
{
    // The fields show the object chosen in the list, whichever marker was just let go.
    const QRect bounds = m_document.objectBounds(selectedObject());
    const QSignalBlocker w(m_fields.width), h(m_fields.height), l(m_fields.left), t(m_fields.top);
    m_fields.width->setValue(bounds.width());
    m_fields.height->setValue(bounds.height());
    m_fields.left->setValue(bounds.left());
    m_fields.top->setValue(bounds.top());
}

void ObjectPlacer::setObjectBounds(MaskFile::Object object, const QRect &bounds)
{
    m_document.setObjectBounds(object, bounds);
    m_placement->marker(object)->setGeometry(m_document.objectBounds(object));
}

void ObjectPlacer::resizeObject(MaskFile::Object object, const QSize &size)
{
    setObjectBounds(object, QRect(m_document.objectBounds(object).topLeft(), size));
    if (selectedObject() == object)
        ObjectsChange();
}

void ObjectPlacer::placeAll()
{
    for (int o = 0; o < MaskFile::ObjectCount; ++o)
        m_placement->marker(MaskFile::Object(o))->setGeometry(m_document.objectBounds(MaskFile::Object(o)));
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

bool ObjectPlacer::isGlyphButton(MaskFile::Object object) const
{
    return object >= MaskFile::PlayButtom && object <= MaskFile::RandButtom &&
           m_glyphs[int(object) - int(MaskFile::PlayButtom)];
}

void ObjectPlacer::resizeSelected(int width, int height)
{
    const MaskFile::Object object = selectedObject();
    // Buttons keep the size of their glyphs: the fields go back and the user is told why.
    if (isGlyphButton(object)) {
        ObjectsChange();
        if (!std::exchange(m_buttonSizeTold, true))
            emit buttonSizeRefused();
        return;
    }
    QRect bounds = m_document.objectBounds(object);
    if (width >= 0)
        bounds.setWidth(width);
    if (height >= 0)
        bounds.setHeight(height);
    setObjectBounds(object, bounds);
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
    const MaskFile::Object object = selectedObject();
    QRect bounds = m_document.objectBounds(object);
    bounds.moveLeft(value);
    setObjectBounds(object, bounds);
}

void ObjectPlacer::STChange(int value)
{
    const MaskFile::Object object = selectedObject();
    QRect bounds = m_document.objectBounds(object);
    bounds.moveTop(value);
    setObjectBounds(object, bounds);
}

#include "masker/ExtrasPage.h"

#include "masker/MaskDocument.h"
#include "masks/RegionFile.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace
{

const QString PictureFilter = QStringLiteral("Pictures (*.bmp *.png)");
const QString ShapeFilter = QStringLiteral("Shapes (*.txt)");

struct ItemText {
    const char *label;
    const char *caption; // of the file dialog
    const char *tip;
};

const std::array<ItemText, ExtrasPage::ItemCount> Texts = {{
    {"Time digits:", "Load Time Digits",
     "12 glyphs of equal width side by side: the digits 0 to 9, a blank and a minus."},
    {"Title characters:", "Load Title Characters",
     "A grid of 16 x 6 equal cells: the characters 32 to 127, row by row, space first."},
    {"Slider groove:", "Load Slider Groove", "Drawn under the position slider's thumb."},
    {"Volume bar:", "Load Volume Bar", "Frames of equal height stacked top to bottom, silent first."},
    {"Volume thumb:", "Load Volume Thumb", "Two frames side by side: normal and pressed."},
    {"Balance bar:", "Load Balance Bar", "Frames of equal height stacked top to bottom, centre first."},
    {"Balance thumb:", "Load Balance Thumb", "Two frames side by side: normal and pressed."},
    {"Loop on:", "Load Loop On", "Four frames, as the buttons': shown while Loop is on."},
    {"Random on:", "Load Random On", "Four frames, as the buttons': shown while Random is on."},
    {"Window shape:", "Load Window Shape",
     "Polygons in region text ([Normal], NumPoints=, PointList=): the window's outline."},
}};

QString MaskFile::*const PictureFields[ExtrasPage::ItemCount] = {
    &MaskFile::timeDigits,
    &MaskFile::titleChars,
    &MaskFile::sliderBack,
    &MaskFile::volumeBar,
    &MaskFile::volumeThumb,
    &MaskFile::balanceBar,
    &MaskFile::balanceThumb,
    nullptr,
    nullptr,
    &MaskFile::shape,
};

int MaskFile::*const FrameFields[MaskFile::ExtraObjectCount] = {&MaskFile::volumeBarFrames,
                                                                &MaskFile::balanceBarFrames};

} // namespace

ExtrasPage::ExtrasPage(MaskDocument &document, OpenFile openFile, Tell tell, QWidget *parent)
    : QWidget(parent), m_document(document), m_openFile(std::move(openFile)), m_tell(std::move(tell))
{
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("A mask can also draw the time and the title from fonts of "
                                            "pictures, show volume and balance as bars of frames, and have "
                                            "an outline of its own. All of these are optional; every "
                                            "picture lies beside the mask, as the others do."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *grid = new QGridLayout;
    int row = 0;
    for (int i = 0; i < ItemCount; ++i) {
        const Item item = Item(i);
        auto *label = new QLabel(QString::fromUtf8(Texts[i].label), this);
        label->setToolTip(QString::fromUtf8(Texts[i].tip));
        m_names[i] = new QLineEdit(this);
        m_names[i]->setReadOnly(true);
        m_names[i]->setToolTip(label->toolTip());
        m_pickers[i] = new QPushButton(QStringLiteral("Load"), this);
        m_clearers[i] = new QPushButton(QStringLiteral("Clear"), this);
        grid->addWidget(label, row, 0);
        grid->addWidget(m_names[i], row, 1);
        grid->addWidget(m_pickers[i], row, 2);
        grid->addWidget(m_clearers[i], row, 3);
        ++row;
        connect(m_pickers[i], &QPushButton::clicked, this, [this, item] {
            const QString path = m_openFile(QString::fromUtf8(Texts[item].caption),
                                            item == Shape ? ShapeFilter : PictureFilter);
            if (!path.isEmpty())
                setFile(item, path);
        });
        connect(m_clearers[i], &QPushButton::clicked, this, [this, item] { clear(item); });
        if (item == VolumeBar || item == BalanceBar) {
            const MaskFile::ExtraObject bar = barOf(item);
            auto *frames = new QSpinBox(this);
            frames->setRange(1, MaskDocument::MaxBarFrames);
            frames->setValue(std::max(1, m_document.mask().*FrameFields[bar]));
            (bar == MaskFile::VolumeBarObject ? VolumeBarFrames : BalanceBarFrames) = frames;
            grid->addWidget(new QLabel(QStringLiteral("Frames:"), this), row, 0, Qt::AlignRight);
            grid->addWidget(frames, row, 1, Qt::AlignLeft);
            ++row;
            connect(frames, &QSpinBox::valueChanged, this, [this, bar](int value) { setFrames(bar, value); });
        }
    }
    layout->addLayout(grid);
    layout->addStretch();
}

MaskFile::ExtraObject ExtrasPage::barOf(Item item)
{
    return item == BalanceBar ? MaskFile::BalanceBarObject : MaskFile::VolumeBarObject;
}

QString ExtrasPage::refusal(Item item, const QString &path, QImage *picture, QList<QPolygon> *polygons) const
{
    if (item == Shape) {
        *polygons = RegionFile::read(path);
        return polygons->isEmpty()
                   ? QStringLiteral("\"%1\" holds no outline VorlanMasker can read.").arg(path)
                   : QString();
    }
    *picture = MaskFile::readImage(path);
    if (picture->isNull())
        return QStringLiteral("\"%1\" is not a picture VorlanMasker can read.").arg(path);
    const QSize size = picture->size();
    switch (item) {
    case TimeDigits:
        if (size.width() < 12)
            return QStringLiteral("\"%1\" is not a font of 12 glyphs side by side.").arg(path);
        break;
    case TitleChars:
        if (size.width() < 16 || size.height() < 6)
            return QStringLiteral("\"%1\" is not a grid of 16 x 6 characters.").arg(path);
        break;
    case VolumeThumb:
    case BalanceThumb:
        if (size.width() < 2)
            return QStringLiteral("\"%1\" is not a picture of two frames.").arg(path);
        break;
    case LoopOn:
    case RandOn:
        if (size.width() < 4)
            return QStringLiteral("\"%1\" is not a picture of four frames.").arg(path);
        break;
    default:
        break;
    }
    return QString();
}

bool ExtrasPage::setFile(Item item, const QString &path)
{
    QImage picture;
    QList<QPolygon> polygons;
    const QString why = refusal(item, path, &picture, &polygons);
    if (!why.isEmpty()) {
        m_tell(why);
        return false;
    }
    store(item, path);
    if (item == VolumeBar || item == BalanceBar) {
        const MaskFile::ExtraObject bar = barOf(item);
        m_bars[bar] = picture;
        // A bar has a frame at least; the count shown is the one it gets.
        QSpinBox *frames = bar == MaskFile::VolumeBarObject ? VolumeBarFrames : BalanceBarFrames;
        m_document.setNumber(FrameFields[bar], frames->value());
        emit barChanged(bar);
    } else if (item == Shape) {
        m_shape = polygons;
        emit shapeChanged();
    }
    return true;
}

void ExtrasPage::clear(Item item)
{
    store(item, QString());
    if (item == VolumeBar || item == BalanceBar) {
        m_bars[barOf(item)] = QImage();
        emit barChanged(barOf(item));
    } else if (item == Shape) {
        m_shape.clear();
        emit shapeChanged();
    }
}

void ExtrasPage::store(Item item, const QString &path)
{
    if (item == LoopOn || item == RandOn)
        m_document.setToggleOnImage(item == LoopOn ? MaskFile::LoopToggle : MaskFile::RandToggle, path);
    else
        m_document.setExtraImage(PictureFields[item], path);
    const MaskFile &m = m_document.mask();
    m_names[item]->setText(item == LoopOn   ? m.toggleOnImages[MaskFile::LoopToggle]
                           : item == RandOn ? m.toggleOnImages[MaskFile::RandToggle]
                                            : m.*PictureFields[item]);
}

void ExtrasPage::setFrames(MaskFile::ExtraObject bar, int frames)
{
    m_document.setNumber(FrameFields[bar], frames);
    emit barChanged(bar);
}

void ExtrasPage::showMask(const MaskFile &read)
{
    for (int i = 0; i < ItemCount; ++i) {
        const Item item = Item(i);
        m_names[i]->setText(item == LoopOn   ? read.toggleOnImages[MaskFile::LoopToggle]
                            : item == RandOn ? read.toggleOnImages[MaskFile::RandToggle]
                                             : read.*PictureFields[i]);
    }
    m_bars[MaskFile::VolumeBarObject] = MaskFile::readImage(read.imagePath(read.volumeBar));
    m_bars[MaskFile::BalanceBarObject] = MaskFile::readImage(read.imagePath(read.balanceBar));
    const QString shapeFile = read.imagePath(read.shape);
    m_shape = shapeFile.isEmpty() ? QList<QPolygon>() : RegionFile::read(shapeFile);
    const MaskFile &m = m_document.mask();
    for (QSpinBox *frames : {VolumeBarFrames, BalanceBarFrames}) {
        const QSignalBlocker block(frames);
        frames->setValue(std::max(1, m.*FrameFields[frames == VolumeBarFrames ? 0 : 1]));
    }
}

QImage ExtrasPage::barFrame(MaskFile::ExtraObject bar) const
{
    const QImage &picture = m_bars[bar];
    if (picture.isNull())
        return QImage();
    const int frames = std::max(1, m_document.mask().*FrameFields[bar]);
    const int height = std::max(1, picture.height() / frames);
    return picture.copy(0, 0, picture.width(), height);
}

#pragma once
// The wizard's page of the extras: the art of classic skins a mask may name beside the standard objects (a
// digit and a character font, the slider's groove, sprite bars for volume and balance with their thumbs,
// the glyphs of Loop and Random while on, and the window's outline as polygons). Each is picked and cleared
// here and goes into the document at once; what the placement window shows of them the wizard draws on the
// page's signals.
#include "masks/MaskFile.h"

#include <QImage>
#include <QList>
#include <QPolygon>
#include <QWidget>
#include <array>
#include <functional>

class MaskDocument;
class QLineEdit;
class QPushButton;
class QSpinBox;

class ExtrasPage : public QWidget
{
    Q_OBJECT

public:
    // The pictures (and the shape file) the page names, in the order it lists them.
    enum Item {
        TimeDigits,
        TitleChars,
        SliderBack,
        VolumeBar,
        VolumeThumb,
        BalanceBar,
        BalanceThumb,
        LoopOn,
        RandOn,
        Shape,
        ItemCount
    };
    // A file to open (caption, filter); empty when cancelled.
    using OpenFile = std::function<QString(const QString &caption, const QString &filter)>;
    // A message for the user.
    using Tell = std::function<void(const QString &text)>;

    ExtrasPage(MaskDocument &document, OpenFile openFile, Tell tell, QWidget *parent = nullptr);

    // The file name field, the picking and the clearing button of an item.
    QLineEdit *name(Item item) const { return m_names[item]; }
    QPushButton *picker(Item item) const { return m_pickers[item]; }
    QPushButton *clearer(Item item) const { return m_clearers[item]; }
    QSpinBox *VolumeBarFrames = nullptr;
    QSpinBox *BalanceBarFrames = nullptr;

    // Picks a file for an item (false and told when it cannot be one), or clears it.
    bool setFile(Item item, const QString &path);
    void clear(Item item);
    // A loaded mask: the fields show the names as written, the pictures are read beside the mask.
    void showMask(const MaskFile &read);

    // The first frame of a bar's picture; null without one.
    QImage barFrame(MaskFile::ExtraObject bar) const;
    // The polygons of the shape file; empty without one.
    const QList<QPolygon> &shape() const { return m_shape; }

signals:
    // A bar's picture or frame count was changed by the user.
    void barChanged(MaskFile::ExtraObject bar);
    void shapeChanged();

private:
    void store(Item item, const QString &path);
    // Why a picked file cannot be the item; empty when it can.
    QString refusal(Item item, const QString &path, QImage *picture, QList<QPolygon> *polygons) const;
    void setFrames(MaskFile::ExtraObject bar, int frames);
    static MaskFile::ExtraObject barOf(Item item);

    MaskDocument &m_document;
    OpenFile m_openFile;
    Tell m_tell;
    std::array<QLineEdit *, ItemCount> m_names{};
    std::array<QPushButton *, ItemCount> m_pickers{};
    std::array<QPushButton *, ItemCount> m_clearers{};
    std::array<QImage, MaskFile::ExtraObjectCount> m_bars;
    QList<QPolygon> m_shape;
};

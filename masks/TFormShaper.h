#pragma once
// Gives a borderless window the outline of a bitmap: every pixel that is not the mask colour belongs to the
// window, the mask colour is cut away so the desktop shows through. The shaper also shows the bitmap as the
// window's background (through a label it manages) and lets the user drag the window by that background.
// The skinned player, its mask loader and the mask editor's windows all use it.
#include <QImage>
#include <QLabel>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <cstdint>
#include <optional>

class QWidget;

// The bitmap and its cut-away colour. Changes are announced only when a value really changes.
class TMaskedPicture : public QObject
{
    Q_OBJECT

public:
    explicit TMaskedPicture(QObject *parent = nullptr);

    const QImage &Picture() const { return m_picture; }
    void setPicture(const QImage &picture);
    // A colour value as stored in masks: RGB with red in the low byte, or a system colour (high bit set),
    // which matches no pixel.
    int32_t MaskColor() const { return m_maskColor; }
    void setMaskColor(int32_t color);
    // Copies the colour first, then the bitmap.
    void assign(const TMaskedPicture &other);

signals:
    void OnChange();

private:
    QImage m_picture;
    int32_t m_maskColor = 0x00FF00; // lime
};

class TFormShaper : public QObject
{
    Q_OBJECT

public:
    enum WindowMoveKind { FullMove = 0, SystemMove = 1, NoMove = 2 };
    Q_ENUM(WindowMoveKind)

    explicit TFormShaper(QWidget *owner);
    ~TFormShaper() override;

    // The shaper of a skinned window: lime cut away, no caption, dragged by the background, active.
    static TFormShaper *forSkin(QWidget *owner, QLabel *background);

    QWidget *owner() const { return m_owner; }
    TMaskedPicture *MaskedPicture() const { return m_picture; }

    // The label that shows the bitmap over the whole client area. Not owned: when it goes, the shape goes.
    QLabel *Backgrnd() const { return m_backgrnd; }
    void setBackgrnd(QLabel *label);

    bool Active() const { return m_active; }
    void setActive(bool on);
    bool ShowCaption() const { return m_showCaption; }
    void setShowCaption(bool on);
    WindowMoveKind WindowMove() const { return m_windowMove; }
    void setWindowMove(WindowMoveKind kind) { m_windowMove = kind; }

    // The window's outline: the one given from outside when there is one, else the one built from the
    // picture (empty when the picture is empty or all mask colour).
    const QRegion &region() const { return m_override ? *m_override : m_region; }
    // An outline drawn elsewhere (a mask's polygons) instead of the one cut from the picture, until cleared.
    void setRegionOverride(const QRegion &region);
    void clearRegionOverride();
    bool hasRegionOverride() const { return m_override.has_value(); }
    // How many times the outline was built (a value set twice builds it once).
    int rebuildCount() const { return m_rebuilds; }
    bool dragging() const { return m_dragging; }

    // The pixels of `image` that are not `maskColor`, as rows of runs merged into bands. A system colour cuts
    // nothing away.
    static QRegion regionFromImage(const QImage &image, int32_t maskColor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pictureChanged();
    void copyToBackgrnd();
    void resizeOwner();
    void rebuildRegion();
    void applyRegion(bool on);
    bool grabbedBackground(QObject *watched, const QPoint &ownerPos) const;

    QWidget *m_owner;
    TMaskedPicture *m_picture;
    QPointer<QLabel> m_backgrnd;
    QRegion m_region;
    std::optional<QRegion> m_override;
    bool m_active = false;
    bool m_showCaption = true;
    WindowMoveKind m_windowMove = NoMove;
    bool m_regionChanged = false;
    bool m_shownOnce = false;
    bool m_dragging = false;
    QPoint m_grab;
    int m_rebuilds = 0;
};

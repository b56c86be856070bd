#pragma once
// Shows a saved mask the way the player will wear it: the same skinned face, shaped by the same
// background (or by the mask's shape), with the test window's own defaults and extras. Its buttons play
// nothing.
#include "masks/MaskFile.h"

#include <QColor>
#include <QRegion>
#include <QWidget>

class QLabel;
class SkinnedFace;
class TFormShaper;

class TestWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TestWindow(QWidget *parent = nullptr);

    // Loads the mask and shows the window, wholly on screen and beside the neighbour; a file that does not
    // exist changes nothing (false).
    bool TestMask(const QString &fileName);
    // The window it comes up beside (the wizard's frame).
    void setNeighbour(const QRect &frame) { m_neighbour = frame; }
    const MaskFile &mask() const { return m_mask; }

    SkinnedFace *face() const { return m_face; }
    TFormShaper *shaper() const { return m_shaper; }
    QLabel *BackImage() const { return m_backImage; }
    // The two colour holders of the best colours.
    QColor bestColor1() const { return m_best1; }
    QColor bestColor2() const { return m_best2; }

    void ExitBtnClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void applyBestColors();

    TFormShaper *m_shaper;
    QLabel *m_backImage;
    SkinnedFace *m_face;
    MaskFile m_mask;
    QColor m_best1;
    QColor m_best2;
    QRect m_neighbour; // the wizard, which it comes up beside
    QRegion m_shape;   // the mask's own outline; empty: the colour's
};

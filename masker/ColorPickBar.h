#pragma once
// The bar under the steps: "Pick Color", down while the mouse over the placement window picks, and the colour
// picked last, which the steps' "Pick" buttons take.
#include <QColor>
#include <QWidget>

class QLabel;
class QPushButton;

class ColorPickBar : public QWidget
{
    Q_OBJECT

public:
    explicit ColorPickBar(QWidget *parent = nullptr);

    QPushButton *PickColor = nullptr;
    QLabel *PColor = nullptr;

    QColor pickedColor() const { return m_picked; }
    void setPickedColor(const QColor &color);

private:
    QColor m_picked;
};

#pragma once
// A gradient strip: its area is cut into Steps equal bands, each filled with one colour on the way from
// FromColor to ToColor. Windows use it as their background and as an area to drag them by or double-click.
// Child widgets may be placed on it.
#include <QColor>
#include <QWidget>
#include <vector>

class TFountainFill : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor FromColor READ FromColor WRITE setFromColor)
    Q_PROPERTY(QColor ToColor READ ToColor WRITE setToColor)
    Q_PROPERTY(int Steps READ Steps WRITE setSteps)
    Q_PROPERTY(TFillStyle Style READ Style WRITE setStyle)

public:
    enum TFillStyle { fsHorizontal, fsVertical, fsCircular };
    Q_ENUM(TFillStyle)

    static constexpr int MinSteps = 1;
    static constexpr int MaxSteps = 255;

    // One band: pixels [from, to) along the fill direction, in one colour.
    struct Band {
        int from = 0;
        int to = 0;
        QRgb color = 0;
        bool operator==(const Band &) const = default;
    };

    // number * numerator / denominator rounded to the nearest integer, halves away from zero, computed
    // without overflow; -1 for a zero denominator or a result beyond the 32-bit range.
    static int MulDiv(int number, int numerator, int denominator);
    // The bands of a strip `size` pixels long. Steps is clamped to 1..255; with fewer than two steps or equal
    // colours the strip is one band in FromColor.
    static std::vector<Band> bands(const QColor &from, const QColor &to, int steps, int size);

    explicit TFountainFill(QWidget *parent = nullptr);

    QColor FromColor() const { return m_from; }
    void setFromColor(const QColor &color);
    QColor ToColor() const { return m_to; }
    void setToColor(const QColor &color);
    void setColors(const QColor &from, const QColor &to);
    int Steps() const { return m_steps; }
    void setSteps(int steps);
    TFillStyle Style() const { return m_style; }
    void setStyle(TFillStyle style);

    // Paints the fill of `rect` the way the widget does; also used by windows that draw a strip themselves.
    static void paintFill(QPainter &painter, const QRect &rect, const QColor &from, const QColor &to,
                          int steps, TFillStyle style);

signals:
    void doubleClicked();
    void mousePressed(Qt::MouseButton button, const QPoint &globalPos);
    // The pointer moved while at least one button is held.
    void mouseDragged(Qt::MouseButtons buttons, const QPoint &globalPos);
    void mouseReleased(Qt::MouseButton button, const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QColor m_from = Qt::white;
    QColor m_to = Qt::black;
    int m_steps = 40;
    TFillStyle m_style = fsHorizontal;
};

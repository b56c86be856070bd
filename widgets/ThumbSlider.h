#pragma once
// The skin's position slider: a thumb picture with a normal and a pressed frame moved along a groove. Only
// the user's dragging is reported; values set by the program are shown silently and never fight a drag.
#include <QColor>
#include <QImage>
#include <QWidget>

class QPainter;

class ThumbSlider : public QWidget
{
    Q_OBJECT

public:
    explicit ThumbSlider(QWidget *parent = nullptr);

    void setRange(int min, int max);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    int value() const { return m_value; }
    // Clamped; emits nothing; ignored while the user drags.
    void setValue(int value);

    // Horizontal: minimum at the left. Vertical: minimum at the top.
    void setHorizontal(bool horizontal);
    bool isHorizontal() const { return m_horizontal; }

    // Two frames of equal width side by side: normal, pressed. An empty image draws a plain raised thumb.
    void setThumbImage(const QImage &twoFrames);
    QImage thumbImage() const { return m_thumb; }
    QSize thumbSize() const;

    QColor backColor() const { return m_back; }
    void setBackColor(const QColor &color);
    // A picture of the groove, drawn over the whole slider instead of the back colour and the drawn groove.
    // A null image goes back to them.
    void setBackImage(const QImage &groove);
    QImage backImage() const { return m_backImage; }

    bool isTracking() const { return m_tracking; }
    bool isThumbPressed() const { return m_pressed; }

    QSize sizeHint() const override;

signals:
    // Every pressed() is followed by released(), every trackingStarted() by trackingStopped(), also when the
    // slider is disabled during a drag.
    void pressed();
    void released();
    void trackingStarted();
    void valueChanged(int value);
    void trackingStopped(int value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QRect thumbRect() const;
    int trackLength() const;
    // The value whose thumb starts at `thumbStart` pixels along the track.
    int valueAt(int thumbStart) const;
    void dragTo(const QPoint &pos);
    void endDrag();
    void paintGroove(QPainter &painter) const;

    int m_min = 0;
    int m_max = 400;
    int m_value = 0;
    bool m_horizontal = true;
    QImage m_thumb;
    QColor m_back = QColor(192, 192, 192);
    QImage m_backImage;
    bool m_pressed = false;
    bool m_tracking = false;
    int m_grab = 0; // where along the thumb the mouse holds it
};

#pragma once
// The skin's volume or balance bar drawn from sprites: a picture of frames of equal height stacked top to
// bottom, the frame shown following the value (volume: silent first, loud last; balance: centre first,
// either side last), and a thumb picture with a normal and a pressed frame side by side, dragged along the
// bar and centred on its height. Positions are those of KnobBar, the main window's track bars: volume 0
// (loud) .. 100 (silent) from right to left, balance 0 (left) .. 50 (centre) .. 100 (right); between 40
// and 60 the balance snaps to the centre.
#include <QImage>
#include <QWidget>

class SpriteBar : public QWidget
{
    Q_OBJECT

public:
    enum Mode { Volume, Balance };
    Q_ENUM(Mode)

    explicit SpriteBar(Mode mode, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }

    // `count` frames stacked in `stack`; a count the picture cannot hold is as many as it can.
    void setFrames(const QImage &stack, int count);
    bool hasFrames() const { return !m_frames.isNull(); }
    int frameCount() const { return m_count; }
    QSize frameSize() const;
    // The frame painted now; -1 without frames.
    int frameShown() const;

    // Two frames of equal width side by side: normal, pressed. Without one the bar is dragged all the same.
    void setThumb(const QImage &twoFrames);
    QSize thumbSize() const;
    QRect thumbRect() const;

    int position() const { return m_position; }
    // From the player: moves the thumb, emits nothing; ignored while the user drags.
    void showTrackBarPosition(int position);
    bool isDragging() const { return m_dragging; }

    QSize sizeHint() const override;

signals:
    void pressed();
    void released();
    void trackBarPositionChanged(int position);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // How far the thumb's left edge can move.
    int range() const;
    int thumbLeftFor(int position) const;
    void dragTo(int thumbLeft);

    Mode m_mode;
    QImage m_frames;
    int m_count = 0;
    QImage m_thumb;
    int m_position;
    int m_thumbLeft = 0;
    bool m_dragging = false;
    int m_grab = 0; // where along the thumb the mouse holds it
};

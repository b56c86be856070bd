#pragma once
// A marker of the placement window: it stands for one object of the player and is dragged into place with
// the mouse. It shows its caption in a frame, or the first frame of the picture the object will wear.
#include <QImage>
#include <QPoint>
#include <QWidget>

class MarkerButton : public QWidget
{
    Q_OBJECT

public:
    MarkerButton(const QString &caption, const QRect &geometry, QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    // A picture of `frames` equal frames side by side; the first one is shown. A null image shows the
    // caption.
    void setPicture(const QImage &picture, int frames);
    QImage picture() const { return m_picture; }
    // The size of one frame of the picture; empty without one.
    QSize frameSize() const;

signals:
    // Moved by the user's drag, to `to` in its parent.
    void moved(const QPoint &to);
    // The mouse was released over the marker.
    void mouseReleased();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_caption;
    QImage m_picture;
    int m_frames = 1;
    bool m_dragging = false;
    QPoint m_grab;
};

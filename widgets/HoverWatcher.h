#pragma once
// Tells when the mouse enters and leaves a rectangle of a window, by looking at the cursor every Interval ms
// (a picture that hides itself under the mouse gets no enter and leave events of its own). The rectangle is
// given in the coordinates of a reference widget, usually the window, which must be visible for any signal.
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <functional>

class HoverWatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int Interval = 100;

    explicit HoverWatcher(QObject *parent = nullptr);

    void setTarget(QWidget *reference, const QRect &rect);
    QWidget *reference() const { return m_reference; }
    QRect rect() const { return m_rect; }

    // Inactive: no polling and no signals; the next activation starts from "outside".
    void setActive(bool active);
    bool isActive() const { return m_active; }
    bool isInside() const { return m_inside; }

    // Where the cursor is, in global coordinates (tests put their own in).
    void setCursorProvider(std::function<QPoint()> provider);

public slots:
    // One look at the cursor.
    void poll();

signals:
    void entered();
    void left();

private:
    QPointer<QWidget> m_reference;
    QRect m_rect;
    bool m_active = false;
    bool m_inside = false;
    std::function<QPoint()> m_cursor;
    QTimer m_timer;
};

#pragma once
// The frame of the small borderless windows: a gradient title bar with a bold caption and "X" (which closes
// the window) above the body, and thin gradient borders left, right and below it. The window is dragged by
// any of the four strips.
#include <QList>
#include <QObject>

class FlatButton;
class QColor;
class QLabel;
class QWidget;
class TFountainFill;

class GradientFrame : public QObject
{
    Q_OBJECT

public:
    // Becomes the window's layout, so the window must not have one yet.
    GradientFrame(QWidget *window, const QString &caption);

    // Where the window puts its controls.
    QWidget *body() const { return m_body; }
    QLabel *titleLabel() const { return m_title; }
    FlatButton *exitButton() const { return m_exit; }

    // The frame's own colour, where the strips do not take the user's colours.
    static const QColor DesignedColor;

    // The user's two colours: the title bar and the left border start in the first and end in the frame's
    // own colour, the right and bottom borders run from that back to the first; the caption is in the second.
    void setColors(const QColor &color1, const QColor &color2);
    // The second colour, unless it is too like the first to be read on it (then black or white).
    static QColor captionColor(const QColor &color1, const QColor &color2);

private:
    QList<TFountainFill *> m_strips;
    QLabel *m_title;
    FlatButton *m_exit;
    QWidget *m_body;
};

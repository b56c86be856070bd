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

    // The gradient of the title bar and the borders; the window picks the text colours that read on it.
    void setColors(const QColor &from, const QColor &to);

private:
    QList<TFountainFill *> m_strips;
    QLabel *m_title;
    FlatButton *m_exit;
    QWidget *m_body;
};

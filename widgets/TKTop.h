#pragma once
// Keeps its owner window above the others, or lets it go back among them, without activating it and without
// moving or resizing it. Only a top-level window is changed; for any other owner the property is only kept.
#include <QObject>
#include <QPointer>

class QWidget;

class TKTop : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool KTop READ KTop WRITE setKTop)

public:
    explicit TKTop(QWidget *owner);

    bool KTop() const { return m_on; }
    void setKTop(bool on);
    // Whether the owner currently asks the window system to stay on top.
    bool ownerStaysOnTop() const;

private:
    QPointer<QWidget> m_owner;
    bool m_on = false;
};

#pragma once
// A flat, transparent button: only its caption or glyph is drawn over whatever lies behind it (a gradient
// strip, a skin). Hovering frames it; pressed or checked, the frame is sunk and the face darkened.
#include <QAbstractButton>
#include <QColor>

class FlatButton : public QAbstractButton
{
    Q_OBJECT

public:
    // Pictures drawn in the text colour instead of a caption.
    enum Glyph { NoGlyph, PlayGlyph, PauseGlyph, StopGlyph, NextGlyph, PreviousGlyph, OpenGlyph, InfoGlyph };
    Q_ENUM(Glyph)

    explicit FlatButton(const QString &caption = QString(), QWidget *parent = nullptr);
    FlatButton(Glyph glyph, QWidget *parent = nullptr);

    Glyph glyph() const { return m_glyph; }
    void setGlyph(Glyph glyph);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor &color);

    // Draws a glyph into `box` (also used by windows that show the same pictures elsewhere).
    static void paintGlyph(QPainter &painter, Glyph glyph, const QRectF &box, const QColor &color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    Glyph m_glyph = NoGlyph;
    QColor m_textColor = Qt::white;
    bool m_hover = false;
};

#pragma once
// A popup menu with a painted band along its left edge: a gradient from top to bottom and a text reading
// upwards, placed at the band's left edge a few pixels above its bottom and clipped to the band.
#include <QColor>
#include <QFont>
#include <QMenu>

class MarginMenu : public QMenu
{
    Q_OBJECT

public:
    static constexpr int TextBottomGap = 5;

    explicit MarginMenu(QWidget *parent = nullptr);
    explicit MarginMenu(const QString &title, QWidget *parent = nullptr);

    int marginWidth() const { return m_width; }
    void setMarginWidth(int width);
    QColor marginFromColor() const { return m_from; }
    QColor marginToColor() const { return m_to; }
    void setMarginColors(const QColor &from, const QColor &to);
    QString marginText() const { return m_text; }
    void setMarginText(const QString &text);
    QFont marginFont() const { return m_font; }
    void setMarginFont(const QFont &font);
    QColor marginTextColor() const { return m_textColor; }
    void setMarginTextColor(const QColor &color);

    // The band in the menu's coordinates (inside the menu's frame).
    QRect marginRect() const;
    // Paints a band into `rect`.
    static void paintMargin(QPainter &painter, const QRect &rect, const QColor &from, const QColor &to,
                            const QString &text, const QFont &font, const QColor &textColor);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int frameWidth() const;

    int m_width = 22;
    QColor m_from = QColor(0, 0, 128);
    QColor m_to = QColor(0, 0, 32);
    QString m_text;
    QFont m_font;
    QColor m_textColor = Qt::white;
};

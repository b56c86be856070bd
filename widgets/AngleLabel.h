#pragma once
// The skin's play-time label: text turned by an angle (counter-clockwise, in degrees) around the centre of
// its rectangle, with an optional shadow offset down-right and thickened by the shadow size. The skin's
// background shows around the text.
#include "widgets/ClickTracker.h"
#include <QColor>
#include <QPixmap>
#include <QWidget>

class AngleLabel : public QWidget
{
    Q_OBJECT

public:
    explicit AngleLabel(QWidget *parent = nullptr);
    explicit AngleLabel(const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    int angle() const { return m_angle; }
    void setAngle(int degrees);
    void setPointSize(int points);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor &color);
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor &color);
    // 0: no shadow.
    int shadowSize() const { return m_shadowSize; }
    void setShadowSize(int pixels);
    int shadowDepth() const { return m_shadowDepth; }
    void setShadowDepth(int pixels);

    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // What the kept picture shows; drawn again only when any of it changes.
    struct PictureKey {
        QString text, font;
        int angle = 0, shadowSize = 0, shadowDepth = 0;
        QRgb textColor = 0, shadowColor = 0;
        QSize size;
        qreal ratio = 0;
        bool operator==(const PictureKey &) const = default;
    };
    void drawText(QPainter &painter) const;

    QString m_text;
    int m_angle = 0;
    QColor m_textColor = Qt::white;
    QColor m_shadowColor = Qt::black;
    int m_shadowSize = 0;
    int m_shadowDepth = 0;
    ClickTracker m_click;
    // The text and its shadow, drawn once: the time is painted again whenever the skin around it is, and
    // laying the text out each time cost more than all the rest of such a paint.
    QPixmap m_picture;
    PictureKey m_pictureKey;
};

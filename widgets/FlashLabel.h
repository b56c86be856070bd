#pragma once
// A small lit label of the skin ("P", "E", "i", ...): bright while its window or mode is on, dim otherwise,
// a little brighter under the mouse. Its background stays the skin's.
#include "widgets/ClickTracker.h"
#include <QColor>
#include <QWidget>

class FlashLabel : public QWidget
{
    Q_OBJECT

public:
    explicit FlashLabel(const QString &caption = {}, QWidget *parent = nullptr);
    explicit FlashLabel(QWidget *parent);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    bool isLit() const { return m_lit; }
    void setLit(bool lit);
    void setColors(const QColor &lit, const QColor &unlit);
    QColor litColor() const { return m_litColor; }
    QColor unlitColor() const { return m_unlitColor; }
    // The colour the caption is drawn in now.
    QColor currentColor() const;

    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString m_caption;
    bool m_lit = false;
    bool m_hover = false;
    ClickTracker m_click;
    QColor m_litColor = QColor(255, 255, 0);
    QColor m_unlitColor = QColor(96, 96, 96);
};

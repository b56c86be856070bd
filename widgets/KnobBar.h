#pragma once
// The skin's volume or balance control: a round knob dragged along a thin bar, with a label under it that
// names the control and, while the knob is dragged, shows where it stands ("06% V", "Center", "21% R").
// The widget is exactly as wide as the bar; the knob's left edge runs from 0 to barWidth() - KnobWidth.
// Positions are those of the main window's track bars: volume 0 (loud) .. 100 (silent), balance 0 (left)
// .. 50 (centre) .. 100 (right), reached in the steps the bar's pixels allow.
#include <QColor>
#include <QWidget>

class KnobBar : public QWidget
{
    Q_OBJECT

public:
    enum Mode { Volume, Balance };
    Q_ENUM(Mode)

    static constexpr int VolumeBarWidth = 62;
    static constexpr int BalanceBarWidth = 45;
    static constexpr int KnobWidth = 12;
    static constexpr int KnobHeight = 10;
    static constexpr int BarTop = 4;
    static constexpr int BarHeight = 3;
    static constexpr int LabelTop = KnobHeight - 1;
    static constexpr int LabelHeight = 11;
    static constexpr int WidgetHeight = 20;

    explicit KnobBar(Mode mode, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    int barWidth() const { return m_mode == Volume ? VolumeBarWidth : BalanceBarWidth; }
    // How far the knob's left edge can move.
    int range() const { return barWidth() - KnobWidth; }

    int knobOffset() const { return m_offset; }
    void setKnobOffset(int offset);
    // From the player: moves the knob, emits nothing; ignored while the user drags.
    void showTrackBarPosition(int position);

    void setColors(const QColor &rest, const QColor &press);
    QColor restColor() const { return m_rest; }
    QColor pressColor() const { return m_press; }
    // The brush the knob is painted with now.
    QColor knobColor() const { return m_dragging ? m_press : m_rest; }
    void setTextColor(const QColor &color);
    QColor textColor() const { return m_text; }

    QString caption() const { return m_caption; }
    bool isDragging() const { return m_dragging; }
    QRect knobRect() const { return QRect(m_offset, 0, KnobWidth, KnobHeight); }

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

private:
    QString restCaption() const;
    // The knob was moved by `x` pixels from its own left edge, as a drag reports it.
    void dragBy(int x);

    Mode m_mode;
    int m_offset = 0;
    bool m_dragging = false;
    QString m_caption;
    QColor m_rest = QColor(0, 0, 255);
    QColor m_press = QColor(255, 255, 255);
    QColor m_text = QColor(0, 0, 255);
};

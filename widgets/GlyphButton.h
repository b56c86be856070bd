#pragma once
// The skin's transparent button: a picture of four frames of equal width side by side (normal, under the
// mouse, pressed, disabled) drawn over the skin, scaled to the button. Without a picture it draws nothing
// and is still clicked where it lies, so a skin may paint the button into its background. A toggle may have
// a second picture of four frames, shown instead while it is checked.
#include <QAbstractButton>
#include <QImage>

class GlyphButton : public QAbstractButton
{
    Q_OBJECT

public:
    enum Frame { NormalFrame = 0, HoverFrame = 1, PressedFrame = 2, DisabledFrame = 3 };

    explicit GlyphButton(QWidget *parent = nullptr);

    void setGlyph(const QImage &fourFrames);
    void clearGlyph();
    bool hasGlyph() const { return !m_glyph.isNull(); }
    QImage glyph() const { return m_glyph; }
    // The size of one frame (what a skin designs the button's size from); empty without a picture.
    QSize frameSize() const;
    // The picture shown while checked; without one a checked button shows its pressed frame.
    void setOnGlyph(const QImage &fourFrames);
    bool hasOnGlyph() const { return !m_onGlyph.isNull(); }
    QImage onGlyph() const { return m_onGlyph; }
    // Whether the on picture is the one painted now.
    bool onGlyphShown() const { return isChecked() && hasOnGlyph(); }
    // The frame painted now (of the on picture while it is shown); -1 without a picture.
    int frameShown() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QImage m_glyph;
    QImage m_onGlyph;
    bool m_hover = false;
};

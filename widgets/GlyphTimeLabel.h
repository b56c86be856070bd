#pragma once
// The skin's play-time label drawn from a digit font: a picture of 12 glyphs of equal width side by side, the
// digits 0 to 9, a blank and a minus. A sign cell comes first (the minus while the time counts down, else the
// blank), then the digits of the text, each glyph width + 3 px after the one before, with 6 px more after
// the second digit where a colon stands in a time. Nothing else of the text is drawn, and around the glyphs
// the skin shows through. Glyphs keep their own size.
#include "widgets/ClickTracker.h"
#include <QImage>
#include <QWidget>

class GlyphTimeLabel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int GlyphCount = 12;
    static constexpr int BlankGlyph = 10;
    static constexpr int MinusGlyph = 11;
    static constexpr int Gap = 3;
    static constexpr int ColonGap = 6;

    explicit GlyphTimeLabel(QWidget *parent = nullptr);

    // A picture narrower than 12 pixels holds no font: nothing is drawn.
    void setDigits(const QImage &twelveGlyphs);
    bool hasDigits() const { return !m_digits.isNull(); }
    QSize glyphSize() const;

    QString text() const { return m_text; }
    void setText(const QString &text);
    // The glyphs drawn now, sign cell first (indexes into the font).
    QList<int> glyphsShown() const;
    // Where cell `index` lies: 0 is the sign, 1 the first digit.
    QRect cellRect(int index) const;

    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_digits;
    QString m_text;
    QList<int> m_glyphs;
    bool m_colon = true;
    ClickTracker m_click;
};

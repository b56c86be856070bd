#pragma once
// One rule for text on a coloured background, shared by the strip, the framed windows and the skins: the
// wanted colour when it stands out from the background, else dark text on a light background and light text
// on a dark one. Lightness is Qt's grey level (0-255).
#include <QColor>

class ReadableText
{
public:
    // How many grey levels the wanted colour must differ from the background by to be read on it.
    static constexpr int MinContrast = 80;
    // A background lighter than this takes dark text.
    static constexpr int LightAbove = 128;

    static bool isLight(int gray) { return gray > LightAbove; }
    static bool isLight(const QColor &background) { return isLight(qGray(background.rgb())); }

    // Black on a light background, white on a dark one.
    static QColor on(const QColor &background);
    // The wanted colour, unless it is too like the background to be read on it (then black or white).
    static QColor on(const QColor &background, const QColor &wanted);
};

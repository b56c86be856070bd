#pragma once
// Colour values as the player's files store them: 0x00BBGGRR (red in the low byte), or 0x80000000 + a system
// colour index, which takes its colour from the desktop's palette.
#include <QColor>
#include <cstdint>

namespace SystemColors
{

enum Index {
    ScrollBar = 0,
    Background = 1,
    ActiveCaption = 2,
    InactiveCaption = 3,
    Menu = 4,
    Window = 5,
    WindowFrame = 6,
    MenuText = 7,
    WindowText = 8,
    CaptionText = 9,
    ActiveBorder = 10,
    InactiveBorder = 11,
    AppWorkspace = 12,
    Highlight = 13,
    HighlightText = 14,
    ButtonFace = 15,
    ButtonShadow = 16,
    GrayText = 17,
    ButtonText = 18,
    InactiveCaptionText = 19,
    ButtonHighlight = 20,
    DarkShadow3D = 21,
    Light3D = 22,
    InfoText = 23,
    InfoBackground = 24,
    HotLight = 26,
    GradientActiveCaption = 27,
    GradientInactiveCaption = 28,
    MenuHighlight = 29,
    MenuBar = 30,
};

constexpr int32_t SystemFlag = int32_t(0x80000000u);

// The palette colour standing for a system colour index; black for an index that names none.
QColor systemColor(int index);
// A stored value to a colour.
QColor fromValue(int32_t value);
// A colour to its stored 0x00BBGGRR value.
int32_t toValue(const QColor &color);
// Six upper-case hex digits, red, green, blue ("C08000" for 0x0080C0).
QString htmlHex(const QColor &color);

} // namespace SystemColors

#pragma once
// Where everything lies in a classic skin: the rectangles of each sprite sheet, and the spots in the 275 x
// 116 main window where the importer places the mask's objects. Every coordinate the importer (and its test
// drawer) knows is here, so the two can never disagree.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace ClassicLayout
{

// main.bmp, the whole window.
constexpr QSize WindowSize(275, 116);
constexpr QRect Window(0, 0, 275, 116);

// titlebar.bmp: the active title bar, drawn over main at (0,0).
constexpr QRect TitleBarActive(27, 0, 275, 14);
constexpr QPoint TitleBarPlace(0, 0);
// The shaded window's bars start here; a sheet that reaches them has art a mask cannot use.
constexpr int TitleBarShadeTop = 29;

// cbuttons.bmp: the normal row at y = 0, the pressed row at y = PressedRow (eject has its own).
enum ControlButton { Prev, Play, Pause, Stop, Next, Eject, ControlButtonCount };
constexpr QRect ControlButtonSprite[ControlButtonCount] = {
    {0, 0, 23, 18}, {23, 0, 23, 18}, {46, 0, 23, 18}, {69, 0, 23, 18}, {92, 0, 22, 18}, {114, 0, 22, 16},
};
constexpr int ControlButtonPressedRow = 18;
constexpr int EjectPressedRow = 16;
constexpr QPoint ControlButtonPlace[ControlButtonCount] = {
    {16, 88}, {39, 88}, {62, 88}, {85, 88}, {108, 88}, {136, 89},
};

// posbar.bmp: the groove and the thumb's normal and pressed frames; the slider's place in main.
constexpr QRect PosBarGroove(0, 0, 248, 10);
constexpr QRect PosBarThumb(248, 0, 29, 10);
constexpr QRect PosBarThumbPressed(278, 0, 29, 10);
constexpr QRect PosBarPlace(16, 72, 248, 10);

// volume.bmp: BarFrames frames stacked FrameStep apart; the thumbs below them.
constexpr int BarFrames = 28;
constexpr int BarFrameStep = 15;
constexpr QRect VolumeFrame(0, 0, 68, 13); // frame i at y = BarFrameStep * i
constexpr QRect VolumeThumb(15, 422, 14, 11);
constexpr QRect VolumeThumbPressed(0, 422, 14, 11);
constexpr QRect VolumePlace(107, 57, 68, 13);
// balance.bmp: the same, narrower and 9 px in; its thumbs lie where the volume's do.
constexpr QRect BalanceFrame(9, 0, 38, 13);
constexpr QRect BalanceThumb = VolumeThumb;
constexpr QRect BalanceThumbPressed = VolumeThumbPressed;
constexpr QRect BalancePlace(177, 57, 38, 13);

// numbers.bmp (digits 0-9) and nums_ex.bmp (the digits, then a blank and a minus): 9 x 13 glyphs side by
// side.
constexpr QSize DigitSize(9, 13);
constexpr int DigitBlank = 10;
constexpr int DigitMinus = 11;
constexpr int DigitGlyphs = 12;
// The time: the sign cell, then four digits (minutes, seconds) with the colon's gap in the middle.
constexpr QPoint TimeSignPlace(36, 26);
constexpr QPoint TimeDigitPlace[4] = {{48, 26}, {60, 26}, {78, 26}, {90, 26}};
constexpr QRect PlayTimePlace(36, 26, 63, 13);

// text.bmp: 5 x 6 cells, 31 to a row. TextRows holds each row's characters (UTF-16); cells past a row's
// text, and every cell of a character not listed, are blank.
constexpr QSize TextCell(5, 6);
constexpr int TextColumns = 31;
constexpr const char16_t *TextRows[3] = {
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZ\"@",
    u"0123456789\u2026.:()-'!_+\\/[]^&%,=$#",
    u"\u00C5\u00D6\u00C4?*",
};
constexpr QPoint TextBlankCell(30, 0); // (column, row) of the blank glyph
constexpr QRect SongTitlePlace(111, 27, 154, 6);
// Characters the font has no cell for, drawn as a near one.
constexpr char16_t TextStandIns[][2] = {{u';', u':'}, {u'`', u'\''}, {u'{', u'('}, {u'}', u')'}};
// The (column, row) of a character's cell; the blank cell when the font has none. Lower case is upper case.
constexpr QPoint textCellOf(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        c = char16_t(c - u'a' + u'A');
    for (const auto &standIn : TextStandIns)
        if (standIn[0] == c)
            c = standIn[1];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; TextRows[row][column]; ++column)
            if (TextRows[row][column] == c)
                return {column, row};
    return TextBlankCell;
}

// shufrep.bmp: repeat at x = 0, shuffle at x = 28; rows off, off pressed, on, on pressed, 15 px apart.
constexpr QRect RepeatSprite(0, 0, 28, 15);
constexpr QRect ShuffleSprite(28, 0, 47, 15);
constexpr int ToggleRowStep = 15;
enum ToggleRow { Off, OffPressed, On, OnPressed };
constexpr QPoint ShufflePlace(164, 89);
constexpr QPoint RepeatPlace(210, 89);

// Spots drawn in main (or the title bar) that the mask makes clickable.
constexpr QRect AboutPlace(6, 3, 9, 9); // the options button
constexpr QRect MinimizePlace(244, 3, 9, 9);
constexpr QRect OnTopPlace(254, 3, 9, 9);
constexpr QRect ClosePlace(264, 3, 9, 9);
constexpr QRect EqualizerPlace(219, 58, 23, 12);
constexpr QRect PlayListPlace(242, 58, 23, 12);
constexpr QRect ConfigPlace(10, 25, 8, 8);      // the clutter bar
constexpr QRect InformationPlace(10, 33, 8, 8); // the clutter bar
// The level meters share the analyser's place (24,43) 76 x 16.
constexpr QRect MeterLeftPlace(24, 43, 76, 7);
constexpr QRect MeterRightPlace(24, 52, 76, 7);

// Where objects a classic skin has no art for are put: out of sight.
constexpr int Hidden = -50;
// Where the round volume and balance knobs go when sprite bars take their place.
constexpr int HiddenKnob = -200;

} // namespace ClassicLayout

#pragma once

// The program's own artwork, painted with QPainter from the state it shows (a mood, a
// button kind, a size), so it is crisp at any scale: the colour buttons, the player
// buttons, the program icon, the display-area panel, the menu mood discs and the list's
// mood cell.

#include <QIcon>
#include <QImage>

#include "library/mood.h"

class QPainter;
class QRect;
class QRectF;

namespace harmovia {

// Colour buttons left to right: 0 All Tunes, 1..9 the moods, 10 Last Added.
inline constexpr int kColourButtonCount = 11;
inline constexpr int kColourButtonSize = 48;
QImage ColourButtonImage(int index, int pixels);
QIcon ColourButtonIcon(int index);

enum class PlayerButton { Back, Play, Stop, Forward };
QImage PlayerButtonImage(PlayerButton button, int pixels);
QIcon PlayerButtonIcon(PlayerButton button, int logicalSize);

QImage ProgramIconImage(int pixels);
QIcon ProgramIcon();

// A 16 x 16 disc in the mood's colour (a transparent square for a mood outside 1..9).
QIcon MoodDiscIcon(int mood);

// The magnifier of the search field.
QIcon SearchGlyphIcon();

// The display area behind the three display lines, filling `area`.
void PaintDisplayPanel(QPainter& painter, const QRectF& area);

// The list's mood cell: a disc of the row height - 4 at the cell's left edge, 2 pixels
// below its top, in a ring slightly darker than the colour; with a white centre dot on the
// playing row of the playing list.
// The mark of a mood set by hand, over the mood cell's disc: a small white dot with a dark
// rim at the disc's lower right.
void DrawHandSetMark(QPainter& painter, const QRect& cell, int rowHeight);
void DrawMoodCell(QPainter& painter, const QRect& cell, int rowHeight, MoodColour colour,
                  bool playingDot);

}  // namespace harmovia

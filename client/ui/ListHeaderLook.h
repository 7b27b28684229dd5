#pragma once
// Arithmetic of the owner-drawn report list and its gradient header: per-column alignment
// codes, the colour of each gradient row and the scaled header height.

#include <QColor>

// Column formats as the list's InsertColumn takes them.
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVCFMT_RIGHT = 1;
inline constexpr int LVCFMT_CENTER = 2;

// Alignment code of a column: '0' left, '1' centre, '2' right; any other format is centred.
char ListAlignmentCodeForFormat(int format);

// Colour of gradient row `row` (0 = the top row): every component lowered by `step` per row,
// never below 0.
QColor HeaderGradientRowColor(int red, int green, int blue, int step, int row);

// Header height after the default layout, multiplied by the height factor.
int HeaderScaledHeight(int defaultHeight, float heightFactor);

// Qt alignment for an alignment code (unknown codes centre).
Qt::Alignment ListAlignmentForCode(char code);

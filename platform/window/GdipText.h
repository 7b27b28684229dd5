#pragma once
// Text laid out the way the program's painting code expects of a string format: horizontal
// and line alignment in a layout rectangle, wrapping at word boundaries (or none), only whole
// lines when the line limit is set, and trimming of the last visible line with or without an
// ellipsis. Used by every skinned control that draws its own caption.

#include <QColor>
#include <QRectF>
#include <QString>

#include <vector>

class QFont;
class QPainter;

namespace yav::gdip {

enum class Align { Near, Center, Far };
enum class Trimming { None, Character, Word, EllipsisCharacter, EllipsisWord };

struct StringFormat {
    Align align = Align::Near;      // horizontal
    Align lineAlign = Align::Near;  // vertical
    bool noWrap = false;
    bool lineLimit = false;  // only lines that fit whole are shown
    Trimming trimming = Trimming::Character;
};

struct LaidOutLine {
    QString text;
    QRectF rect;  // where the line stands (its advance width, one line high)
};

// The lines of the text as they would be drawn into the layout rectangle.
std::vector<LaidOutLine> LayoutString(const QString& text, const QFont& font, const QRectF& layout,
                                      const StringFormat& format);

// Draws the laid-out lines, clipped to the layout rectangle.
void DrawString(QPainter& painter, const QString& text, const QFont& font, const QRectF& layout,
                const StringFormat& format, const QColor& color);

// Width and height of the text on one line (no layout rectangle).
QSizeF MeasureString(const QString& text, const QFont& font);

}  // namespace yav::gdip

#pragma once
// Painting of the skin images: every image is a frame style (how the button or panel looks in
// one state) with an optional glyph (what the button does) drawn inside it. All drawing is
// vector based, so the same row paints the design size and the high-density (2x) image.

#include <QImage>
#include <QString>

namespace skin {

// One image of the table.
struct ImageSpec {
    int id = 0;
    QString type;   // "png", "bitmap" or "cursor"
    int width = 0;  // design size in pixels
    int height = 0;
    QString style;  // frame style, see SkinArt.cpp
    QString state;  // normal, hover, pressed, disabled, on, on-hover, ...
    QString glyph;  // what the image shows; may be empty
    QString note;   // a person's description (contact sheet, reviews)
};

// The image at factor times its design size, premultiplied ARGB. Unknown styles or glyphs
// paint a visible placeholder and set *error.
QImage PaintImage(const ImageSpec& spec, int factor, QString* error);

// The hot spot of a cursor image at factor 1.
QPoint CursorHotSpot(const ImageSpec& spec);

}  // namespace skin

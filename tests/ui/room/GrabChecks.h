#pragma once
// What the room's grab tests assert of a picture: the text a label shows once laid out (a cut
// label shows less than its text), the file name of a grab at a scale, the caption band of a
// skinned box.

#include <QColor>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include "platform/core/Scale.h"
#include "ui/CTransparentStatic.h"

namespace room_test {

inline QString Shown(const CTransparentStatic& label) {
    QString shown;
    for (const yav::gdip::LaidOutLine& line : label.GetTextLayout()) {
        shown += line.text;
    }
    return shown;
}

inline QString Name(const char* what, double scale) {
    return QStringLiteral("%1_%2").arg(QString::fromLatin1(what)).arg(scale == 1.0 ? "1_0" : "1_5");
}

// A skinned box: the caption band on top differs from the white body below it.
inline void ExpectCaptionBand(const QImage& picture) {
    const QColor band = picture.pixelColor(picture.width() / 2, yav::Scaled(3));
    const QColor body = picture.pixelColor(picture.width() / 2, picture.height() - yav::Scaled(4));
    EXPECT_NE(band, body);
    EXPECT_EQ(body, QColor(Qt::white));
}

}  // namespace room_test

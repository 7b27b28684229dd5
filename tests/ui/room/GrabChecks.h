#pragma once
// What the room's grab tests assert of a picture: the text a label shows once laid out (a cut
// label shows less than its text), the file name of a grab at a scale, the caption band of a
// skinned box, a message box shown whole; and a catcher for the box a step opens modally.

#include <QColor>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <functional>

#include "platform/core/Scale.h"
#include "platform/window/Dialog.h"
#include "platform/window/testing/WindowTesting.h"
#include "ui/CDlgPopMsg.h"
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

// A message box at its fixed width, with its caption band, showing its title and text uncut.
inline void ExpectWholeBox(CDlgPopMsg& box, const QString& title, const QString& text,
                           const char* what = "") {
    const QImage picture = box.grab().toImage();
    EXPECT_EQ(picture.width(), yav::Scaled(300)) << what;
    ExpectCaptionBand(picture);
    EXPECT_EQ(Shown(box.GetTitleLabel()), title) << what;
    EXPECT_EQ(Shown(box.GetMessageLabel()), text) << what;
}

// Runs `open`, hands each `Box` shown modally meanwhile to `whileOpen`, then ends that box with
// `answer`. A box a timer or a queued message opens later is waited for up to `waitMs`. True when
// a box was shown.
template <class Box>
bool CatchModalBox(const std::function<void()>& open, const std::function<void(Box&)>& whileOpen,
                   int answer, int waitMs = 3000) {
    bool seen = false;
    const int token = yav::Dialog::AddModalObserver([&](yav::Dialog& dialog) {
        auto* box = dynamic_cast<Box*>(&dialog);
        if (box == nullptr) {
            return;
        }
        seen = true;
        whileOpen(*box);
        box->EndDialog(answer);
    });
    open();
    yav::testing::WaitUntil([&] { return seen; }, waitMs);
    yav::Dialog::RemoveModalObserver(token);
    return seen;
}

}  // namespace room_test

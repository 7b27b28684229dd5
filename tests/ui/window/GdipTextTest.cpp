// String layout of the skinned controls: wrapping, whole lines only, trimming, alignment.

#include <QFont>
#include <QFontMetricsF>

#include <gtest/gtest.h>

#include "platform/window/GdipText.h"

namespace {

using yav::gdip::Align;
using yav::gdip::LayoutString;
using yav::gdip::StringFormat;
using yav::gdip::Trimming;

QFont TestFont() {
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    return font;
}

double LineHeight() {
    return QFontMetricsF(TestFont()).lineSpacing();
}

const QChar kEllipsis(0x2026);

TEST(GdipText, NoWrapKeepsOneLineAndTrimsWithEllipsis) {
    StringFormat format;
    format.noWrap = true;
    format.lineLimit = true;
    format.trimming = Trimming::EllipsisCharacter;
    const QRectF rect(0, 0, 60, LineHeight() * 3);
    const auto lines =
        LayoutString("a rather long caption that cannot fit", TestFont(), rect, format);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].text.endsWith(kEllipsis)) << lines[0].text.toStdString();
    EXPECT_LE(lines[0].rect.width(), 60.0);
}

TEST(GdipText, WordTrimmingStopsAtAWholeWord) {
    StringFormat format;
    format.noWrap = true;
    format.trimming = Trimming::EllipsisWord;
    const QFontMetricsF metrics(TestFont());
    const double width = metrics.horizontalAdvance("alpha beta gam") + 1;
    const auto lines =
        LayoutString("alpha beta gamma delta", TestFont(), QRectF(0, 0, width, 40), format);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, QString("alpha beta") + kEllipsis);
}

TEST(GdipText, LineLimitShowsOnlyWholeLines) {
    struct Case {
        double heightInLines;
        bool lineLimit;
        size_t expectedLines;
    };
    const Case cases[] = {
        {2.5, true, 2},
        {2.5, false, 3},
        {0.8, true, 0},
        {0.8, false, 1},
    };
    const QString text = "one two three four five six seven eight nine ten eleven twelve";
    const double width = QFontMetricsF(TestFont()).horizontalAdvance("one two three f");
    for (const Case& c : cases) {
        StringFormat format;
        format.lineLimit = c.lineLimit;
        format.trimming = Trimming::EllipsisCharacter;
        const auto lines = LayoutString(
            text, TestFont(), QRectF(0, 0, width, LineHeight() * c.heightInLines), format);
        EXPECT_EQ(lines.size(), c.expectedLines) << c.heightInLines << " " << c.lineLimit;
        for (const auto& line : lines) {
            EXPECT_LE(line.rect.width(), width + 0.01);
        }
        if (lines.size() == 2) {
            EXPECT_TRUE(lines[1].text.endsWith(kEllipsis)) << "cut text ends in an ellipsis";
        }
    }
    // With room for everything every line is shown and none is trimmed.
    StringFormat format;
    format.lineLimit = true;
    format.trimming = Trimming::EllipsisCharacter;
    const auto all = LayoutString(text, TestFont(), QRectF(0, 0, width, 1000), format);
    ASSERT_GT(all.size(), 3u);
    QString joined;
    for (const auto& line : all) {
        EXPECT_FALSE(line.text.endsWith(kEllipsis));
        joined += line.text + " ";
    }
    EXPECT_EQ(joined.trimmed(), text);
}

TEST(GdipText, ChineseTextWrapsBetweenCharacters) {
    StringFormat format;
    format.lineLimit = true;
    const QString text = QString::fromUtf8("网络连接已经断开请检查网络设置后重新登录");
    const double width =
        QFontMetricsF(TestFont()).horizontalAdvance(QString::fromUtf8("网络连接已"));
    const auto lines = LayoutString(text, TestFont(), QRectF(0, 0, width + 1, 200), format);
    ASSERT_GE(lines.size(), 4u);
    QString joined;
    for (const auto& line : lines) {
        joined += line.text;
    }
    EXPECT_EQ(joined, text);
}

// Letters and digits of a line (what a reader sees as characters, punctuation aside).
int Letters(const QString& line) {
    int letters = 0;
    for (QChar c : line) {
        letters += c.isLetterOrNumber() ? 1 : 0;
    }
    return letters;
}

// A text one character too long for its box keeps its line count, but the line before the last
// gives the last character company; a last line that already holds more, or one word, stays.
TEST(GdipText, TheLastLineNeverHoldsOneCharacterAlone) {
    const QFontMetricsF metrics(TestFont());
    const struct Case {
        const char* text;
        const char* fitsOneLine;  // the box is as wide as this text
        size_t lines;
        const char* lastLine;
    } cases[] = {
        // 15 characters in a box of 14: "…同" + "意" before.
        {"您已申请发言，请等待管理员同意", "您已申请发言，请等待管理员", 2, "同意"},
        // The ellipses never start a line; the character before them went down alone.
        {"与会议服务器的连接已断开，正在重新连接……", "与会议服务器的连接已断开，正在重新连接", 2,
         "连接……"},
        // Already two characters on the last line: nothing moves.
        {"网络连接已经断开请重试", "网络连接已经断开请", 2, "重试"},
        // One word on the last line is no lone character.
        {"waiting for an administrator", "waiting for an", 2, "administrator"},
    };
    StringFormat format;
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const double width = metrics.horizontalAdvance(QString::fromUtf8(c.fitsOneLine)) + 0.5;
        const auto lines = LayoutString(text, TestFont(), QRectF(0, 0, width, 200), format);
        ASSERT_EQ(lines.size(), c.lines) << c.text;
        EXPECT_EQ(lines.back().text, QString::fromUtf8(c.lastLine)) << c.text;
        EXPECT_GE(Letters(lines.back().text), 2) << c.text;
        QString joined;
        for (const auto& line : lines) {
            EXPECT_LE(line.rect.width(), width) << c.text;
            joined += line.text + (text.contains(u' ') ? QStringLiteral(" ") : QString());
        }
        EXPECT_EQ(joined.trimmed(), text);
    }
}

TEST(GdipText, AlignmentPlacesLinesInTheRectangle) {
    const QRectF rect(10, 20, 200, 60);
    struct Case {
        Align align;
        Align lineAlign;
    };
    for (const Case& c : {Case{Align::Near, Align::Near}, Case{Align::Center, Align::Center},
                          Case{Align::Far, Align::Far}}) {
        StringFormat format;
        format.align = c.align;
        format.lineAlign = c.lineAlign;
        const auto lines = LayoutString("OK", TestFont(), rect, format);
        ASSERT_EQ(lines.size(), 1u);
        const QRectF& r = lines[0].rect;
        switch (c.align) {
            case Align::Near:
                EXPECT_DOUBLE_EQ(r.left(), rect.left());
                break;
            case Align::Center:
                EXPECT_NEAR(r.center().x(), rect.center().x(), 0.01);
                break;
            case Align::Far:
                EXPECT_NEAR(r.right(), rect.right(), 0.01);
                break;
        }
        switch (c.lineAlign) {
            case Align::Near:
                EXPECT_DOUBLE_EQ(r.top(), rect.top());
                break;
            case Align::Center:
                EXPECT_NEAR(r.center().y(), rect.center().y(), 0.01);
                break;
            case Align::Far:
                EXPECT_NEAR(r.bottom(), rect.bottom(), 0.01);
                break;
        }
    }
}

TEST(GdipText, EmptyTextOrRectangleLaysOutNothing) {
    StringFormat format;
    EXPECT_TRUE(LayoutString("", TestFont(), QRectF(0, 0, 100, 100), format).empty());
    EXPECT_TRUE(LayoutString("x", TestFont(), QRectF(0, 0, 0, 100), format).empty());
}

}  // namespace

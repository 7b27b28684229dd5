#include "platform/window/GdipText.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace yav::gdip {

namespace {

constexpr double kUnbounded = 1e7;

QString Trim(const QString& text, const QFontMetricsF& metrics, double width, Trimming trimming) {
    if (trimming == Trimming::None || metrics.horizontalAdvance(text) <= width) {
        return text;
    }
    const bool ellipsis =
        trimming == Trimming::EllipsisCharacter || trimming == Trimming::EllipsisWord;
    const bool byWord = trimming == Trimming::Word || trimming == Trimming::EllipsisWord;
    const QString mark = ellipsis ? QString(QChar(0x2026)) : QString();
    const double room = width - (ellipsis ? metrics.horizontalAdvance(mark) : 0.0);
    qsizetype keep = 0;
    while (keep < text.size() && metrics.horizontalAdvance(text.left(keep + 1)) <= room) {
        ++keep;
    }
    if (byWord && keep < text.size() && !text.at(keep).isSpace()) {
        // Back to the end of the last whole word, when the kept part has one.
        const qsizetype space = text.left(keep).lastIndexOf(QChar(' '));
        if (space > 0) {
            keep = space;
        }
    }
    QString kept = text.left(keep);
    while (!kept.isEmpty() && kept.back().isSpace()) {
        kept.chop(1);
    }
    return kept + mark;
}

struct Span {
    int start;
    int length;
};

// The lines of the prepared text at the width; line `shortened` (when not -1) is made a little
// narrower than it was at that width, so that its last character or word moves down.
std::vector<Span> BreakLines(QTextLayout& textLayout, double width, int shortened) {
    double shortenedWidth = width;
    if (shortened >= 0) {
        const QTextLine line = textLayout.lineAt(shortened);
        shortenedWidth = line.isValid() ? line.naturalTextWidth() - 0.5 : width;
    }
    std::vector<Span> spans;
    textLayout.beginLayout();
    for (QTextLine line = textLayout.createLine(); line.isValid(); line = textLayout.createLine()) {
        const bool narrower = static_cast<int>(spans.size()) == shortened;
        line.setLineWidth(narrower ? std::max(1.0, shortenedWidth) : width);
        spans.push_back({line.textStart(), line.textLength()});
    }
    textLayout.endLayout();
    return spans;
}

// Letters and digits of a line (punctuation and blanks do not count).
int LettersIn(const QString& text, const Span& span) {
    int letters = 0;
    for (int i = span.start; i < span.start + span.length && i < text.size(); ++i) {
        letters += text.at(i).isLetterOrNumber() ? 1 : 0;
    }
    return letters;
}

}  // namespace

std::vector<LaidOutLine> LayoutString(const QString& text, const QFont& font, const QRectF& layout,
                                      const StringFormat& format) {
    std::vector<LaidOutLine> result;
    if (text.isEmpty() || layout.width() <= 0 || layout.height() <= 0) {
        return result;
    }
    QString prepared = text;
    prepared.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    prepared.replace(QChar('\n'), QChar::LineSeparator);

    const QFontMetricsF metrics(font);
    const double lineHeight = metrics.lineSpacing();
    QTextLayout textLayout(prepared, font);
    QTextOption option;
    option.setWrapMode(format.noWrap ? QTextOption::NoWrap
                                     : QTextOption::WrapAtWordBoundaryOrAnywhere);
    textLayout.setTextOption(option);
    std::vector<Span> spans =
        BreakLines(textLayout, format.noWrap ? kUnbounded : layout.width(), -1);
    // A wrapped text never ends with one character alone on its last line: the line before
    // gives it company.
    if (!format.noWrap && spans.size() >= 2 && LettersIn(prepared, spans.back()) == 1 &&
        LettersIn(prepared, spans[spans.size() - 2]) >= 3) {
        std::vector<Span> balanced =
            BreakLines(textLayout, layout.width(), static_cast<int>(spans.size()) - 2);
        if (balanced.size() == spans.size()) {
            spans = std::move(balanced);
        }
    }

    const double fit = layout.height() / lineHeight;
    size_t visible =
        static_cast<size_t>(format.lineLimit ? std::floor(fit + 1e-9) : std::ceil(fit - 1e-9));
    visible = std::min(visible, spans.size());
    if (visible == 0) {
        return result;
    }
    const bool cut = visible < spans.size();
    const double blockHeight = lineHeight * static_cast<double>(visible);
    double top = layout.top();
    if (format.lineAlign == Align::Center) {
        top += (layout.height() - blockHeight) / 2;
    } else if (format.lineAlign == Align::Far) {
        top += layout.height() - blockHeight;
    }
    for (size_t i = 0; i < visible; ++i) {
        const bool last = i + 1 == visible;
        QString lineText = (last && cut) ? prepared.mid(spans[i].start)
                                         : prepared.mid(spans[i].start, spans[i].length);
        lineText.replace(QChar::LineSeparator, QChar(' '));
        while (!lineText.isEmpty() && lineText.back().isSpace() && !(last && cut)) {
            lineText.chop(1);
        }
        if ((last && cut) || format.noWrap) {
            lineText = Trim(lineText, metrics, layout.width(), format.trimming);
        }
        const double width = std::min(metrics.horizontalAdvance(lineText), layout.width());
        double left = layout.left();
        if (format.align == Align::Center) {
            left += (layout.width() - width) / 2;
        } else if (format.align == Align::Far) {
            left += layout.width() - width;
        }
        result.push_back(
            {lineText, QRectF(left, top + lineHeight * static_cast<double>(i), width, lineHeight)});
    }
    return result;
}

void DrawString(QPainter& painter, const QString& text, const QFont& font, const QRectF& layout,
                const StringFormat& format, const QColor& color) {
    const std::vector<LaidOutLine> lines = LayoutString(text, font, layout, format);
    if (lines.empty()) {
        return;
    }
    const QFontMetricsF metrics(font);
    painter.save();
    painter.setClipRect(layout, Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(color);
    for (const LaidOutLine& line : lines) {
        painter.drawText(QPointF(line.rect.left(), line.rect.top() + metrics.ascent()), line.text);
    }
    painter.restore();
}

QSizeF MeasureString(const QString& text, const QFont& font) {
    const QFontMetricsF metrics(font);
    return QSizeF(metrics.horizontalAdvance(text), metrics.lineSpacing());
}

}  // namespace yav::gdip

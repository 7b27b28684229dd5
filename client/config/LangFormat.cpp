#include "LangFormat.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/core/Log.h"

namespace yav {

namespace {

// One "%..." directive of a format, as parsed.
struct Directive {
    qsizetype begin = 0;  // index of '%'
    qsizetype end = 0;    // one past the conversion character
    std::string flags;
    int width = -1;  // -1: none
    bool widthArg = false;
    int precision = -1;  // -1: none
    bool precisionArg = false;
    char conversion = 0;  // 0 when the format ends inside the directive
    char kind = '?';      // 'i', 'f', 's', '?' or '%' for "%%"
};

char KindOf(char conversion) {
    switch (conversion) {
        case 'd':
        case 'i':
        case 'u':
        case 'o':
        case 'x':
        case 'X':
        case 'c':
        case 'p':
            return 'i';
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            return 'f';
        case 's':
        case 'S':
            return 's';
        case '%':
            return '%';
        default:
            return '?';
    }
}

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int ReadNumber(const QString& format, qsizetype* pos) {
    int value = 0;
    while (*pos < format.size() && IsDigit(format[*pos])) {
        if (value < 100000) {
            value = value * 10 + (format[*pos].unicode() - u'0');
        }
        ++*pos;
    }
    return value;
}

// Parses the directive whose '%' stands at begin.
Directive ParseDirective(const QString& format, qsizetype begin) {
    Directive d;
    d.begin = begin;
    qsizetype pos = begin + 1;
    const qsizetype size = format.size();
    while (pos < size && QStringView(u"-+ #0").contains(format[pos])) {
        d.flags += static_cast<char>(format[pos].unicode());
        ++pos;
    }
    if (pos < size && format[pos] == u'*') {
        d.widthArg = true;
        ++pos;
    } else if (pos < size && IsDigit(format[pos])) {
        d.width = ReadNumber(format, &pos);
    }
    if (pos < size && format[pos] == u'.') {
        ++pos;
        if (pos < size && format[pos] == u'*') {
            d.precisionArg = true;
            ++pos;
        } else {
            d.precision = ReadNumber(format, &pos);
        }
    }
    // Length modifiers, including the Windows forms I64, I32 and I.
    while (pos < size) {
        const QChar c = format[pos];
        if (QStringView(u"hlLqjzt").contains(c)) {
            ++pos;
        } else if (c == u'I') {
            ++pos;
            if (format.mid(pos, 2) == u"64" || format.mid(pos, 2) == u"32") {
                pos += 2;
            }
        } else {
            break;
        }
    }
    if (pos >= size) {
        d.end = size;
        return d;
    }
    const char16_t c = format[pos].unicode();
    d.conversion = c < 128 ? static_cast<char>(c) : '?';
    d.kind = KindOf(d.conversion);
    d.end = pos + 1;
    return d;
}

std::vector<Directive> ParseFormat(const QString& format) {
    std::vector<Directive> directives;
    for (qsizetype pos = 0; pos < format.size();) {
        if (format[pos] != u'%') {
            ++pos;
            continue;
        }
        Directive d = ParseDirective(format, pos);
        pos = d.end;
        directives.push_back(std::move(d));
    }
    return directives;
}

bool Fits(char kind, const FormatArg& arg) {
    switch (kind) {
        case 'i':
            return arg.kind() == FormatArg::Kind::Signed || arg.kind() == FormatArg::Kind::Unsigned;
        case 'f':
            return arg.kind() == FormatArg::Kind::Real;
        case 's':
            return arg.kind() == FormatArg::Kind::Text;
        default:
            return false;
    }
}

QString Pad(QString text, int width, bool left) {
    if (width > text.size()) {
        const QString fill(width - text.size(), u' ');
        text = left ? text + fill : fill + text;
    }
    return text;
}

// A number through the C library, with the directive's flags, width and precision. The format
// is built here from checked parts, so it is not a literal.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
QString FormatNumber(const Directive& d, int width, int precision, bool left,
                     const FormatArg& arg) {
    std::string spec = "%" + d.flags;
    if (left && d.flags.find('-') == std::string::npos) {
        spec += '-';
    }
    if (width >= 0) {
        spec += std::to_string(width);
    }
    if (precision >= 0) {
        spec += "." + std::to_string(precision);
    }
    char buffer[512];
    int length = 0;
    switch (d.conversion) {
        case 'd':
        case 'i':
            spec += "lld";
            length = std::snprintf(buffer, sizeof buffer, spec.c_str(), arg.asSigned());
            break;
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            spec += "ll";
            spec += d.conversion;
            length = std::snprintf(buffer, sizeof buffer, spec.c_str(), arg.asUnsigned());
            break;
        case 'p':
            spec += "llX";
            length = std::snprintf(buffer, sizeof buffer, spec.c_str(), arg.asUnsigned());
            break;
        default:
            spec += d.conversion;
            length = std::snprintf(buffer, sizeof buffer, spec.c_str(), arg.asReal());
            break;
    }
    if (length < 0) {
        return QString();
    }
    return QString::fromLatin1(buffer, std::min<int>(length, sizeof buffer - 1));
}
#pragma GCC diagnostic pop

QString KindsText(std::span<const FormatArg> args) {
    QString text;
    for (const FormatArg& arg : args) {
        switch (arg.kind()) {
            case FormatArg::Kind::Signed:
            case FormatArg::Kind::Unsigned:
                text += u'i';
                break;
            case FormatArg::Kind::Real:
                text += u'f';
                break;
            case FormatArg::Kind::Text:
                text += u's';
                break;
        }
    }
    return text;
}

}  // namespace

QString FormatArg::plainText() const {
    switch (kind_) {
        case Kind::Signed:
            return QString::number(signed_);
        case Kind::Unsigned:
            return QString::number(unsigned_);
        case Kind::Real:
            return QString::number(real_);
        case Kind::Text:
            return text_;
    }
    return QString();
}

std::string FormatConversions(const QString& format) {
    std::string kinds;
    for (const Directive& d : ParseFormat(format)) {
        if (d.kind == '%') {
            continue;
        }
        if (d.widthArg) {
            kinds += 'i';
        }
        if (d.precisionArg) {
            kinds += 'i';
        }
        kinds += d.conversion == 'n' ? '?' : d.kind;
    }
    return kinds;
}

QString SafeFormat(const QString& format, std::span<const FormatArg> args, const char* callerFile,
                   int callerLine) {
    const std::vector<Directive> directives = ParseFormat(format);
    size_t next = 0;
    auto take = [&]() -> const FormatArg* { return next < args.size() ? &args[next++] : nullptr; };
    bool mismatch = false;

    QString result;
    qsizetype copied = 0;
    for (const Directive& d : directives) {
        result += QStringView(format).mid(copied, d.begin - copied);
        copied = d.end;
        if (d.kind == '%') {
            result += u'%';
            continue;
        }
        // Widths and precisions beyond any sensible text are capped so that a stray digit or
        // argument cannot make a text of megabytes; a '*' argument is clamped before it is
        // narrowed, and a negative one means what printf makes of it.
        constexpr long long kMaxWidth = 256;
        bool left = d.flags.find('-') != std::string::npos;
        long long width = d.width;
        long long precision = d.precision;
        if (d.widthArg) {
            const FormatArg* arg = take();
            const bool fits = arg != nullptr && Fits('i', *arg);
            mismatch |= !fits;
            width = fits ? std::clamp(arg->asSigned(), -kMaxWidth, kMaxWidth) : -1;
            if (width < 0 && fits) {
                left = true;  // a negative width asks for left alignment
                width = -width;
            }
        }
        if (d.precisionArg) {
            const FormatArg* arg = take();
            const bool fits = arg != nullptr && Fits('i', *arg);
            mismatch |= !fits;
            // A negative precision is taken as if it were not given.
            precision = fits && arg->asSigned() >= 0 ? std::min(arg->asSigned(), kMaxWidth) : -1;
        }
        width = std::min(width, kMaxWidth);
        precision = std::min(precision, kMaxWidth);
        const FormatArg* arg = take();
        if (arg == nullptr) {
            mismatch = true;
            continue;
        }
        if (d.conversion == 'n' || !Fits(d.kind, *arg)) {
            mismatch = true;
            result += arg->plainText();
            continue;
        }
        if (d.kind == 's') {
            QString text = arg->asText();
            if (precision >= 0 && precision < text.size()) {
                text.truncate(precision);
            }
            result += Pad(text, static_cast<int>(width), left);
        } else if (d.conversion == 'c') {
            result += Pad(QString(QChar(static_cast<char16_t>(arg->asUnsigned()))),
                          static_cast<int>(width), left);
        } else {
            result +=
                FormatNumber(d, static_cast<int>(width), static_cast<int>(precision), left, *arg);
        }
    }
    result += QStringView(format).mid(copied);
    if (next < args.size()) {
        mismatch = true;
    }
    if (mismatch) {
        YLOG_WARN("text format mismatch at %s:%d: \"%s\" asks for \"%s\", given \"%s\"", callerFile,
                  callerLine, format.toUtf8().constData(), FormatConversions(format).c_str(),
                  KindsText(args).toUtf8().constData());
    }
    return result;
}

}  // namespace yav

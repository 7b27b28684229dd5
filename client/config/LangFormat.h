#pragma once
// Formatting of language texts that carry printf conversions ("%d", "%s", ...). A translation
// is data, not code: a text whose conversions do not fit the arguments the caller passes must
// never make the program read an argument of the wrong type or past the last one. SafeFormat
// checks every conversion against its argument first, formats what fits, writes each argument
// that does not fit as plain text, and logs the mismatch with the caller's file and line.

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace yav {

// One argument of a formatted text: an integer, a real number or a text.
class FormatArg {
public:
    enum class Kind { Signed, Unsigned, Real, Text };

    FormatArg(int value) : kind_(Kind::Signed), signed_(value) {}
    FormatArg(long value) : kind_(Kind::Signed), signed_(value) {}
    FormatArg(long long value) : kind_(Kind::Signed), signed_(value) {}
    FormatArg(unsigned value) : kind_(Kind::Unsigned), unsigned_(value) {}
    FormatArg(unsigned long value) : kind_(Kind::Unsigned), unsigned_(value) {}
    FormatArg(unsigned long long value) : kind_(Kind::Unsigned), unsigned_(value) {}
    FormatArg(double value) : kind_(Kind::Real), real_(value) {}
    FormatArg(const QString& value) : kind_(Kind::Text), text_(value) {}
    FormatArg(const char* utf8) : kind_(Kind::Text), text_(QString::fromUtf8(utf8)) {}
    FormatArg(const char16_t* utf16) : kind_(Kind::Text), text_(QString::fromUtf16(utf16)) {}

    Kind kind() const { return kind_; }
    long long asSigned() const {
        return kind_ == Kind::Unsigned ? static_cast<long long>(unsigned_) : signed_;
    }
    unsigned long long asUnsigned() const {
        return kind_ == Kind::Signed ? static_cast<unsigned long long>(signed_) : unsigned_;
    }
    double asReal() const { return real_; }
    const QString& asText() const { return text_; }
    // The argument written as plain text, whatever conversion it was meant for.
    QString plainText() const;

private:
    Kind kind_;
    long long signed_ = 0;
    unsigned long long unsigned_ = 0;
    double real_ = 0.0;
    QString text_;
};

// The argument classes a printf format asks for, in order: 'i' integer (d i u o x X c p),
// 'f' real (f F e E g G a A), 's' text (s S), '?' a conversion this formatter does not know
// (n included: it writes memory and is never honoured). A '*' width or precision asks for an
// integer of its own. "%%" asks for nothing. A format cut short after '%' gives '?'.
std::string FormatConversions(const QString& format);

// The format filled with the arguments as printf would, for any format and any arguments.
QString SafeFormat(const QString& format, std::span<const FormatArg> args,
                   const char* callerFile = __builtin_FILE(), int callerLine = __builtin_LINE());
inline QString SafeFormat(const QString& format, std::initializer_list<FormatArg> args,
                          const char* callerFile = __builtin_FILE(),
                          int callerLine = __builtin_LINE()) {
    return SafeFormat(format, std::span<const FormatArg>(args.begin(), args.size()), callerFile,
                      callerLine);
}

}  // namespace yav

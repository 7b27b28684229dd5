#include "TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace yav::text {
namespace {

// Code page 936 as glibc names it; "GBK" is the same table without the euro sign.
const char* GbkName() {
    static const char* name = [] {
        iconv_t probe = iconv_open("UTF-8", "CP936");
        if (probe == reinterpret_cast<iconv_t>(-1)) {
            return "GBK";
        }
        iconv_close(probe);
        return "CP936";
    }();
    return name;
}

enum class Unit { Byte, Utf8, Utf16 };

// How many input bytes one bad character takes, so that it is replaced by one '?'.
size_t BadCharacterWidth(Unit unit, const char* in, size_t left) {
    size_t width = 1;
    if (unit == Unit::Utf8) {
        const auto lead = static_cast<unsigned char>(in[0]);
        width = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        for (size_t i = 1; i < width; ++i) {
            if (i >= left || (static_cast<unsigned char>(in[i]) & 0xC0) != 0x80) {
                width = i;
                break;
            }
        }
    } else if (unit == Unit::Utf16) {
        const auto high = static_cast<unsigned char>(in[left > 1 ? 1 : 0]);
        width = (high >= 0xD8 && high <= 0xDB && left >= 4) ? 4 : 2;
    }
    return width < left ? width : left;
}

// Converts bytes from one encoding to another; every undecodable or unencodable character is
// replaced by the target's '?' (encoded from "?" in UTF-8).
std::string Convert(const char* to, const char* from, const char* data, size_t size,
                    Unit inputUnit) {
    std::string out;
    if (size == 0) {
        return out;
    }
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return out;
    }
    std::string replacement;
    {
        iconv_t rcd = iconv_open(to, "UTF-8");
        if (rcd != reinterpret_cast<iconv_t>(-1)) {
            char q[] = "?";
            char* qin = q;
            size_t qleft = 1;
            char buf[8];
            char* qout = buf;
            size_t qoutLeft = sizeof buf;
            if (iconv(rcd, &qin, &qleft, &qout, &qoutLeft) != static_cast<size_t>(-1)) {
                replacement.assign(buf, sizeof buf - qoutLeft);
            }
            iconv_close(rcd);
        }
    }
    std::vector<char> input(data, data + size);
    char* in = input.data();
    size_t inLeft = size;
    std::vector<char> chunk(4 * size + 16);
    while (inLeft > 0) {
        char* outPtr = chunk.data();
        size_t outLeft = chunk.size();
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk.data(), chunk.size() - outLeft);
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                continue;
            }
            // EILSEQ or EINVAL (truncated sequence at the end): replace one unit and go on.
            out += replacement;
            const size_t skip = BadCharacterWidth(inputUnit, in, inLeft);
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

std::u16string BytesToUtf16(const std::string& bytes) {
    std::u16string out(bytes.size() / 2, u'\0');
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    return Convert(GbkName(), "UTF-8", utf8.data(), utf8.size(), Unit::Utf8);
}

std::string GbkToUtf8(std::string_view gbk) {
    return Convert("UTF-8", GbkName(), gbk.data(), gbk.size(), Unit::Byte);
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    return BytesToUtf16(Convert("UTF-16LE", "UTF-8", utf8.data(), utf8.size(), Unit::Utf8));
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    return Convert("UTF-8", "UTF-16LE", reinterpret_cast<const char*>(utf16.data()),
                   utf16.size() * 2, Unit::Utf16);
}

std::string Utf16ToGbk(std::u16string_view utf16) {
    return Convert(GbkName(), "UTF-16LE", reinterpret_cast<const char*>(utf16.data()),
                   utf16.size() * 2, Unit::Utf16);
}

std::u16string GbkToUtf16(std::string_view gbk) {
    return BytesToUtf16(Convert("UTF-16LE", GbkName(), gbk.data(), gbk.size(), Unit::Byte));
}

std::string_view TruncateGbk(std::string_view gbk, size_t maxBytes) {
    if (gbk.size() <= maxBytes) {
        return gbk;
    }
    size_t pos = 0;
    while (pos < maxBytes) {
        const auto lead = static_cast<unsigned char>(gbk[pos]);
        const size_t width = (lead >= 0x81 && lead <= 0xFE && pos + 1 < gbk.size()) ? 2 : 1;
        if (pos + width > maxBytes) {
            break;
        }
        pos += width;
    }
    return gbk.substr(0, pos);
}

std::u16string_view TruncateUtf16(std::u16string_view utf16, size_t maxUnits) {
    if (utf16.size() <= maxUnits) {
        return utf16;
    }
    size_t cut = maxUnits;
    if (cut > 0 && utf16[cut - 1] >= 0xD800 && utf16[cut - 1] <= 0xDBFF) {
        --cut;
    }
    return utf16.substr(0, cut);
}

std::string_view TruncateUtf8(std::string_view utf8, size_t maxBytes) {
    if (utf8.size() <= maxBytes) {
        return utf8;
    }
    size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return utf8.substr(0, cut);
}

}  // namespace yav::text

#include "Guid.h"

#include <cstdio>

QString GuidToString(const GUID& guid) {
    char text[40];
    std::snprintf(text, sizeof text, "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", guid.Data1,
                  guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2],
                  guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return QString::fromLatin1(text);
}

void GuidToString(const GUID& guid, char16_t out[37]) {
    const QString text = GuidToString(guid);
    for (int i = 0; i < 36; ++i) {
        out[i] = text.at(i).unicode();
    }
    out[36] = u'\0';
}

GUID StringToGuid(const QString& text) {
    GUID guid;
    if (text.size() != 36) {
        return guid;
    }
    std::uint8_t bytes[16];
    int byteIndex = 0;
    for (int i = 0; i < 36;) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text.at(i) != u'-') {
                return GUID{};
            }
            ++i;
            continue;
        }
        bool ok = false;
        const int value = text.mid(i, 2).toInt(&ok, 16);
        if (!ok || !text.at(i).isLetterOrNumber() || !text.at(i + 1).isLetterOrNumber()) {
            return GUID{};
        }
        bytes[byteIndex++] = static_cast<std::uint8_t>(value);
        i += 2;
    }
    guid.Data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                 (std::uint32_t{bytes[2]} << 8) | bytes[3];
    guid.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    guid.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i) {
        guid.Data4[i] = bytes[8 + i];
    }
    return guid;
}

#pragma once
// A 16-byte globally unique id with its 36-character text form
// ("xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx", lower case).

#include <QString>

#include <cstdint>

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {0, 0, 0, 0, 0, 0, 0, 0};

    bool operator==(const GUID&) const = default;
};

// Writes the 36 characters and a NUL into out (37 units).
void GuidToString(const GUID& guid, char16_t out[37]);
QString GuidToString(const GUID& guid);

// The GUID of a 36-character text (either letter case); the all-zero GUID when the text is not
// one.
GUID StringToGuid(const QString& text);

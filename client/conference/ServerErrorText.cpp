#include "ServerErrorText.h"

#include <array>
#include <utility>

namespace yav::road {

namespace {

constexpr int kTextUnknownServerError = 1819;
constexpr int kTextWrongMeetingPassword = 1948;

// -3 (an answer that could not be read) shares the text of 0x8017: the server speaks a
// protocol this version does not understand.
constexpr std::array<std::pair<int, int>, 27> kTextByServerError = {{
    {-1, 1864},     {-2, 1831},     {-3, 2608},     {0x1000, 3130}, {0x1002, 1765}, {0x1004, 1768},
    {0x1006, 1771}, {0x1008, 1774}, {0x100A, 1948}, {0x1012, 1777}, {0x1014, 1780}, {0x1016, 1783},
    {0x1018, 1786}, {0x1036, 970},  {0x8001, 1789}, {0x8002, 1792}, {0x8003, 1795}, {0x8005, 1798},
    {0x8007, 1801}, {0x8009, 1804}, {0x800B, 1807}, {0x800D, 1810}, {0x800F, 1813}, {0x8011, 1816},
    {0x8013, 1951}, {0x8015, 1804}, {0x8017, 2608},
}};

}  // namespace

int ServerErrorTextId(int code, int mode) {
    if (code == 0x8007 && mode == 2) {
        return kTextWrongMeetingPassword;
    }
    for (const auto& [known, text] : kTextByServerError) {
        if (known == code) {
            return text;
        }
    }
    return kTextUnknownServerError;
}

ServerErrorFormat ServerErrorTextFormat(int code) {
    if (code == 0x1000) {
        return ServerErrorFormat::MinutesSeconds;
    }
    if (code == 0x1036) {
        return ServerErrorFormat::NoArguments;
    }
    return ServerErrorFormat::Plain;
}

}  // namespace yav::road

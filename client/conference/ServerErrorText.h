#pragma once
// The language text that explains a data-server or conference-server error code to the user.

#include <cstdint>

namespace yav::road {

// The text id for an error code. mode 2 (a join with a given password) words 0x8007
// differently from every other mode.
int ServerErrorTextId(int code, int mode);

// Text 0x1000 is a format that takes the waiting time as minutes and seconds; text 0x1036 is
// a format without arguments. Every other text is shown as it stands.
enum class ServerErrorFormat { Plain, MinutesSeconds, NoArguments };
ServerErrorFormat ServerErrorTextFormat(int code);

}  // namespace yav::road

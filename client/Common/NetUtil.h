#pragma once
// Address helpers for the server addresses the user or a command line gives.

#include <string>
#include <string_view>

// True when the text holds only the digits 0-9 and ".".
bool IsDigitsAndDots(std::string_view text);

// The first IPv4 address of a host name in dotted form (at most 127 characters); false when
// the name does not resolve.
bool GetIpByHostName(const std::string& name, std::string* out);

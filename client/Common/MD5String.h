#pragma once
// MD5 (RFC 1321) digest of a NUL-terminated text as 32 lower-case hexadecimal characters
// (the form passwords travel in). Each call returns its own text, so several digests can be
// used in one expression.

#include <string>

std::string MD5String(const char* text);

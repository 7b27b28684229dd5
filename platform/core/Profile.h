#pragma once
// INI ("profile") files with the semantics the program's settings were written for:
// sections and keys match case-insensitively (ASCII), the first matching section and the
// first matching key in it win, whitespace around keys and values is dropped and one pair of
// matching quotes around a value is removed. Files are read as UTF-8 (a UTF-8 or UTF-16LE byte
// order mark is honoured); a file that is not valid UTF-8 is read as GBK, as written by an
// older Windows installation. Writes keep every other line and comment of the file, create the
// file and the section when missing, and replace the file atomically. When the named file is
// missing, a file of the same name in another letter case in the same folder is used.
//
// All functions are thread-safe; texts, keys and paths are UTF-8.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace yav::profile {

// The value of [section] key, or the default (without its trailing blanks) when the file,
// the section or the key is missing. The result is cut to limit - 1 UTF-16 code units, as a
// caller's buffer of limit wide characters would hold it (a surrogate pair is never split);
// limit 0 gives an empty text.
std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                      size_t limit, const std::string& path);

// The value of [section] key read as a decimal integer: optional blanks, an optional sign,
// then the leading digits (the rest is ignored; overflow wraps as a 32-bit value). A value
// with no leading digits gives 0; a missing or empty value gives the default.
int GetInt(std::string_view section, std::string_view key, int defaultValue,
           const std::string& path);

// Sets [section] key = value, creating the file and the section when needed. A null value
// deletes the key. False when the file cannot be read or written (its folder is missing or
// not writable) and for names that would not read back (a line break in either, "]" in a
// section, "=" in a key or a key starting with "[" or ";"); line breaks in a value become
// spaces.
bool WriteString(std::string_view section, std::string_view key, const char* value,
                 const std::string& path);
inline bool WriteString(std::string_view section, std::string_view key, const std::string& value,
                        const std::string& path) {
    return WriteString(section, key, value.c_str(), path);
}

// Removes [section] key (true also when there was nothing to remove and the file exists).
bool DeleteKey(std::string_view section, std::string_view key, const std::string& path);

// Removes the first section of that name with all its lines.
bool DeleteSection(std::string_view section, const std::string& path);

// Names of every section of the file, in file order (empty when the file is missing).
std::vector<std::string> GetSectionNames(const std::string& path);

// Keys of the first section of that name, in file order.
std::vector<std::string> GetKeyNames(std::string_view section, const std::string& path);

}  // namespace yav::profile

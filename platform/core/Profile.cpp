#include "Profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <sstream>

#include "Log.h"
#include "Paths.h"
#include "TextCodec.h"

namespace yav::profile {
namespace {

// One lock for every profile file: reads never see a half-written file of another thread.
std::mutex& ProfileMutex() {
    static std::mutex mutex;
    return mutex;
}

enum class Encoding { Utf8, Utf8Bom, Utf16Bom, Gbk };

struct Document {
    std::vector<std::string> lines;  // UTF-8, without line ends
    Encoding encoding = Encoding::Utf8;
    bool crlf = false;
    bool exists = false;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        size_t width = 0;
        if (lead < 0x80) {
            width = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            width = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            width = 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            width = 4;
        } else {
            return false;
        }
        if (i + width > bytes.size()) {
            return false;
        }
        for (size_t k = 1; k < width; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += width;
    }
    return true;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Document Load(const std::string& path) {
    Document doc;
    const std::optional<std::string> raw = ReadFileBytes(path);
    if (!raw) {
        return doc;
    }
    doc.exists = true;
    std::string text;
    std::string_view bytes = *raw;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        doc.encoding = Encoding::Utf8Bom;
        text.assign(bytes.substr(3));
    } else if (bytes.substr(0, 2) == "\xFF\xFE") {
        doc.encoding = Encoding::Utf16Bom;
        bytes.remove_prefix(2);
        std::u16string units(bytes.size() / 2, u'\0');
        std::memcpy(units.data(), bytes.data(), units.size() * 2);
        text = text::Utf16ToUtf8(units);
    } else if (IsValidUtf8(bytes)) {
        text.assign(bytes);
    } else {
        doc.encoding = Encoding::Gbk;
        text = text::GbkToUtf8(bytes);
    }
    size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            if (first) {
                doc.crlf = true;
            }
        }
        first = false;
        doc.lines.push_back(std::move(line));
        start = end + 1;
    }
    return doc;
}

bool Save(const Document& doc, const std::string& path) {
    std::string text;
    const char* eol = doc.crlf ? "\r\n" : "\n";
    for (const std::string& line : doc.lines) {
        text += line;
        text += eol;
    }
    std::string bytes;
    switch (doc.encoding) {
        case Encoding::Utf8Bom:
            bytes = "\xEF\xBB\xBF" + text;
            break;
        case Encoding::Utf16Bom: {
            const std::u16string units = text::Utf8ToUtf16(text);
            bytes = "\xFF\xFE";
            bytes.append(reinterpret_cast<const char*>(units.data()), units.size() * 2);
            break;
        }
        case Encoding::Utf8:
        case Encoding::Gbk:
            // A GBK file is written back as UTF-8: nothing is lost and it still reads the same.
            bytes = text;
            break;
    }

    // Write a sibling and rename it over the file, so a crash never leaves half a file.
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        YLOG_WARN("profile: cannot write %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
    struct stat st {};
    const mode_t mode = (stat(path.c_str(), &st) == 0) ? (st.st_mode & 07777) : 0644;
    fchmod(fd, mode);
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (close(fd) != 0) {
        ok = false;
    }
    if (ok && rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
    }
    if (!ok) {
        YLOG_WARN("profile: cannot write %s: %s", path.c_str(), std::strerror(errno));
        unlink(temp.c_str());
    }
    return ok;
}

// "[name]" -> name; nothing for other lines.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    const size_t close = line.find(']');
    if (close != std::string_view::npos) {
        line = line.substr(0, close);
    }
    return Trim(line);
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '[') {
        return std::nullopt;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

// Line range [header, end) of the first section of that name; header is npos when missing.
// Lines before the first header form the section with the empty name.
struct SectionRange {
    size_t header = std::string::npos;
    size_t begin = 0;
    size_t end = 0;
    bool found = false;
};

SectionRange FindSection(const Document& doc, std::string_view section) {
    SectionRange range;
    section = Trim(section);
    size_t i = 0;
    if (section.empty()) {
        range.found = true;
        range.begin = 0;
        while (i < doc.lines.size() && !SectionName(doc.lines[i])) {
            ++i;
        }
        range.end = i;
        return range;
    }
    for (; i < doc.lines.size(); ++i) {
        const auto name = SectionName(doc.lines[i]);
        if (name && EqualsNoCase(*name, section)) {
            range.found = true;
            range.header = i;
            range.begin = i + 1;
            size_t j = i + 1;
            while (j < doc.lines.size() && !SectionName(doc.lines[j])) {
                ++j;
            }
            range.end = j;
            return range;
        }
    }
    return range;
}

std::optional<size_t> FindKey(const Document& doc, const SectionRange& range,
                              std::string_view key) {
    key = Trim(key);
    for (size_t i = range.begin; i < range.end; ++i) {
        const auto parsed = ParseKeyLine(doc.lines[i]);
        if (parsed && EqualsNoCase(parsed->key, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> Lookup(const std::string& path, std::string_view section,
                                  std::string_view key) {
    const Document doc = Load(paths::ResolveCaseInsensitive(path));
    const SectionRange range = FindSection(doc, section);
    if (!range.found) {
        return std::nullopt;
    }
    const auto index = FindKey(doc, range, key);
    if (!index) {
        return std::nullopt;
    }
    std::string_view value = ParseKeyLine(doc.lines[*index])->value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

// The longest prefix of a UTF-8 text that is at most maxUnits UTF-16 code units long.
std::string CutToUtf16Units(std::string_view utf8, size_t maxUnits) {
    size_t units = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        size_t width = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (i + width > utf8.size()) {
            width = utf8.size() - i;
        }
        const size_t need = width == 4 ? 2 : 1;
        if (units + need > maxUnits) {
            break;
        }
        units += need;
        i += width;
    }
    return std::string(utf8.substr(0, i));
}

// Names that would read back as something else (or break the file's structure) are refused.
bool IsWritableName(std::string_view name, bool isKey) {
    if (Trim(name).empty() && isKey) {
        return false;
    }
    if (name.find_first_of("\r\n") != std::string_view::npos) {
        return false;
    }
    if (isKey) {
        const std::string_view trimmed = Trim(name);
        return name.find('=') == std::string_view::npos && trimmed.front() != '[' &&
               trimmed.front() != ';';
    }
    return name.find(']') == std::string_view::npos;
}

bool Modify(const std::string& path, std::string_view section, std::string_view key,
            const char* value) {
    if (!IsWritableName(section, false) || !IsWritableName(key, true)) {
        YLOG_WARN("profile: refused to write [%.*s] %.*s to %s", static_cast<int>(section.size()),
                  section.data(), static_cast<int>(key.size()), key.data(), path.c_str());
        return false;
    }
    // A line break in a value would start a new line of the file: it becomes a space.
    std::string safeValue;
    if (value != nullptr) {
        safeValue = value;
        for (char& c : safeValue) {
            if (c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        value = safeValue.c_str();
    }
    const std::string target = paths::ResolveCaseInsensitive(path);
    Document doc = Load(target);
    if (!doc.exists && value == nullptr) {
        return false;
    }
    SectionRange range = FindSection(doc, section);
    const auto index = range.found ? FindKey(doc, range, key) : std::nullopt;
    if (value == nullptr) {
        if (index) {
            doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(*index));
            return Save(doc, target);
        }
        return true;
    }
    if (index) {
        const std::string existingKey(ParseKeyLine(doc.lines[*index])->key);
        doc.lines[*index] = existingKey + "=" + value;
    } else if (range.found) {
        // After the section's last non-blank line, so blank separators stay below it.
        size_t insertAt = range.end;
        while (insertAt > range.begin && Trim(doc.lines[insertAt - 1]).empty()) {
            --insertAt;
        }
        doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                         std::string(Trim(key)) + "=" + value);
    } else {
        doc.lines.push_back("[" + std::string(Trim(section)) + "]");
        doc.lines.push_back(std::string(Trim(key)) + "=" + value);
    }
    return Save(doc, target);
}

}  // namespace

std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue,
                      size_t limit, const std::string& path) {
    if (limit == 0) {
        return {};
    }
    std::optional<std::string> value;
    {
        std::lock_guard lock(ProfileMutex());
        value = Lookup(path, section, key);
    }
    if (!value) {
        while (!defaultValue.empty() && defaultValue.back() == ' ') {
            defaultValue.remove_suffix(1);
        }
        value = std::string(defaultValue);
    }
    return CutToUtf16Units(*value, limit - 1);
}

int GetInt(std::string_view section, std::string_view key, int defaultValue,
           const std::string& path) {
    std::optional<std::string> value;
    {
        std::lock_guard lock(ProfileMutex());
        value = Lookup(path, section, key);
    }
    if (!value || value->empty()) {
        return defaultValue;
    }
    std::string_view text = Trim(*value);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::uint32_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        number = number * 10u + static_cast<std::uint32_t>(c - '0');
    }
    if (negative) {
        number = 0u - number;
    }
    return static_cast<int>(number);
}

bool WriteString(std::string_view section, std::string_view key, const char* value,
                 const std::string& path) {
    std::lock_guard lock(ProfileMutex());
    return Modify(path, section, key, value);
}

bool DeleteKey(std::string_view section, std::string_view key, const std::string& path) {
    std::lock_guard lock(ProfileMutex());
    return Modify(path, section, key, nullptr);
}

bool DeleteSection(std::string_view section, const std::string& path) {
    std::lock_guard lock(ProfileMutex());
    const std::string target = paths::ResolveCaseInsensitive(path);
    Document doc = Load(target);
    if (!doc.exists) {
        return false;
    }
    const SectionRange range = FindSection(doc, section);
    if (!range.found) {
        return true;
    }
    const size_t from = range.header == std::string::npos ? range.begin : range.header;
    doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(from),
                    doc.lines.begin() + static_cast<std::ptrdiff_t>(range.end));
    return Save(doc, target);
}

std::vector<std::string> GetSectionNames(const std::string& path) {
    std::lock_guard lock(ProfileMutex());
    const Document doc = Load(paths::ResolveCaseInsensitive(path));
    std::vector<std::string> names;
    for (const std::string& line : doc.lines) {
        if (const auto name = SectionName(line)) {
            names.emplace_back(*name);
        }
    }
    return names;
}

std::vector<std::string> GetKeyNames(std::string_view section, const std::string& path) {
    std::lock_guard lock(ProfileMutex());
    const Document doc = Load(paths::ResolveCaseInsensitive(path));
    const SectionRange range = FindSection(doc, section);
    std::vector<std::string> keys;
    if (!range.found) {
        return keys;
    }
    for (size_t i = range.begin; i < range.end; ++i) {
        if (const auto parsed = ParseKeyLine(doc.lines[i])) {
            keys.emplace_back(parsed->key);
        }
    }
    return keys;
}

}  // namespace yav::profile

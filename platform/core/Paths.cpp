#include "Paths.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "Log.h"

namespace yav::paths {
namespace {

bool IsAbsoluteEnv(const char* value) {
    return value != nullptr && value[0] == '/';
}

std::string HomeDir() {
    const char* home = std::getenv("HOME");
    if (IsAbsoluteEnv(home)) {
        return home;
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && IsAbsoluteEnv(result->pw_dir)) {
        return result->pw_dir;
    }
    return "/tmp";
}

bool LowerEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// A folder of ours with mode 0700 (an existing one must belong to us and not be a link; one
// of ours that others may enter is closed to them).
bool EnsurePrivateDir(const std::string& dir) {
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) {
        return false;
    }
    return (st.st_mode & 077) == 0 || chmod(dir.c_str(), 0700) == 0;
}

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace

std::string ProgramFile() {
    std::vector<char> buffer(PATH_MAX);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) {
        return {};
    }
    return std::string(buffer.data(), static_cast<size_t>(length));
}

namespace {
std::mutex& OverrideMutex() {
    static std::mutex mutex;
    return mutex;
}
std::string& ProgramDirOverride() {
    static std::string dir;
    return dir;
}
}  // namespace

std::string ProgramDir() {
    {
        std::lock_guard lock(OverrideMutex());
        if (!ProgramDirOverride().empty()) {
            return ProgramDirOverride();
        }
    }
    return DirName(ProgramFile());
}

void OverrideProgramDir(const std::string& dir) {
    std::lock_guard lock(OverrideMutex());
    ProgramDirOverride() = dir.empty() ? std::string() : WithTrailingSlash(dir);
}

std::string UserDataBase() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (IsAbsoluteEnv(xdg)) {
        return StripTrailingSlashes(xdg);
    }
    return StripTrailingSlashes(HomeDir()) + "/.local/share";
}

std::string RuntimeDir() {
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    if (IsAbsoluteEnv(xdg)) {
        return StripTrailingSlashes(xdg);
    }
    return UserTempDir();
}

std::string UserTempDir() {
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = IsAbsoluteEnv(tmp) ? StripTrailingSlashes(tmp) : std::string("/tmp");
    const std::string name = "/yav-" + std::to_string(getuid());
    const std::string dir = base + name;
    if (EnsurePrivateDir(dir)) {
        return dir;
    }
    // The usual name is taken by something that is not a private folder of ours (a link,
    // another user's folder): never that; a fresh private folder instead, the same one for the
    // rest of the process.
    static std::mutex& mutex = *new std::mutex;
    static std::map<std::string, std::string>& made = *new std::map<std::string, std::string>;
    std::lock_guard lock(mutex);
    if (const auto it = made.find(dir); it != made.end() && EnsurePrivateDir(it->second)) {
        return it->second;
    }
    for (const std::string& root : {base, std::string("/tmp")}) {
        std::string fresh = root + name + "-XXXXXX";
        if (mkdtemp(fresh.data()) != nullptr) {
            YLOG_WARN("%s is not a private folder of this user: using %s", dir.c_str(),
                      fresh.c_str());
            made[dir] = fresh;
            return fresh;
        }
    }
    YLOG_ERROR("no private temporary folder can be made (%s is not one)", dir.c_str());
    return dir;
}

std::string ResolveCaseInsensitive(const std::string& path) {
    if (path.empty() || access(path.c_str(), F_OK) == 0) {
        return path;
    }
    const std::string name = FileName(path);
    if (name.empty()) {
        return path;
    }
    std::string dir = DirName(path);
    DIR* handle = opendir(dir.empty() ? "." : dir.c_str());
    if (handle == nullptr) {
        return path;
    }
    std::vector<std::string> matches;
    while (const dirent* entry = readdir(handle)) {
        if (LowerEquals(entry->d_name, name)) {
            matches.emplace_back(entry->d_name);
        }
    }
    closedir(handle);
    if (matches.empty()) {
        return path;
    }
    std::sort(matches.begin(), matches.end());
    return dir + matches.front();
}

bool Exists(const std::string& path) {
    return !path.empty() && access(ResolveCaseInsensitive(path).c_str(), F_OK) == 0;
}

std::string FromWindows(std::string_view path) {
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

bool IsAbsolute(std::string_view path) {
    return (!path.empty() && path.front() == '/') || path.find(":\\") != std::string_view::npos ||
           path.find(":/") != std::string_view::npos;
}

std::string WithTrailingSlash(std::string_view path) {
    std::string out(path);
    while (out.size() > 1 && out.back() == '/') {
        out.pop_back();
    }
    if (out != "/") {
        out += '/';
    }
    return out;
}

std::string FileName(std::string_view path) {
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string DirName(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

}  // namespace yav::paths

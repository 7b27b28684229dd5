#pragma once
// Where the program finds its files: the program folder (the folder of the executable), the
// user data base (the per-user application-data root) and the runtime folder. Also the two
// rules the program's paths were written under on Windows: file names match in any letter
// case, and "X:\..." is an absolute path with "\" as separator.

#include <string>
#include <string_view>

namespace yav::paths {

// Full path of the running executable (from /proc/self/exe).
std::string ProgramFile();

// Folder of the executable, with a trailing "/".
std::string ProgramDir();

// Makes ProgramDir() answer the given folder (empty: the executable's folder again). For tests
// that need a program folder with files of their own.
void OverrideProgramDir(const std::string& dir);

// $XDG_DATA_HOME when set and absolute, else $HOME/.local/share (the home folder from the
// password database when HOME is unset). No trailing "/".
std::string UserDataBase();

// $XDG_RUNTIME_DIR when set and absolute, else a private folder /tmp/yav-<uid> created with
// mode 0700. No trailing "/".
std::string RuntimeDir();

// A per-user temporary folder (created with mode 0700), for when nothing better is usable:
// "<$TMPDIR or /tmp>/yav-<uid>", or, when that name is taken by something that is not a
// private folder of this user, a fresh private folder "yav-<uid>-XXXXXX" kept for the rest of
// the process. No trailing "/".
std::string UserTempDir();

// The path itself when it exists; otherwise, when its folder holds exactly one entry whose
// name equals the last component ignoring ASCII letter case, the path to that entry (the first
// in sorted order when several do); otherwise the path unchanged.
std::string ResolveCaseInsensitive(const std::string& path);

// True when the path names an existing file or folder (directly or after the case-insensitive
// lookup).
bool Exists(const std::string& path);

// Windows separators to POSIX ones: every "\" becomes "/".
std::string FromWindows(std::string_view path);

// True for a path the Windows program would have treated as absolute: it starts with "/" or
// holds a drive designator ":\" or ":/".
bool IsAbsolute(std::string_view path);

// A path with exactly one trailing "/".
std::string WithTrailingSlash(std::string_view path);

// The final component of a path ("" for a path ending in "/").
std::string FileName(std::string_view path);

// Everything before the final component, with its trailing "/" ("" when there is no "/").
std::string DirName(std::string_view path);

}  // namespace yav::paths

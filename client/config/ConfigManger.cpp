// The data-folder half of the configuration manager: finding and seeding the per-user data
// folder, the INI paths and the application settings.

#include "ConfigManger.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "AppSettings.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/Profile.h"
#include "platform/core/TextCodec.h"

CConfigManger g_ConfigManager __attribute__((init_priority(YAV_INIT_ORDER_CONFIG)));

namespace {

namespace fs = std::filesystem;
namespace paths = yav::paths;
namespace profile = yav::profile;

std::string U8(const QString& text) {
    return text.toStdString();
}
QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString ReadString(const char* section, const char* key, const char* defaultValue, size_t limit,
                   const QString& ini) {
    return Q(profile::GetString(section, key, defaultValue, limit, U8(ini)));
}

int ReadInt(const char* section, const char* key, int defaultValue, const QString& ini) {
    return profile::GetInt(section, key, defaultValue, U8(ini));
}

bool MakeDir(const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0;
}

// Copies a file of the program folder into the data folder unless the target exists in any
// letter case. The copy is always writable by the user, whatever the installed file's mode.
void CopyWithoutOverwrite(const std::string& source, const std::string& target) {
    const std::string from = paths::ResolveCaseInsensitive(source);
    if (paths::Exists(target) || access(from.c_str(), R_OK) != 0) {
        return;
    }
    std::error_code error;
    if (!fs::copy_file(from, target, fs::copy_options::skip_existing, error)) {
        YLOG_WARN("cannot copy %s to %s: %s", from.c_str(), target.c_str(),
                  error.message().c_str());
        return;
    }
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                    error);
}

// Creates the folder and every missing parent.
bool MakeDirTree(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

CConfigManger::CConfigManger() {
    // Nothing has configured logging yet: keep the lines for when start-up does.
    yav::log::HoldUntilConfigured();
    strDataDir = InitDataSaveDir();
    GetModuleDir();
    nClientType =
        static_cast<std::uint32_t>(ReadInt("Client", "Type", 0, strDataDir + "Config.ini"));
    strClientIni = strDataDir + "Client.ini";
    if (nClientType == 1) {
        strClientIni = Q(paths::FromWindows(
            U8(ReadString("Client", "IniPath", "", 260, strDataDir + "Config.ini"))));
    }
    strConfigVideoIni = strDataDir + "ConfigVideo.ini";
    strSkinIni = strDataDir + "Skin.ini";
    strLanguageDll = strModuleDir + "Language.rcc";
    strSkinsDll = strModuleDir + "Skins.rcc";
    LoadAppInfo();
    nOsVersion = 0;
}

CConfigManger::~CConfigManger() = default;

QString CConfigManger::GetModuleDir() {
    // The folder keeps its letter case: unlike Windows, the file system here tells cases apart.
    strModuleDir = Q(paths::ProgramDir());
    strModuleDrivePath = strModuleDir;
    return strModuleDir;
}

QString CConfigManger::InitDataSaveDir() {
    YLOG_DEBUG("CConfigManger::InitDataSaveDir");
    const std::string programDir = paths::ProgramDir();
    std::string name =
        profile::GetString("appinfo", "APPDataPath", "MarnexData", 60, programDir + "Client.ini");
    if (name.empty()) {
        name = "MarNexData";
    }
    name = paths::FromWindows(name);
    while (!name.empty() && name.front() == '/') {
        name.erase(0, 1);
    }
    while (!name.empty() && name.back() == '/') {
        name.pop_back();
    }
    if (name.empty()) {
        name = "MarNexData";
    }

    // On Windows "MarnexData" and "MarNexData" are one folder: find it in any letter case.
    std::string dataDir = paths::ResolveCaseInsensitive(paths::UserDataBase() + "/" + name);
    bool available = true;
    if (!IsPathExist(Q(dataDir)) && !MakeDirTree(dataDir)) {
        YLOG_DEBUG("创建MarnexData目录失败 error=%d", errno);
        available = false;
    }
    bool writable = false;
    if (!available) {
        YLOG_DEBUG("创建APPDATA下的数据目录失败。");
    } else if (!(writable = CheckDirAuthorityWrite(Q(dataDir), false))) {
        YLOG_DEBUG("APPDATA下的数据目录没有访问权限");
    }
    if (!available || !writable) {
        // Never the file-system root or the current folder: a private temporary folder.
        const std::string fallback = paths::UserTempDir() + "/" + name;
        YLOG_WARN("数据目录不可用: %s, 改用临时目录 %s", dataDir.c_str(), fallback.c_str());
        dataDir = fallback;
        if (!MakeDirTree(dataDir) || !CheckDirAuthorityWrite(Q(dataDir), true)) {
            YLOG_ERROR("临时数据目录也不可写: %s", dataDir.c_str());
        }
    }

    const std::string d = dataDir + "/";
    for (const char* file : {"Client.ini", "ConfigVideo.ini", "H323Record.ini", "skin.ini",
                             "log4cpp2.properties", "log4cppDocCvt2.properties"}) {
        CopyWithoutOverwrite(programDir + file, d + file);
    }
    if (access((d + "log4cpp.properties").c_str(), F_OK) != 0) {
        CopyWithoutOverwrite(programDir + "log4cpp.properties", d + "log4cpp3.properties");
        CopyWithoutOverwrite(programDir + "log4cppDocCvt.properties",
                             d + "log4cppDocCvt3.properties");
    }
    InitLogConfig(Q(dataDir));
    for (const char* folder : {"DocTemp", "PhotoFile", "RecrodFile", "Update"}) {
        MakeDir(d + folder);
    }
    CopyWithoutOverwrite(programDir + "Update/upgrade.ini", d + "Update/upgrade.ini");
    return Q(d);
}

void CConfigManger::InitLogConfig(const QString& dataDirWithoutSlash) {
    const std::string d = U8(dataDirWithoutSlash);
    if (!MakeDir(d + "/loglog") && errno != EEXIST) {
        YLOG_DEBUG("创建日志目录失败！！");
    }
    const std::string target = d + "/log4cpp.properties";
    if (access(target.c_str(), F_OK) == 0) {
        return;
    }
    const std::string templatePath = d + "/log4cpp3.properties";
    std::ifstream in(templatePath, std::ios::binary);
    if (!in) {
        // Without a template there is nothing to write; start-up then uses log4cpp2.properties.
        return;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    const std::string logDir = d + "/loglog/";
    std::string line;
    while (std::getline(in, line)) {
        const size_t at = line.find("./loglog/");
        if (at != std::string::npos) {
            line.replace(at, 9, logDir);
        }
        out << line << '\n';
    }
    in.close();
    out.close();
    std::remove(templatePath.c_str());
}

bool CConfigManger::IsPathExist(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    std::string native = paths::FromWindows(U8(path));
    if (native == "/" || native == "." || native == "..") {
        return true;
    }
    if (native.size() > 1 && native.back() == '/') {
        native.pop_back();
    }
    return paths::Exists(native);
}

bool CConfigManger::CreateDirectoryTree(const QString& path) {
    const std::string native = paths::FromWindows(U8(path));
    // Every prefix up to a "/" (a leading "/" is the root and is skipped).
    for (size_t slash = native.find('/', 1); slash != std::string::npos;
         slash = native.find('/', slash + 1)) {
        const std::string prefix = native.substr(0, slash);
        if (!IsPathExist(Q(prefix)) && !MakeDir(prefix)) {
            YLOG_DEBUG("CreateDirectory dir fail");
            return false;
        }
    }
    if (!IsPathExist(Q(native))) {
        return MakeDir(native);
    }
    return true;
}

bool CConfigManger::CheckDirAuthorityWrite(const QString& path, bool useLog) {
    auto report = [useLog](const char* text) {
        if (useLog) {
            YLOG_WARN("%s", text);
        } else {
            YLOG_DEBUG("%s", text);
        }
    };
    const std::string dir = paths::FromWindows(U8(path));
    const bool endsWithSlash = !dir.empty() && dir.back() == '/';
    const std::string testDir =
        endsWithSlash ? dir + "testWriteDirAccess" : dir + "/testWriteDirAccess";
    const std::string testFile =
        endsWithSlash ? dir + "testfilrwrite.abc" : dir + "/stestfilrwrite.abc";

    // A test folder left by an interrupted run counts as created.
    if (mkdir(testDir.c_str(), 0755) != 0 && errno != EEXIST) {
        if (errno != EACCES && errno != EPERM && errno != EROFS) {
            report("CConfigManger::CheckDirAuthorityWrite 其它错误导致创建目录失败");
        }
        return false;
    }
    if (rmdir(testDir.c_str()) != 0) {
        if (useLog) {
            YLOG_WARN("CConfigManger::CheckDirAuthorityWrite 创建的测试目录无法删除=%d", errno);
        } else {
            YLOG_DEBUG("CConfigManger::CheckDirAuthorityWrite 创建的测试目录无法删除=%d", errno);
        }
        return false;
    }
    const int fd = open(testFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno != EACCES && errno != EPERM && errno != EROFS) {
            report("CConfigManger::CheckDirAuthorityWrite 其它错误导致创建文件失败");
        }
        return false;
    }
    const bool written = write(fd, "abc", 3) == 3;
    const int writeErrno = errno;
    close(fd);
    if (!written) {
        const std::string message = std::strerror(writeErrno);
        if (useLog) {
            YLOG_WARN("写文件抛出异常:%s", message.c_str());
        } else {
            YLOG_DEBUG("写文件抛出异常:%s", message.c_str());
        }
        unlink(testFile.c_str());
        return false;
    }
    if (unlink(testFile.c_str()) != 0) {
        report("CConfigManger::CheckDirAuthorityWrite 创建的测试文件无法删除");
        return false;
    }
    return true;
}

void CConfigManger::LoadAppInfo() {
    ST_APP_SETTINGS& s = g_AppSettings;
    const QString& ini = strClientIni;

    // The protocol version travels as code page 936 in a 20-byte field: cut on a character
    // boundary so that it always fits with its NUL.
    const std::string version =
        yav::text::Utf8ToGbk(profile::GetString("appinfo", "Version", "", 512, U8(ini)));
    const std::string_view fitted = yav::text::TruncateGbk(version, sizeof s.Version - 1);
    std::memset(s.Version, 0, sizeof s.Version);
    std::memcpy(s.Version, fitted.data(), fitted.size());

    s.clientversion = ReadString("appinfo", "clientversion", "", 20, ini);
    s.clientname = ReadString("appinfo", "clientname", "", 64, ini);
    s.clientguid = StringToGuid(ReadString("appinfo", "clientguid", "", 74, ini));
    s.DsSvrPort = static_cast<std::uint32_t>(ReadInt("appinfo", "DsSvrPort", 8875, ini));
    s.ProbePort = static_cast<std::uint32_t>(ReadInt("appinfo", "ProbePort", 8000, ini));

    // Folders: a value that is not an absolute path of this system means the data folder's own.
    auto folderSetting = [this, &ini](const char* key, const char* subFolder, bool rootRule) {
        QString folder = Q(paths::FromWindows(U8(ReadString("appinfo", key, "", 260, ini))));
        if (!folder.startsWith(u'/')) {
            folder = strDataDir + QString::fromLatin1(subFolder);
        } else if (rootRule && folder.size() < 4) {
            folder = Q(paths::WithTrailingSlash(U8(folder))) + QString::fromLatin1(subFolder);
        }
        if (!IsPathExist(folder)) {
            CreateDirectoryTree(folder);
        }
        return folder;
    };
    s.recordpath = folderSetting("recordpath", "RecrodFile", true);
    s.photopath = folderSetting("photopath", "PhotoFile", false);

    const QString sound =
        Q(paths::FromWindows(U8(ReadString("appinfo", "soundfilepath", "", 260, ini))));
    s.soundfilepath = sound.startsWith(u'/') ? sound : strModuleDir + QStringLiteral("toy.wav");
    s.clappingSound = strModuleDir + QStringLiteral("clapping.wav");
    s.startConfSound = strModuleDir + QStringLiteral("startconf.wav");
    s.cheersSound = strModuleDir + QStringLiteral("Cheers.wav");
    s.musicSound = strModuleDir + QStringLiteral("Musicmid.wav");
    s.url = ReadString("feedback", "url", "", 260, ini);
    s.hotLine = ReadString("feedback", "hotLine", "", 260, ini);
    s.cycleinterval = static_cast<std::uint32_t>(ReadInt("appinfo", "cycleinterval", 10, ini));
    s.cyclecount = static_cast<std::uint32_t>(ReadInt("appinfo", "cyclecount", 1, ini));
    s.UseTCP = static_cast<std::uint8_t>(ReadInt("VideoParam", "UseTCP", 0, strConfigVideoIni));
    s.ShowDefault = static_cast<std::uint32_t>(ReadInt("VideoTextColor", "ShowDefault", 0, ini));
    s.byStateReserved = 0;
    s.byDocLayoutMode = 0;
    s.bAutoScreen = static_cast<std::uint8_t>(ReadInt("appinfo", "bAutoScreen", 0, ini));
    s.bWatchAutoTime = static_cast<std::uint8_t>(ReadInt("appinfo", "bWatchAutoTime", 0, ini));
    s.bVideoCapMode = static_cast<std::uint8_t>(ReadInt("appinfo", "bVideoCapMode", 1, ini));
    s.CurCapVideoID =
        static_cast<std::uint8_t>(ReadInt("VideoParam", "CurCapVideoID", 0, strConfigVideoIni));
    s.dwNetQualityState = 0;
    s.dwPanelToggle = 1;
    s.bSixOrSevenWinMode =
        static_cast<std::uint32_t>(ReadInt("appinfo", "bSixOrSevenWinMode", 0, ini));
    s.VideoSlice = static_cast<std::uint16_t>(ReadInt("VideoRecord", "VideoSlice", 30, ini));
    profile::WriteString("Guard", "bUpdate", "0", U8(ini));
}

void CConfigManger::InitOsVersion() {
    // Every version test of the program asks "at least Windows 8": a current system passes all.
    nOsVersion = 100;
    g_nOSVersion = static_cast<int>(nOsVersion);
}

void CConfigManger::GetMonitorRect(const QWidget* window, QRect* rect, bool workArea) const {
    if (window == nullptr || rect == nullptr) {
        return;
    }
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::screenAt(window->geometry().center());
    }
    if (screen == nullptr) {
        return;
    }
    *rect = workArea ? screen->availableGeometry() : screen->geometry();
}

int CConfigManger::LoadResourceThread() {
    YLOG_DEBUG("加载资源线程%d-%d", 1006, 1096);
    YLOG_DEBUG("加载资源线程退出");
    return 1;
}

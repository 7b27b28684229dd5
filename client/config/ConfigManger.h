#pragma once
// The program's one configuration object: data folder, INI paths, application settings,
// language texts and skin images. The configuration half lives in ConfigManger.cpp, the
// texts-and-images half in ConfigMangerResources.cpp.

#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>

#include "platform/core/CriticalSection.h"

class QWidget;

class CConfigManger {
public:
    CConfigManger();
    virtual ~CConfigManger();
    CConfigManger(const CConfigManger&) = delete;
    CConfigManger& operator=(const CConfigManger&) = delete;

    // --- data folder, paths and settings (ConfigManger.cpp) ---
    QString InitDataSaveDir();
    QString GetDataDir() const { return strDataDir; }
    QString GetClientIniPath() const { return strClientIni; }
    QString GetConfigVideoIniPath() const { return strConfigVideoIni; }
    QString GetModuleDir();
    static bool IsPathExist(const QString& path);
    static bool CreateDirectoryTree(const QString& path);
    static bool CheckDirAuthorityWrite(const QString& path, bool useLog);
    void InitLogConfig(const QString& dataDirWithoutSlash);
    void LoadAppInfo();
    void InitOsVersion();
    void GetMonitorRect(const QWidget* window, QRect* rect, bool workArea) const;
    virtual int LoadResourceThread();

    // --- language texts and skin images (ConfigMangerResources.cpp) ---
    QString GetString(int id) const;
    int GetLanguageIndex() const { return nLanguageIndex; }
    void LoadLanguage();
    void SetLanguage(int index);
    void LoadSkin();
    void LoadSkinColors();
    // Owned by the image cache; null when the image is missing.
    QImage* LoadPNG(std::uint32_t id);
    QImage* LoadPNGScaled(std::uint32_t id);
    QPixmap LoadBitmap(std::uint32_t id);
    QCursor LoadCursor(std::uint32_t id);
    void ReleaseImageCache();

    // Fields in the order the rest of the program knows them.
    std::uint32_t nClientType = 0;
    std::uint32_t nOsVersion = 0;
    QString strClientIni;
    QString strModuleDir;
    QString strConfigVideoIni;
    QString strSkinIni;
    QString strLanguageDll;
    QString strSkinsDll;
    QString strModuleDrivePath;
    int nSkinIndex = 0;
    int nSkinCount = 0;
    int nLanguageIndex = 0;
    int bIsSelfLog = 0;
    QString strDataDir;

private:
    // --- resource-module state (ConfigMangerResources.cpp) ---
    std::map<std::uint32_t, std::unique_ptr<QImage>> mapImages;
    mutable yav::CriticalSection csLock;
    // The registered modules: each handle unregisters its module when the last copy goes, so
    // an object never leaves a module behind. Their resource paths lie under resource roots
    // of their own, so that several objects (tests) never see each other's modules.
    std::shared_ptr<void> hLanguageDll;
    std::shared_ptr<void> hSkinDll;
    QString strSkinRoot;
    // Text id -> text of the loaded language module (the three translations of a text stand
    // at three consecutive ids); replaced as a whole, read under csLock.
    std::shared_ptr<const std::map<int, QString>> pTexts;
    bool LoadSkinModule();
    void FreeSkinModule();
};

extern CConfigManger g_ConfigManager;

// The language module's text for an id ("Not found" when the module or the text is missing).
QString LoadLangString(int id);
// A bitmap of the skin module (null pixmap when missing).
QPixmap LoadSkinBitmap(std::uint32_t id);
// The held image, or the cached skin image for id when none is held yet (dialogs load their
// images once, at their first initialisation).
QImage* LoadPNGIfEmpty(QImage* held, std::uint32_t id);

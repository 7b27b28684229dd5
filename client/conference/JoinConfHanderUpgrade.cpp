// The upgrade offer of the conference road: the description file for the updater and the
// updater's start.

#include <QProcess>

#include "JoinConfHander.h"
#include "UpgradeFile.h"
#include "config/ConfigManger.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/Profile.h"

namespace {

CJoinConfHander::UpgradePlaces DefaultUpgradePlaces() {
    CJoinConfHander::UpgradePlaces places;
    places.dataDir = yav::paths::WithTrailingSlash(g_ConfigManager.GetDataDir().toStdString());
    places.programDir = yav::paths::ProgramDir();
    places.clientIni = g_ConfigManager.GetClientIniPath().toStdString();
    places.startProcess = [](const std::string& program, const std::vector<std::string>& args) {
        QStringList arguments;
        for (const std::string& arg : args) {
            arguments << QString::fromStdString(arg);
        }
        return QProcess::startDetached(QString::fromStdString(program), arguments);
    };
    return places;
}

}  // namespace

int CJoinConfHander::StartUpgrade() {
    if (m_frame == nullptr) {
        return 0;
    }
    const UpgradePlaces places =
        m_upgradePlaces.startProcess ? m_upgradePlaces : DefaultUpgradePlaces();
    const std::string updateDir = places.dataDir + "Update/";
    if (!yav::road::WriteUpgradeFile(m_frame->GetUpgradeInfo(), updateDir)) {
        YLOG_WARN("升级描述文件无法写入: %supgrade.ini", updateDir.c_str());
        return 0;
    }
    // The updater is told where its description file is, so it needs no copy of the
    // data-folder rules.
    const std::string program = places.programDir + "KroUpd";
    const std::string description = updateDir + "upgrade.ini";
    YLOG_DEBUG("%s %s", program.c_str(), description.c_str());
    const bool started = places.startProcess(program, {description});
    if (started) {
        yav::profile::WriteString("Guard", "bUpdate", "1", places.clientIni);
    }
    return started ? 1 : 0;
}

void CJoinConfHander::RunUpgrade() {
    if (StartUpgrade() == 0) {
        m_windows->ShowMessage(LoadLangString(1), LoadLangString(1822), 0, 0);
        return;
    }
    m_bUpgrading = 1;
    // The updater replaces the program's files: this instance ends through its normal
    // shut-down so that settings and logs are complete.
    ExitApp();
}

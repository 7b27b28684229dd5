#include "LoginTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "ConfigManger.h"
#include "StartParam.h"
#include "UiFonts.h"
#include "client/ui/CDlgPopMsg.h"
#include "platform/core/Profile.h"
#include "platform/core/Scale.h"
#include "platform/window/Scaled.h"

namespace login_test {

namespace {

std::unique_ptr<QTemporaryDir>& DataDir() {
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}

class LoginEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        DataDir() = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(DataDir()->isValid());
        ui_test::LoadProgramModules(DataDir()->path());
        ASSERT_NE(LoadLangString(1), QStringLiteral("Not found")) << "language module";
        ASSERT_NE(g_ConfigManager.LoadPNG(178), nullptr) << "skin module";
    }
    void TearDown() override {
        g_ConfigManager.ReleaseImageCache();
        DataDir().reset();
    }
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new LoginEnvironment);

}  // namespace

QString ClientIni() {
    return g_ConfigManager.GetClientIniPath();
}

void Reset() {
    QDir dir(g_ConfigManager.GetDataDir());
    dir.removeRecursively();
    QDir().mkpath(g_ConfigManager.GetDataDir());
    g_fExchangePW = 1.0;
    g_ConfigManager.LoadSkinColors();
}

void WriteIni(const char* text) {
    QFile file(ClientIni());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

std::string IniValue(const char* section, const char* key) {
    return yav::profile::GetString(section, key, "<missing>", 256, ClientIni().toStdString());
}

QString SaveGrab(QWidget* window, const QString& name) {
    const QString dir = qEnvironmentVariable("YAV_TEST_OUTPUT_DIR");
    if (dir.isEmpty() || !QDir().mkpath(dir)) {
        return QString();
    }
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    return window->grab().save(path) ? path : QString();
}

QString ShownText(const std::vector<yav::gdip::LaidOutLine>& lines) {
    QString shown;
    for (const yav::gdip::LaidOutLine& line : lines) {
        shown += line.text;
    }
    return shown;
}

QString ShownCaption(CYavPngButton& button) {
    button.grab();  // a paint places the caption
    return ShownText(button.GetCaptionLayout());
}

QRect Grown(int x, int y, int w, int h) {
    return QRect(yav::Scaled(x) - yav::Scaled(5), yav::Scaled(y) - yav::Scaled(5),
                 yav::Scaled(w) + yav::Scaled(10), yav::Scaled(h) + yav::Scaled(10));
}

void FakeJoinHandler::SetStartParams(bool autoJoin, const ST_START_PARAM* block,
                                     const QString& /*digestPwd*/) {
    ++startParamCalls;
    lastAutoJoin = autoJoin;
    if (block != nullptr) {
        lastJoinType = block->wJoinType;
        lastName = block->UserName();
        lastPassword = block->Password();
        lastConfId = block->nConfId;
    }
}

int FakeJoinHandler::ConnectDs(const QString& serverList, std::uint16_t port) {
    connectOnGuiThread = std::this_thread::get_id() == guiThread_;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        lastServerList = serverList;
        lastPort = port;
        released_.wait_for(lock, std::chrono::seconds(20),
                           [this] { return !hold_ || releasedFlag_; });
    }
    ++connectCalls;
    return connectResult.load();
}

void FakeJoinHandler::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    releasedFlag_ = true;
    released_.notify_all();
}

int FakeJoinHandler::ShowConfListDlg() {
    if (onRoadStep) {
        onRoadStep();
    }
    ++showConfListCalls;
    return showConfListResult;
}

const ST_CONF_ITEM* FakeJoinHandler::FindConfById(std::uint32_t confId) {
    findCalls.push_back(confId);
    for (const ST_CONF_ITEM& item : conferences) {
        if (item.confId == confId) {
            return &item;
        }
    }
    return nullptr;
}

int FakeJoinHandler::EnterConfRoom() {
    ++enterCalls;
    return enterResult;
}

void FakeJoinHandler::LoginChosenCsServer(int serverIndex) {
    if (onRoadStep) {
        onRoadStep();
    }
    chosenServers.push_back(serverIndex);
}

ST_CONF_ITEM MakeConf(std::uint32_t id, const char* gbkName, std::uint16_t online,
                      std::uint16_t capacity) {
    ST_CONF_ITEM item;
    item.confId = id;
    std::strncpy(item.confName, gbkName, sizeof item.confName - 1);
    item.onlineCount = online;
    item.capacity = capacity;
    return item;
}

}  // namespace login_test

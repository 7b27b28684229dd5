#pragma once
// Recording fakes of what the conference road talks to: the data-server component, the
// road's windows and the main frame's conference-server login.

#include <QString>

#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "IDsManager.h"
#include "KroDsManger.h"
#include "conference/JoinConfHander.h"
#include "conference/RoadPorts.h"

namespace road_test {

inline ST_CONF_ITEM MakeConf(uint32_t id, uint8_t passwordFree = 1) {
    ST_CONF_ITEM item;
    item.confId = id;
    std::snprintf(item.confName, sizeof(item.confName), "conf %u", id);
    item.capacity = 10;
    item.passwordFree = passwordFree;
    return item;
}

inline ST_CS_SERVER MakeServer(const char* address, uint16_t port) {
    ST_CS_SERVER server;
    std::snprintf(server.csAddress, sizeof(server.csAddress), "%s", address);
    server.csPort = port;
    return server;
}

// The data-server component; one instance is alive at a time (the road makes its own
// through the factory).
class FakeDsManager : public IDsManager {
public:
    struct ListCall {
        std::string server;
        uint32_t port;
        uint32_t confId;
        std::string name;
        std::string digest;
        uint8_t type;
    };
    struct CsCall {
        uint32_t confId;
        std::string name;
        std::string password;
    };

    // Results of the next GetConfList calls (front first); 0 once they run out.
    std::deque<int32_t> listResults;
    std::vector<ST_CONF_ITEM> full;
    std::vector<ST_CONF_ITEM_SHORT> brief;
    bool answerShort = false;
    uint16_t listExtra = 0;
    std::vector<ListCall> listCalls;

    int32_t csAnswer = 1;
    std::vector<ST_CS_SERVER> servers;
    std::vector<CsCall> csCalls;

    std::vector<std::vector<std::string>> connectCalls;
    int32_t connectResult = 1;
    int32_t connectChosen = 0;
    std::vector<std::string> setServerCalls;

    int32_t ConnectDs(ST_DS_ADDR* entries, int32_t count, int32_t* chosen) override {
        std::vector<std::string> addresses;
        for (int32_t i = 0; i < count; ++i) {
            addresses.emplace_back(entries[i].address);
            lastPorts.push_back(entries[i].port);
        }
        connectCalls.push_back(addresses);
        *chosen = connectChosen;
        return connectResult;
    }
    int32_t GetConfList(const char* server, uint32_t port, uint32_t confId, const char* name,
                        const char* passwordDigest, uint8_t type, int32_t* count, uint16_t* extra,
                        const ST_CONF_ITEM** fullOut, const ST_CONF_ITEM_SHORT** briefOut,
                        int32_t) override {
        listCalls.push_back({server, port, confId, name, passwordDigest, type});
        int32_t result = 0;
        if (!listResults.empty()) {
            result = listResults.front();
            listResults.pop_front();
        }
        *extra = listExtra;
        if (result != 0) {
            return result;
        }
        if (answerShort) {
            *count = static_cast<int32_t>(brief.size());
            *fullOut = nullptr;
            *briefOut = brief.data();
        } else {
            *count = static_cast<int32_t>(full.size());
            *fullOut = full.data();
            *briefOut = nullptr;
        }
        return 0;
    }
    int32_t GetCsServers(const char*, const ST_CS_SERVER** list, int32_t* count, uint32_t confId,
                         const char* name, const char* password, int32_t) override {
        csCalls.push_back({confId, name, password});
        *list = servers.data();
        *count = static_cast<int32_t>(servers.size());
        return csAnswer;
    }
    void SetServer(const char* server, int32_t, int32_t, uint32_t) override {
        setServerCalls.emplace_back(server);
    }
    int32_t QueryMediaServer(const char*, uint32_t, uint32_t, char*, uint16_t*) override {
        return 0;
    }

    std::vector<uint16_t> lastPorts;

    // The instance the road created (null after it was destroyed).
    static FakeDsManager*& Current() {
        static FakeDsManager* current = nullptr;
        return current;
    }
    // What the next instance starts with.
    static std::function<void(FakeDsManager&)>& Setup() {
        static std::function<void(FakeDsManager&)> setup;
        return setup;
    }
    static IDsManager* Create() {
        auto* made = new FakeDsManager;
        if (Setup()) {
            Setup()(*made);
        }
        Current() = made;
        return made;
    }
    static void Destroy(IDsManager* manager) {
        if (Current() == manager) {
            Current() = nullptr;
        }
        delete manager;
    }
};

// The road's windows. Each Run... call runs the script given for it (front first); an empty
// script answers IDOK for the login and the server choice and IDCANCEL-free IDOK for the list.
class FakeWindows : public yav::road::IRoadWindows {
public:
    using Step = std::function<int()>;

    std::deque<Step> loginScript;
    std::deque<Step> listScript;
    std::deque<std::function<int()>> transScript;
    std::deque<std::pair<int, QString>> passwordAnswers;
    std::deque<int> messageAnswers;

    int loginRuns = 0;
    int listRuns = 0;
    int transRuns = 0;
    int passwordAsks = 0;
    std::vector<QString> messages;
    std::vector<int> messageTypes;
    std::vector<std::vector<ST_CONF_ITEM>> listsGiven;
    std::vector<QString> listNames;
    std::vector<std::vector<ST_CS_SERVER>> serversGiven;
    // Open windows (set while their Run... is on the stack and not yet ended).
    bool loginOpen = false;
    bool listOpen = false;
    bool transOpen = false;
    CJoinConfHander* owner = nullptr;
    // Runs when the road destroys its windows (a window's worker finishing its last call).
    std::function<void()> onDestroy;

    ~FakeWindows() override {
        if (onDestroy) {
            onDestroy();
        }
    }

    void SetOwner(CJoinConfHander* handler) override { owner = handler; }
    bool LoginHasWindow() const override { return loginOpen; }
    void EndLogin() override { loginOpen = false; }
    int RunLogin() override {
        ++loginRuns;
        loginOpen = true;
        const int result = Run(loginScript, 1);
        loginOpen = false;
        return result;
    }
    bool ConfListHasWindow() const override { return listOpen; }
    void CancelConfList() override { listOpen = false; }
    void SetConfList(const std::vector<ST_CONF_ITEM>& items, const QString& userName) override {
        listsGiven.push_back(items);
        listNames.push_back(userName);
    }
    int RunConfList() override {
        ++listRuns;
        listOpen = true;
        const int result = Run(listScript, 1);
        listOpen = false;
        return result;
    }
    bool TransSvrHasWindow() const override { return transOpen; }
    void EndTransSvr() override { transOpen = false; }
    int RunTransSvr(const std::vector<ST_CS_SERVER>& servers) override {
        ++transRuns;
        serversGiven.push_back(servers);
        transOpen = true;
        int result = 2;
        if (!transScript.empty()) {
            auto step = transScript.front();
            transScript.pop_front();
            result = step();
        }
        transOpen = false;
        return result;
    }
    int AskChairPassword(QString* password) override {
        ++passwordAsks;
        if (passwordAnswers.empty()) {
            return 2;
        }
        auto [result, typed] = passwordAnswers.front();
        passwordAnswers.pop_front();
        *password = typed;
        return result;
    }
    int ShowMessage(const QString&, const QString& text, int, int type) override {
        messages.push_back(text);
        messageTypes.push_back(type);
        if (messageAnswers.empty()) {
            return 1;
        }
        const int answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    void RememberMonitor() override {}

private:
    static int Run(std::deque<Step>& script, int fallback) {
        if (script.empty()) {
            return fallback;
        }
        Step step = script.front();
        script.pop_front();
        return step();
    }
};

// The room and the start-up window: counts what the road opened and closed.
class FakeRoom : public yav::road::IRoadRoom {
public:
    int roomsCreated = 0;
    int startupClosed = 0;
    bool createRoomResult = true;
    std::vector<QString> roomNames;

    bool CreateRoomWindow(const QString& confName, uint32_t) override {
        if (createRoomResult) {
            ++roomsCreated;
            roomNames.push_back(confName);
        }
        return createRoomResult;
    }
    void CloseStartup() override { ++startupClosed; }
};

class FakeFrame : public yav::road::IConfLogin {
public:
    struct Login {
        QString name;
        QString password;
        uint8_t mode;
    };
    std::vector<Login> loginInfos;
    std::vector<ST_CS_SERVER> serversSet;
    std::vector<uint32_t> loginConfIds;
    std::deque<int> loginResults;
    uint16_t loginExtra = 0;
    int logouts = 0;
    yav::road::UpgradeInfo upgrade;

    void SetLoginInfo(const QString& name, const QString& password, uint8_t mode) override {
        loginInfos.push_back({name, password, mode});
    }
    void SetCsServer(const ST_CS_SERVER& record) override { serversSet.push_back(record); }
    void SetHandOverDigest(const std::string& digest) override { handOver = digest; }
    std::string handOver;
    int LoginCs(uint32_t confId, uint16_t* extra, uint8_t) override {
        loginConfIds.push_back(confId);
        *extra = loginExtra;
        if (loginResults.empty()) {
            return 0;
        }
        const int result = loginResults.front();
        loginResults.pop_front();
        return result;
    }
    void LogoutCs() override { ++logouts; }
    yav::road::UpgradeInfo GetUpgradeInfo() const override { return upgrade; }
};

}  // namespace road_test

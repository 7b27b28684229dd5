#pragma once
// The data-server component: a connection to yavserver's data server on an own I/O thread,
// kept between calls and renewed when a call names another server.

#include <asio.hpp>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "IDsManager.h"
#include "RequestClient.h"

class DsManager final : public IDsManager {
public:
    DsManager();
    ~DsManager() override;

    int32_t ConnectDs(ST_DS_ADDR* entries, int32_t count, int32_t* chosen) override;
    int32_t GetConfList(const char* server, uint32_t port, uint32_t confId, const char* name,
                        const char* passwordDigest, uint8_t type, int32_t* count, uint16_t* extra,
                        const ST_CONF_ITEM** full, const ST_CONF_ITEM_SHORT** brief,
                        int32_t reserved) override;
    int32_t GetCsServers(const char* server, const ST_CS_SERVER** list, int32_t* count,
                         uint32_t confId, const char* name, const char* password,
                         int32_t kind) override;
    void SetServer(const char* server, int32_t reserved1, int32_t reserved2,
                   uint32_t port) override;
    int32_t QueryMediaServer(const char* server, uint32_t port, uint32_t confId, char* address16,
                             uint16_t* mediaPort) override;

    // How long a call waits for the server's answer (10 s); tests shorten it.
    void SetAnswerTimeout(std::chrono::milliseconds timeout) { answerTimeout_ = timeout; }

private:
    // Connected to host:port (reusing the open connection); 0 or the connect error.
    int32_t EnsureConnected(const std::string& host, uint16_t port);

    asio::io_context io_;
    asio::executor_work_guard<asio::io_context::executor_type> work_;
    yav::proto::RequestClient client_;
    std::thread thread_;
    std::mutex callLock_;
    std::string server_;
    uint16_t port_ = 8875;
    std::vector<ST_CONF_ITEM> confList_;
    std::vector<ST_CONF_ITEM_SHORT> briefList_;
    std::vector<ST_CS_SERVER> csServers_;
    std::chrono::milliseconds answerTimeout_{10000};
};

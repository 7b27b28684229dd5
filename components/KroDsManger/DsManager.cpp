#include "DsManager.h"

#include "Messages.h"
#include "platform/core/AltSignalStack.h"
#include "platform/core/Log.h"
#include "platform/core/TextCodec.h"

using namespace yav::proto;

namespace {

constexpr auto kConnectTimeout = std::chrono::seconds(5);
constexpr uint16_t kDefaultPort = 8875;

std::string Name(const char* text) {
    return std::string(yav::text::TruncateGbk(FieldText(text, 256), kMaxNameBytes));
}

}  // namespace

DsManager::DsManager()
    : work_(asio::make_work_guard(io_)), client_(io_, Service::DataServer, "KroDsManger") {
    thread_ = std::thread([this] {
        const yav::AltSignalStack signalStack;
        io_.run();
    });
}

DsManager::~DsManager() {
    client_.Close();
    work_.reset();
    io_.stop();
    if (thread_.joinable()) {
        thread_.join();
    }
}

int32_t DsManager::EnsureConnected(const std::string& host, uint16_t port) {
    if (client_.IsConnected() && client_.Host() == host && client_.Port() == port) {
        return 0;
    }
    server_ = host;
    port_ = port;
    return client_.Connect(host, port, kConnectTimeout);
}

int32_t DsManager::ConnectDs(ST_DS_ADDR* entries, int32_t count, int32_t* chosen) {
    std::lock_guard call(callLock_);
    if (!entries || count <= 0) {
        return 0;
    }
    for (int32_t i = 0; i < count; ++i) {
        const std::string host(FieldText(entries[i].address, sizeof entries[i].address));
        if (host.empty()) {
            continue;
        }
        const uint16_t port = entries[i].port ? entries[i].port : kDefaultPort;
        client_.Close();
        if (EnsureConnected(host, port) == 0) {
            if (chosen) {
                *chosen = i;
            }
            YLOG_INFO("KroDsManger: connected to data server %s:%u", host.c_str(), port);
            return 1;
        }
        YLOG_WARN("KroDsManger: data server %s:%u does not answer", host.c_str(), port);
    }
    return 0;
}

int32_t DsManager::GetConfList(const char* server, uint32_t port, uint32_t confId, const char* name,
                               const char* passwordDigest, uint8_t type, int32_t* count,
                               uint16_t* extra, const ST_CONF_ITEM** full,
                               const ST_CONF_ITEM_SHORT** brief, int32_t) {
    std::lock_guard call(callLock_);
    if (count)
        *count = 0;
    if (extra)
        *extra = 0;
    if (full)
        *full = nullptr;
    if (brief)
        *brief = nullptr;
    const std::string host = server && *server ? std::string(FieldText(server, 64)) : server_;
    const uint16_t target = port > 0 && port <= 0xFFFF ? static_cast<uint16_t>(port) : port_;
    if (EnsureConnected(host, target) != 0) {
        return DS_ERR_CONNECT;
    }
    MsgConfListRequest request;
    request.confId = confId;
    request.name = Name(name);
    request.passwordDigest = FieldText(passwordDigest, kMaxDigestBytes);
    request.type = type;
    auto answer = client_.Call(EncodeFrame(request), MsgType::ConfListResponse, answerTimeout_);
    if (!answer) {
        YLOG_WARN("KroDsManger: no conference list from %s:%u within %lld ms", host.c_str(), target,
                  static_cast<long long>(answerTimeout_.count()));
        return DS_ERR_TIMEOUT;
    }
    auto response = DecodeBody<MsgConfListResponse>(answer->body);
    if (!response) {
        YLOG_WARN("KroDsManger: malformed conference list (%zu bytes) from %s:%u",
                  answer->body.size(), host.c_str(), target);
        client_.Close();
        return DS_ERR_MALFORMED;
    }
    if (extra)
        *extra = response->extra;
    if (response->result != 0) {
        return response->result;
    }
    confList_ = std::move(response->items);
    briefList_.clear();
    if (response->brief) {
        for (const auto& item : confList_) {
            briefList_.push_back(item.ToShort());
        }
        if (brief)
            *brief = briefList_.data();
    } else if (full) {
        *full = confList_.data();
    }
    if (count)
        *count = static_cast<int32_t>(confList_.size());
    return DS_OK;
}

int32_t DsManager::GetCsServers(const char* server, const ST_CS_SERVER** list, int32_t* count,
                                uint32_t confId, const char* name, const char*, int32_t kind) {
    std::lock_guard call(callLock_);
    if (list)
        *list = nullptr;
    if (count)
        *count = 0;
    const std::string host = server && *server ? std::string(FieldText(server, 64)) : server_;
    if (EnsureConnected(host, port_) != 0) {
        return 0;
    }
    MsgCsServersRequest request;
    request.confId = confId;
    request.name = Name(name);
    request.kind = kind;
    auto answer = client_.Call(EncodeFrame(request), MsgType::CsServersResponse, answerTimeout_);
    if (!answer) {
        return 0;
    }
    auto response = DecodeBody<MsgCsServersResponse>(answer->body);
    if (!response) {
        YLOG_WARN("KroDsManger: malformed server list");
        client_.Close();
        return 0;
    }
    if (response->result != 0) {
        YLOG_INFO("KroDsManger: no conference servers for %u (0x%x)", confId,
                  static_cast<unsigned>(response->result));
    }
    csServers_ = std::move(response->servers);
    if (list)
        *list = csServers_.empty() ? nullptr : csServers_.data();
    if (count)
        *count = static_cast<int32_t>(csServers_.size());
    return 1;
}

void DsManager::SetServer(const char* server, int32_t, int32_t, uint32_t port) {
    std::lock_guard call(callLock_);
    server_ = FieldText(server, 64);
    port_ = port > 0 && port <= 0xFFFF ? static_cast<uint16_t>(port) : kDefaultPort;
}

int32_t DsManager::QueryMediaServer(const char* server, uint32_t port, uint32_t confId,
                                    char* address16, uint16_t* mediaPort) {
    std::lock_guard call(callLock_);
    const std::string host = server && *server ? std::string(FieldText(server, 64)) : server_;
    const uint16_t target = port > 0 && port <= 0xFFFF ? static_cast<uint16_t>(port) : port_;
    if (EnsureConnected(host, target) != 0) {
        return 0;
    }
    MsgMediaServerRequest request;
    request.confId = confId;
    auto answer = client_.Call(EncodeFrame(request), MsgType::MediaServerResponse, answerTimeout_);
    if (!answer) {
        return 0;
    }
    auto response = DecodeBody<MsgMediaServerResponse>(answer->body);
    if (!response || response->result != 0) {
        return 0;
    }
    if (address16)
        CopyText(address16, 16, response->address);
    if (mediaPort)
        *mediaPort = response->port;
    return 1;
}

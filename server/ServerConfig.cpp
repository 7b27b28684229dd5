#include "ServerConfig.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <utility>

#include "platform/core/Log.h"
#include "platform/core/Profile.h"
#include "platform/core/TextCodec.h"

namespace yav::server {
namespace {

constexpr size_t kValueLimit = 1024;

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, ',')) {
        const auto first = part.find_first_not_of(" \t");
        const auto last = part.find_last_not_of(" \t");
        if (first != std::string::npos) {
            parts.push_back(part.substr(first, last - first + 1));
        }
    }
    return parts;
}

bool StartsWithIgnoreCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

template <class Int>
Int ReadInt(const std::string& section, const char* key, Int fallback, const std::string& path) {
    const int value = profile::GetInt(section, key, static_cast<int>(fallback), path);
    if (value < 0) {
        return fallback;
    }
    return static_cast<Int>(value);
}

}  // namespace

std::string Account::Digest() const {
    return passwordDigest.empty() ? PasswordDigest(password) : passwordDigest;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

bool DigestMatches(const std::string& given, const std::string& expected) {
    return !given.empty() && EqualsIgnoreCase(given, expected);
}

namespace {

bool ContainsLogin(const std::vector<std::string>& logins, const std::string& login) {
    return std::any_of(logins.begin(), logins.end(),
                       [&](const std::string& entry) { return EqualsIgnoreCase(entry, login); });
}

}  // namespace

bool ConferenceConfig::Lists(const std::string& login) const {
    return members.empty() || ContainsLogin(members, login) || ContainsLogin(chairs, login);
}

bool ConferenceConfig::IsChairAccount(const std::string& login) const {
    return ContainsLogin(chairs, login);
}

const Account* ServerConfig::FindAccount(const std::string& login) const {
    for (const auto& account : accounts) {
        if (EqualsIgnoreCase(account.login, login)) {
            return &account;
        }
    }
    return nullptr;
}

Account* ServerConfig::FindAccount(const std::string& login) {
    return const_cast<Account*>(std::as_const(*this).FindAccount(login));
}

const ConferenceConfig* ServerConfig::FindConference(uint32_t confId) const {
    for (const auto& conference : conferences) {
        if (conference.confId == confId) {
            return &conference;
        }
    }
    return nullptr;
}

std::string ServerConfig::AnnouncedAddress() const {
    if (!announceAddress.empty()) {
        return announceAddress;
    }
    if (bindAddress == "0.0.0.0" || bindAddress.empty()) {
        return "127.0.0.1";
    }
    return bindAddress;
}

std::vector<Department> ParentsFirst(std::vector<Department> departments) {
    std::vector<Department> ordered;
    std::set<uint32_t> placed;
    // Each round places the departments whose parent is placed; what never gets placed (an
    // unknown parent, a cycle, a second department of one id) is left out.
    for (bool progress = true; progress;) {
        progress = false;
        for (auto it = departments.begin(); it != departments.end();) {
            const bool top = it->parentId < 0;
            if (placed.count(it->id) != 0) {
                YLOG_WARN("server INI: department %u given twice", it->id);
                it = departments.erase(it);
            } else if (top || placed.count(static_cast<uint32_t>(it->parentId)) != 0) {
                placed.insert(it->id);
                ordered.push_back(*it);
                it = departments.erase(it);
                progress = true;
            } else {
                ++it;
            }
        }
    }
    for (const Department& left : departments) {
        YLOG_WARN("server INI: department %u has no parent %d", left.id, left.parentId);
    }
    return ordered;
}

ServerConfig DemoConfig() {
    ServerConfig config;
    const auto account = [](const char* login, const char* displayName, uint32_t id,
                            uint32_t department) {
        Account entry;
        entry.login = login;
        entry.password = login;
        entry.displayName = displayName;
        entry.accountId = id;
        entry.departmentId = department;
        return entry;
    };
    config.accounts = {account("demo", "Demo Chair", 1001, 1), account("alice", "Alice", 1002, 3),
                       account("bob", "Bob", 1003, 2)};
    config.departments = {{1, -1, 0, "Head office"},
                          {2, -1, 0, "Sales"},
                          {3, 1, 0, "Research (north)"},
                          {4, 3, 0, "Video team"}};
    ConferenceConfig demo;
    demo.confId = 900001;
    demo.name = "Demo";
    demo.chairPassword = "chair";
    demo.chairs = {"demo"};
    demo.appFlags24 = 0x20;  // the chair's sound effects
    demo.speakingMode = 0;
    demo.speakOnEntry = true;
    demo.broadcastOnEntry = true;
    config.conferences.push_back(demo);
    return config;
}

std::optional<ServerConfig> LoadConfig(const std::string& iniPath) {
    if (!std::filesystem::exists(iniPath)) {
        YLOG_ERROR("server INI %s does not exist", iniPath.c_str());
        return std::nullopt;
    }
    ServerConfig config;
    config.iniPath = iniPath;
    const std::string server = "server";
    config.bindAddress =
        profile::GetString(server, "BindAddress", "127.0.0.1", kValueLimit, iniPath);
    config.announceAddress =
        profile::GetString(server, "AnnounceAddress", "", kValueLimit, iniPath);
    config.dataPort = ReadInt<uint16_t>(server, "DataPort", 8875, iniPath);
    config.conferencePort = ReadInt<uint16_t>(server, "ConferencePort", 8876, iniPath);
    config.probePort = ReadInt<uint16_t>(server, "ProbePort", 8000, iniPath);
    config.mediaPort = ReadInt<uint16_t>(server, "MediaPort", 8877, iniPath);
    config.announceMediaPort = ReadInt<uint16_t>(server, "AnnounceMediaPort", 0, iniPath);
    config.relayQueuePackets = ReadInt<uint32_t>(server, "RelayQueuePackets", 256, iniPath);
    config.heartbeat =
        std::chrono::milliseconds(ReadInt<uint32_t>(server, "HeartbeatMs", 5000, iniPath));
    config.timeout =
        std::chrono::milliseconds(ReadInt<uint32_t>(server, "TimeoutMs", 15000, iniPath));
    config.helloTimeout =
        std::chrono::milliseconds(ReadInt<uint32_t>(server, "HelloTimeoutMs", 10000, iniPath));
    config.maxPendingConnections = ReadInt<uint32_t>(server, "MaxPendingConnections", 256, iniPath);
    config.maxPendingPerAddress = ReadInt<uint32_t>(server, "MaxPendingPerAddress", 32, iniPath);
    config.briefList = profile::GetInt(server, "BriefList", 0, iniPath) != 0;
    config.minClientVersion = ReadInt<uint16_t>(server, "MinClientVersion", 0, iniPath);
    config.serverVersion = profile::GetString(server, "ServerVersion", "", kValueLimit, iniPath);
    config.downloadUrl = profile::GetString(server, "DownloadUrl", "", kValueLimit, iniPath);
    config.zipMd5 = profile::GetString(server, "ZipMd5", "", kValueLimit, iniPath);

    uint32_t nextAccountId = 1001;
    for (const auto& section : profile::GetSectionNames(iniPath)) {
        if (StartsWithIgnoreCase(section, "account.")) {
            Account account;
            account.login = section.substr(8);
            account.password = profile::GetString(section, "Password", "", kValueLimit, iniPath);
            account.passwordDigest =
                profile::GetString(section, "PasswordMd5", "", kValueLimit, iniPath);
            account.displayName =
                profile::GetString(section, "Name", account.login, kValueLimit, iniPath);
            account.accountId = ReadInt<uint32_t>(section, "AccountId", nextAccountId, iniPath);
            account.departmentId = ReadInt<uint32_t>(section, "Department", 1, iniPath);
            nextAccountId = std::max(nextAccountId, account.accountId) + 1;
            if (!account.login.empty()) {
                config.accounts.push_back(account);
            }
        } else if (StartsWithIgnoreCase(section, "conference.")) {
            ConferenceConfig conference;
            conference.confId =
                static_cast<uint32_t>(std::strtoul(section.substr(11).c_str(), nullptr, 10));
            if (conference.confId == 0) {
                YLOG_WARN("server INI: section [%s] has no conference number", section.c_str());
                continue;
            }
            const auto text = [&](const char* key, const std::string& fallback) {
                return profile::GetString(section, key, fallback, kValueLimit, iniPath);
            };
            conference.name = text("Name", section.substr(11));
            conference.password = text("Password", "");
            conference.chairPassword = text("ChairPassword", "");
            conference.chairs = SplitList(text("Chairs", ""));
            conference.members = SplitList(text("Members", ""));
            conference.allowGuests = profile::GetInt(section, "AllowGuests", 1, iniPath) != 0;
            conference.maxUsers = ReadInt<uint16_t>(section, "MaxUsers", 0, iniPath);
            conference.speakerLimit = ReadInt<uint16_t>(section, "SpeakerLimit", 4, iniPath);
            conference.speakingMode =
                profile::GetInt(section, "SpeakingMode", 0, iniPath) != 0 ? 1 : 0;
            conference.speakOnEntry = profile::GetInt(section, "SpeakOnEntry", 0, iniPath) != 0;
            conference.broadcastOnEntry =
                profile::GetInt(section, "BroadcastOnEntry", 0, iniPath) != 0;
            // Minutes for people; seconds (when given) for tests.
            const auto seconds = [&](const char* minutesKey, const char* secondsKey,
                                     uint32_t fallbackMinutes) {
                const uint32_t minutes =
                    ReadInt<uint32_t>(section, minutesKey, fallbackMinutes, iniPath);
                return std::chrono::seconds(
                    ReadInt<uint32_t>(section, secondsKey, minutes * 60, iniPath));
            };
            conference.duration = seconds("DurationMinutes", "DurationSeconds", 0);
            conference.quota = seconds("QuotaMinutes", "QuotaSeconds", 0);
            conference.quotaWarn = seconds("QuotaWarnMinutes", "QuotaWarnSeconds", 5);
            conference.allowServerRecord =
                profile::GetInt(section, "AllowServerRecord", 1, iniPath) != 0;
            conference.maxOpenDocs = ReadInt<uint16_t>(section, "MaxOpenDocs", 5, iniPath);
            conference.maxWhiteboardPages =
                ReadInt<uint16_t>(section, "MaxWhiteboardPages", 40, iniPath);
            conference.appFlags22 = ReadInt<uint8_t>(section, "AppFlags22", 0x80, iniPath);
            conference.appFlags23 = ReadInt<uint8_t>(section, "AppFlags23", 0x03, iniPath);
            conference.appFlags24 = ReadInt<uint8_t>(section, "AppFlags24", 0x00, iniPath);
            conference.appFlags25 = ReadInt<uint8_t>(section, "AppFlags25", 0x00, iniPath);
            conference.panelsHidden = ReadInt<uint8_t>(section, "PanelsHidden", 0, iniPath);
            conference.layoutCode = ReadInt<uint8_t>(section, "LayoutCode", 13, iniPath);
            config.conferences.push_back(conference);
        } else if (StartsWithIgnoreCase(section, "department.")) {
            Department department;
            department.id =
                static_cast<uint32_t>(std::strtoul(section.substr(11).c_str(), nullptr, 10));
            if (department.id == 0) {
                YLOG_WARN("server INI: section [%s] has no department number", section.c_str());
                continue;
            }
            department.parentId = profile::GetInt(section, "Parent", -1, iniPath);
            department.value = ReadInt<uint32_t>(section, "Value", 0, iniPath);
            department.name =
                profile::GetString(section, "Name", section.substr(11), kValueLimit, iniPath);
            config.departments.push_back(department);
        }
    }
    config.departments = ParentsFirst(std::move(config.departments));
    if (config.conferences.empty()) {
        YLOG_ERROR("server INI %s names no conference", iniPath.c_str());
        return std::nullopt;
    }
    return config;
}

std::string PasswordDigest(const std::string& utf8Password) {
    const std::string gbk = text::Utf8ToGbk(utf8Password);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(gbk.data(), gbk.size(), digest, &length, EVP_md5(), nullptr);
    std::string hex;
    char pair[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", digest[i]);
        hex += pair;
    }
    return hex;
}

}  // namespace yav::server

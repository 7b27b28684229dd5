#pragma once
// What yavserver serves: its ports and timings, the accounts, and the conferences with their
// passwords, chairs and limits. Read from an INI file, or the built-in demo conference when
// there is none.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace yav::server {

struct Account {
    std::string login;           // UTF-8, compared without regard to ASCII case
    std::string password;        // UTF-8 plain text (digested as GBK for comparison)
    std::string displayName;     // UTF-8
    std::string passwordDigest;  // set by a password change; replaces password when not empty
    uint32_t accountId = 0;
    uint32_t departmentId = 0;

    // The MD5 hex text a client sends for this account's password.
    std::string Digest() const;
};

// A department of the participant tree; accounts name theirs by id.
struct Department {
    uint32_t id = 0;
    int32_t parentId = -1;  // -1: top level
    uint32_t value = 0;     // carried to the clients, not interpreted
    std::string name;       // UTF-8
};

struct ConferenceConfig {
    uint32_t confId = 0;
    std::string name;                  // UTF-8
    std::string password;              // conference password; empty = none
    std::string chairPassword;         // for ICsManager::ApplyChair; empty = nobody may apply
    std::vector<std::string> chairs;   // accounts entering as chair
    std::vector<std::string> members;  // accounts listed for the conference; empty = all
    bool allowGuests = true;
    uint16_t maxUsers = 0;  // 0 = no limit
    uint16_t speakerLimit = 4;
    // The conference mode byte the clients show as the speaking mode: 0 open discussion,
    // 1 moderated; a chair changes it in the room.
    uint8_t speakingMode = 0;
    // While the room is in open discussion: a newcomer is given the floor at once (while
    // fewer than speakerLimit speak), and its first camera channel is broadcast as soon as its
    // options report one (while fewer than speakerLimit channels are broadcast).
    bool speakOnEntry = false;
    bool broadcastOnEntry = false;
    std::chrono::seconds duration{0};     // duration notice period; 0 = none
    std::chrono::seconds quota{0};        // total time the conference may run; 0 = unlimited
    std::chrono::seconds quotaWarn{300};  // warn when this much quota is left
    bool allowServerRecord = true;
    uint16_t maxOpenDocs = 5;
    uint16_t maxWhiteboardPages = 40;
    uint8_t appFlags22 = 0x80;
    uint8_t appFlags23 = 0x03;
    uint8_t appFlags24 = 0x00;
    uint8_t appFlags25 = 0x00;
    // The room opens with its panels hidden (full screen).
    uint8_t panelsHidden = 0;
    // The layout the room's videos start in, as the layout travels: 0 one window, 16 picture
    // in picture, 1 four, 8 nine, 9 sixteen windows, any other value arranged by their count.
    uint8_t layoutCode = 13;

    // True when the account may enter: listed as member or chair, or no member list at all.
    bool Lists(const std::string& login) const;
    // True when the account enters as chair.
    bool IsChairAccount(const std::string& login) const;
};

struct ServerConfig {
    std::string bindAddress = "127.0.0.1";
    std::string announceAddress;  // in the CS server records; empty = the bind address
    uint16_t dataPort = 8875;
    uint16_t conferencePort = 8876;
    uint16_t probePort = 8000;
    uint16_t mediaPort = 8877;  // the media relay, UDP and TCP
    // The media port the CS server records announce (a port forwarded to the relay's, say);
    // 0 = the relay's own.
    uint16_t announceMediaPort = 0;
    // Packets the relay holds for one receiver; more are dropped (and counted).
    size_t relayQueuePackets = 256;
    std::chrono::milliseconds heartbeat{5000};
    std::chrono::milliseconds timeout{15000};
    // A connection that has not completed its hello by then is closed.
    std::chrono::milliseconds helloTimeout{10000};
    // Connections not logged in (each service counts its own; a data-server connection never
    // logs in), in total and from one source address.
    size_t maxPendingConnections = 256;
    size_t maxPendingPerAddress = 32;
    bool briefList = false;  // answer conference lists in the 75-byte form
    uint16_t minClientVersion = 0;
    std::string serverVersion;  // upgrade query answer; empty = the client's own version
    std::string downloadUrl;
    std::string zipMd5;
    std::string iniPath;  // where accounts are written back; empty = nowhere
    std::vector<Account> accounts;
    std::vector<ConferenceConfig> conferences;
    // Served with every login snapshot, parents before their children.
    std::vector<Department> departments;

    const Account* FindAccount(const std::string& login) const;
    Account* FindAccount(const std::string& login);
    const ConferenceConfig* FindConference(uint32_t confId) const;
    // The address the CS server records announce.
    std::string AnnouncedAddress() const;
};

// The built-in configuration: conference 900001 "Demo" open to guests, accounts demo
// (chair), alice and bob, each with its name as password, in nested departments. An open
// discussion where everybody speaks and is seen on entry, so two clients meet at once.
ServerConfig DemoConfig();

// The departments with every parent before its children; those whose parent never comes
// (unknown, or a cycle) and repeated ids are left out with a log line.
std::vector<Department> ParentsFirst(std::vector<Department> departments);

// Reads the INI file; nothing (with a log line) when it cannot be read or names no
// conference.
std::optional<ServerConfig> LoadConfig(const std::string& iniPath);

// Lowercase MD5 hex of the GBK form of a UTF-8 text, as the client digests passwords.
std::string PasswordDigest(const std::string& utf8Password);

bool EqualsIgnoreCase(const std::string& a, const std::string& b);

// A password digest a client sent against the expected one (hex, any case); an empty digest
// never matches.
bool DigestMatches(const std::string& given, const std::string& expected);

}  // namespace yav::server

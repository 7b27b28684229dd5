#pragma once
// The updater's work: read and check the description file the client wrote
// ("Update/upgrade.ini", section "upgradeinfo"), fetch the offered package when a download
// address is given, and accept it only when its MD5 digest is the announced one.

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace kroupd {

struct UpgradeServer {
    std::string address;
    int port = 0;
    int filePassword = 0;
    std::string guid;
};

struct UpgradeDescription {
    bool offline = false;
    std::string version;
    std::string localFile;
    std::string zipMd5;
    std::string downloadUrl;
    std::vector<UpgradeServer> servers;
};

struct ReadResult {
    UpgradeDescription description;
    // Empty when the file is sound; else one line per fault found.
    std::vector<std::string> problems;
    bool ok() const { return problems.empty(); }
};

ReadResult ReadUpgradeDescription(const std::string& iniPath);

// The package at an http or https address, or nothing when it cannot be had within the
// time limit (no server, refused, an HTTP error, or more than maxBytes).
std::optional<QByteArray> FetchPackage(const QString& url, int timeoutMs, qint64 maxBytes);

// True when the package's lower-case MD5 hex digest equals the announced one (any case).
bool PackageMatches(const QByteArray& package, const std::string& announcedMd5);

// Writes the package to path through a temporary file; false when it cannot be written.
bool StorePackage(const QByteArray& package, const std::string& path);

enum class Outcome {
    NoPackage = 0,         // nothing is offered: the installed version stays
    Verified = 1,          // a package came and its digest matches; stored at localfile
    Invalid = 2,           // the description file is missing or faulty
    ChecksumMismatch = 3,  // a package came with another digest: discarded
};

struct RunResult {
    Outcome outcome = Outcome::NoPackage;
    std::vector<std::string> lines;  // what the updater reports
};

// The whole run for one description file.
RunResult Run(const std::string& iniPath, int timeoutMs);

}  // namespace kroupd

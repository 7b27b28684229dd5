#include "UpgradeCheck.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/core/Paths.h"
#include "platform/core/Profile.h"

namespace kroupd {

namespace {

constexpr const char* kSection = "upgradeinfo";
constexpr int kMaxServers = 64;
constexpr qint64 kMaxPackageBytes = 512LL * 1024 * 1024;

bool IsHex(const std::string& text, size_t length) {
    return text.size() == length && std::all_of(text.begin(), text.end(), [](unsigned char c) {
               return std::isxdigit(c) != 0;
           });
}

bool IsDottedIpv4(const std::string& text) {
    QHostAddress address;
    return address.setAddress(QString::fromStdString(text)) &&
           address.protocol() == QAbstractSocket::IPv4Protocol &&
           std::count(text.begin(), text.end(), '.') == 3;
}

bool IsGuidText(const std::string& text) {
    if (text.size() != 36) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != '-' : std::isxdigit(static_cast<unsigned char>(text[i])) == 0) {
            return false;
        }
    }
    return true;
}

// An integer value that is present and made only of digits (with an optional minus).
std::optional<long long> StrictInt(const std::string& text) {
    if (text.empty() || text.size() > 18) {
        return std::nullopt;
    }
    size_t start = text[0] == '-' ? 1 : 0;
    if (start == text.size() ||
        !std::all_of(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    return std::stoll(text);
}

std::string Get(const std::string& key, const std::string& path) {
    return yav::profile::GetString(kSection, key, "", 2048, path);
}

bool IsHttpUrl(const std::string& text) {
    const QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    return url.isValid() && (url.scheme() == "http" || url.scheme() == "https") &&
           !url.host().isEmpty();
}

}  // namespace

ReadResult ReadUpgradeDescription(const std::string& iniPath) {
    ReadResult result;
    auto& d = result.description;
    auto& problems = result.problems;
    if (!yav::paths::Exists(iniPath)) {
        problems.push_back("description file missing: " + iniPath);
        return result;
    }
    const std::string offline = Get("offline", iniPath);
    if (offline != "0" && offline != "1") {
        problems.push_back("offline must be 0 or 1, is \"" + offline + "\"");
    }
    d.offline = offline == "1";
    d.version = Get("version", iniPath);
    if (d.version.empty()) {
        problems.push_back("version is empty");
    }
    d.localFile = Get("localfile", iniPath);
    if (d.localFile.empty() || !yav::paths::IsAbsolute(d.localFile)) {
        problems.push_back("localfile must be an absolute path, is \"" + d.localFile + "\"");
    }
    d.zipMd5 = Get("zipmd5", iniPath);
    if (!IsHex(d.zipMd5, 32)) {
        problems.push_back("zipmd5 must be 32 hexadecimal digits, is \"" + d.zipMd5 + "\"");
    }
    d.downloadUrl = Get("downloadUrl", iniPath);
    if (!d.downloadUrl.empty() && !IsHttpUrl(d.downloadUrl)) {
        problems.push_back("downloadUrl must be an http or https address, is \"" + d.downloadUrl +
                           "\"");
    }
    const auto count = StrictInt(Get("serverCount", iniPath));
    if (!count || *count < 0 || *count > kMaxServers) {
        problems.push_back("serverCount must be a number from 0 to " + std::to_string(kMaxServers));
        return result;
    }
    for (long long n = 1; n <= *count; ++n) {
        const std::string prefix = "server" + std::to_string(n);
        UpgradeServer server;
        server.address = Get(prefix + "ip", iniPath);
        if (!IsDottedIpv4(server.address)) {
            problems.push_back(prefix + "ip is not a dotted IPv4 address");
        }
        const auto port = StrictInt(Get(prefix + "port", iniPath));
        if (!port || *port < 1 || *port > 65535) {
            problems.push_back(prefix + "port is not a port number");
        } else {
            server.port = static_cast<int>(*port);
        }
        const auto password = StrictInt(Get(prefix + "filepw", iniPath));
        if (!password || *password < INT32_MIN || *password > INT32_MAX) {
            problems.push_back(prefix + "filepw is not a number");
        } else {
            server.filePassword = static_cast<int>(*password);
        }
        server.guid = Get(prefix + "guid", iniPath);
        if (!IsGuidText(server.guid)) {
            problems.push_back(prefix + "guid is not a GUID");
        }
        d.servers.push_back(server);
    }
    return result;
}

std::optional<QByteArray> FetchPackage(const QString& url, int timeoutMs, qint64 maxBytes) {
    QNetworkAccessManager network;
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = network.get(request);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool tooLarge = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [&](qint64 received, qint64) {
        if (received > maxBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    timer.start(timeoutMs);
    loop.exec();
    std::optional<QByteArray> package;
    if (reply->isFinished() && reply->error() == QNetworkReply::NoError && !tooLarge) {
        package = reply->readAll();
    } else {
        reply->abort();
    }
    reply->deleteLater();
    return package;
}

bool PackageMatches(const QByteArray& package, const std::string& announcedMd5) {
    const std::string digest =
        QCryptographicHash::hash(package, QCryptographicHash::Md5).toHex().toStdString();
    std::string announced = announcedMd5;
    std::transform(announced.begin(), announced.end(), announced.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return IsHex(announced, 32) && digest == announced;
}

bool StorePackage(const QByteArray& package, const std::string& path) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(package);
    return file.commit();
}

RunResult Run(const std::string& iniPath, int timeoutMs) {
    RunResult run;
    const ReadResult read = ReadUpgradeDescription(iniPath);
    if (!read.ok()) {
        run.outcome = Outcome::Invalid;
        run.lines.push_back("KroUpd: the description file is not usable:");
        for (const std::string& problem : read.problems) {
            run.lines.push_back("  " + problem);
        }
        return run;
    }
    const UpgradeDescription& d = read.description;
    run.lines.push_back("KroUpd: version " + d.version + " offered, " +
                        std::to_string(d.servers.size()) + " upgrade server(s) listed");
    if (d.offline || d.downloadUrl.empty()) {
        run.lines.push_back("KroUpd: no update package is available");
        return run;
    }
    const auto package =
        FetchPackage(QString::fromStdString(d.downloadUrl), timeoutMs, kMaxPackageBytes);
    if (!package) {
        run.lines.push_back("KroUpd: no update package is available at " + d.downloadUrl);
        return run;
    }
    if (!PackageMatches(*package, d.zipMd5)) {
        run.outcome = Outcome::ChecksumMismatch;
        run.lines.push_back("KroUpd: the package's MD5 digest is not " + d.zipMd5 +
                            "; it was discarded and nothing was run");
        return run;
    }
    if (!StorePackage(*package, d.localFile)) {
        run.outcome = Outcome::NoPackage;
        run.lines.push_back("KroUpd: the verified package could not be stored at " + d.localFile);
        return run;
    }
    run.outcome = Outcome::Verified;
    run.lines.push_back("KroUpd: package verified and stored at " + d.localFile);
    return run;
}

}  // namespace kroupd

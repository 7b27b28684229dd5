#include "NetSetSettings.h"

#include <cstdlib>

#include "platform/core/Profile.h"

namespace {

constexpr const char* kSection = "login";
// Addresses arrive through 256-character buffers, the server type through a 10-character one.
constexpr size_t kAddressReadChars = 256;
constexpr size_t kServerTypeReadChars = 10;

QString Read(const char* key, size_t limit, const std::string& path) {
    return QString::fromStdString(yav::profile::GetString(kSection, key, "", limit, path))
        .trimmed();
}

}  // namespace

NetSetSettings NetSetSettings::Load(const QString& clientIniPath) {
    const std::string path = clientIniPath.toStdString();
    NetSetSettings settings;
    settings.server1 = Read("server1", kAddressReadChars, path);
    settings.server2 = Read("server2", kAddressReadChars, path);
    settings.server3 = Read("server3", kAddressReadChars, path);
    const std::string type =
        yav::profile::GetString(kSection, "ServerType", "0", kServerTypeReadChars, path);
    // The value is parsed as the leading decimal digits, like the other profile integers.
    settings.serverType = std::atoi(type.c_str()) != 0 ? 1 : 0;
    settings.serverSelf = Read("serverself", kAddressReadChars, path);
    return settings;
}

void NetSetSettings::SaveList(const QString& clientIniPath) const {
    const std::string path = clientIniPath.toStdString();
    yav::profile::WriteString(kSection, "server1", server1.trimmed().toStdString(), path);
    yav::profile::WriteString(kSection, "server2", server2.trimmed().toStdString(), path);
    yav::profile::WriteString(kSection, "server3", server3.trimmed().toStdString(), path);
}

void NetSetSettings::SaveServerType(const QString& clientIniPath) const {
    const std::string path = clientIniPath.toStdString();
    if (serverType != 1) {
        yav::profile::WriteString(kSection, "ServerType", "0", path);
        return;
    }
    yav::profile::WriteString(kSection, "ServerType", "1", path);
    yav::profile::WriteString(kSection, "serverself", serverSelf.trimmed().toStdString(), path);
}

void NetSetSettings::SaveSingleCapture(bool singleCapture, const QString& clientIniPath) {
    yav::profile::WriteString("appinfo", "bVideoCapMode", singleCapture ? "1" : "0",
                              clientIniPath.toStdString());
}

QString NetSetSettings::ComposeServerList(const QString& server1, const QString& server2,
                                          const QString& server3) {
    QString list = server1.trimmed();
    for (const QString& server : {server2.trimmed(), server3.trimmed()}) {
        if (!server.isEmpty()) {
            list = QStringLiteral("%1;%2").arg(list, server);
        }
    }
    return list;
}

QString NetSetSettings::ServerList() const {
    if (serverType == 1) {
        return serverSelf.trimmed();
    }
    return ComposeServerList(server1, server2, server3);
}

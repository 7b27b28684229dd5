#include "UpgradeFile.h"

#include <QDir>
#include <QString>

#include <cstdio>

#include "Common/Guid.h"
#include "platform/core/Profile.h"
#include "platform/core/TextCodec.h"

namespace yav::road {

namespace {

constexpr const char* kSection = "upgradeinfo";

std::string FieldText(const char* field, size_t size) {
    return yav::text::GbkToUtf8(std::string_view(field, strnlen(field, size)));
}

// The GUID as the record stores it (Windows byte order: three little-endian numbers, then
// eight bytes).
GUID GuidFromBytes(const KroGuid& bytes) {
    GUID guid;
    guid.Data1 = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                 static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    guid.Data2 = static_cast<uint16_t>(bytes[4] | bytes[5] << 8);
    guid.Data3 = static_cast<uint16_t>(bytes[6] | bytes[7] << 8);
    for (size_t i = 0; i < 8; ++i) {
        guid.Data4[i] = bytes[8 + i];
    }
    return guid;
}

}  // namespace

bool WriteUpgradeFile(const UpgradeInfo& info, const std::string& updateDir) {
    QDir().mkpath(QString::fromStdString(updateDir));
    const std::string path = updateDir + "upgrade.ini";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);

    using yav::profile::WriteString;
    bool ok = WriteString(kSection, "offline", "0", path);
    ok = WriteString(kSection, "version", yav::text::GbkToUtf8(info.serverVersion), path) && ok;
    ok = WriteString(kSection, "localfile", updateDir + "upgrade.zip", path) && ok;
    ok = WriteString(kSection, "zipmd5", yav::text::GbkToUtf8(info.zipMd5), path) && ok;
    ok = WriteString(kSection, "downloadUrl", yav::text::GbkToUtf8(info.downloadUrl), path) && ok;
    ok = WriteString(kSection, "serverCount", std::to_string(info.servers.size()), path) && ok;
    int n = 1;
    for (const ST_UPGRADE_SERVER& server : info.servers) {
        const std::string prefix = "server" + std::to_string(n);
        ok = WriteString(kSection, prefix + "ip", FieldText(server.address, sizeof(server.address)),
                         path) &&
             ok;
        ok = WriteString(kSection, prefix + "port", std::to_string(server.port), path) && ok;
        ok = WriteString(kSection, prefix + "filepw", std::to_string(server.filePassword), path) &&
             ok;
        ok = WriteString(kSection, prefix + "guid",
                         GuidToString(GuidFromBytes(server.guid)).toStdString(), path) &&
             ok;
        ++n;
    }
    return ok;
}

}  // namespace yav::road

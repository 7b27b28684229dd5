#include "dialogs/login/LoginRecords.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(LoginRecords, ConferenceNameStopsAtTheTerminatorOrTheFieldEnd) {
    ST_CONF_ITEM item;
    std::memcpy(item.confName, "\xBB\xE1\xD2\xE9 A\0junk", 10);
    EXPECT_EQ(login_records::ConfName(item), QStringLiteral("会议 A"));

    std::memset(item.confName, 'x', sizeof item.confName);  // no terminator at all
    EXPECT_EQ(login_records::ConfName(item), QString(64, QLatin1Char('x')));

    // A double-byte character cut by the field's end shows as one replacement.
    std::memset(item.confName, 'y', sizeof item.confName);
    item.confName[63] = '\xBB';
    EXPECT_EQ(login_records::ConfName(item), QString(63, QLatin1Char('y')) + QLatin1Char('?'));
}

TEST(LoginRecords, ServerRowsShowNameAddressAndPort) {
    ST_CS_SERVER server;
    std::strcpy(server.csAddress, "10.0.0.7");
    server.csPort = 8866;
    std::strcpy(server.serverName, "\xB1\xB1\xBE\xA9");  // 北京
    login_records::CsServerColumns row = login_records::CsServerRow(server);
    EXPECT_EQ(row.name, QStringLiteral("北京"));
    EXPECT_EQ(row.address, QStringLiteral("10.0.0.7"));
    EXPECT_EQ(row.port, QStringLiteral("8866"));

    server.serverName[0] = '\0';
    row = login_records::CsServerRow(server);
    EXPECT_EQ(row.name, QStringLiteral("10.0.0.7")) << "a nameless server shows its address";
}

}  // namespace

// Fixed records: exact sizes, field offsets on the wire, round trips and refusal of any
// other length.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "RecordCodec.h"
#include "ST_CONF_APPINFO.h"
#include "ST_CONF_EXTRA.h"
#include "ST_CONF_ITEM.h"
#include "ST_CONF_LOGIN_INFO.h"
#include "ST_CS_SERVER.h"
#include "ST_DS_ADDR.h"
#include "ST_ROLLCALL_ITEM.h"
#include "ST_UPGRADE_SERVER.h"
#include "ST_USER_ITEM_DEPT.h"

namespace {

using yav::proto::Bytes;
using yav::proto::DecodeRecord;
using yav::proto::EncodeRecord;
using yav::proto::LoadU16;
using yav::proto::LoadU32;

// Bytes whose value is different at every offset, so a field read from a wrong offset
// shows up in the re-encoded bytes.
Bytes Pattern(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    return bytes;
}

template <class Record>
class RecordTest : public ::testing::Test {};

using AllRecords =
    ::testing::Types<ST_USER_PRIVATEDATA, ST_USER_ITEM_DEPT, ST_CONF_LOGIN_INFO, ST_CONF_APPINFO,
                     ST_CONF_EXTRA, ST_DS_ADDR, ST_CONF_ITEM, ST_CONF_ITEM_SHORT, ST_CS_SERVER,
                     ST_ROLLCALL_ITEM, ST_UPGRADE_SERVER>;
TYPED_TEST_SUITE(RecordTest, AllRecords);

TYPED_TEST(RecordTest, DefaultRecordEncodesToItsSize) {
    EXPECT_EQ(EncodeRecord(TypeParam{}).size(), TypeParam::kSize);
}

TYPED_TEST(RecordTest, ShortAndLongInputIsRefused) {
    EXPECT_FALSE(DecodeRecord<TypeParam>(Pattern(TypeParam::kSize - 1)).has_value());
    EXPECT_FALSE(DecodeRecord<TypeParam>(Pattern(TypeParam::kSize + 1)).has_value());
    EXPECT_FALSE(DecodeRecord<TypeParam>(Bytes{}).has_value());
}

// The fixed text fields of each record: where they sit, their size in bytes and their unit
// (1 for 8-bit text, 2 for UTF-16).
struct TextField {
    size_t offset;
    size_t bytes;
    size_t unit;
};

template <class Record>
std::vector<TextField> TextFieldsOf() {
    return {};
}
template <>
std::vector<TextField> TextFieldsOf<ST_USER_ITEM_DEPT>() {
    return {{6, 64, 2}};
}
template <>
std::vector<TextField> TextFieldsOf<ST_CONF_LOGIN_INFO>() {
    return {{4, 64, 1}};
}
template <>
std::vector<TextField> TextFieldsOf<ST_DS_ADDR>() {
    return {{0, 16, 1}};
}
template <>
std::vector<TextField> TextFieldsOf<ST_CONF_ITEM_SHORT>() {
    return {{4, 64, 1}};
}
template <>
std::vector<TextField> TextFieldsOf<ST_CONF_ITEM>() {
    return {{4, 64, 1}, {80, 33, 1}, {113, 64, 1}};
}
template <>
std::vector<TextField> TextFieldsOf<ST_CS_SERVER>() {
    return {{0, 64, 1}, {64, 16, 1}, {82, 16, 1}, {104, 16, 1}, {126, 16, 1}, {148, 38, 1}};
}
template <>
std::vector<TextField> TextFieldsOf<ST_ROLLCALL_ITEM>() {
    return {{4, 64, 1}, {68, 64, 1}};
}
template <>
std::vector<TextField> TextFieldsOf<ST_UPGRADE_SERVER>() {
    return {{0, 64, 1}, {64, 16, 1}};
}

// What a decode and encode must make of input: every byte kept, except in text fields. There
// the decoder forces a terminator into the last unit (a peer may send a field without one)
// and the encoder writes the text up to its terminator and pads with zeros, so the units
// after the first terminator become zero.
Bytes RoundTripped(Bytes bytes, const std::vector<TextField>& fields) {
    for (const TextField& field : fields) {
        bool ended = false;
        for (size_t at = field.offset; at < field.offset + field.bytes; at += field.unit) {
            const bool last = at + field.unit == field.offset + field.bytes;
            const bool nul =
                std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + field.unit),
                            [](uint8_t b) { return b == 0; });
            ended = ended || nul || last;
            if (ended) {
                std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), field.unit, 0);
            }
        }
    }
    return bytes;
}

TYPED_TEST(RecordTest, DecodeEncodeKeepsEveryByteButWhatFollowsATextsEnd) {
    // The pattern, and the pattern with zeros at every tenth pair of bytes (texts that end
    // inside their field, for both 8-bit and UTF-16 fields).
    Bytes withEnds = Pattern(TypeParam::kSize);
    for (size_t i = 0; i < withEnds.size(); ++i) {
        if (i % 10 == 4 || i % 10 == 5) {
            withEnds[i] = 0;
        }
    }
    for (const Bytes& input : {Pattern(TypeParam::kSize), withEnds}) {
        auto record = DecodeRecord<TypeParam>(input);
        ASSERT_TRUE(record.has_value());
        const Bytes output = EncodeRecord(*record);
        EXPECT_EQ(output, RoundTripped(input, TextFieldsOf<TypeParam>()));
        // A second round changes nothing more.
        auto again = DecodeRecord<TypeParam>(output);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(EncodeRecord(*again), output);
    }
}

TEST(UserRecord, FieldsSitAtTheirOffsets) {
    ST_USER_ITEM_DEPT user;
    user.userId = 0x1238;
    user.accountId = 0x80000005;
    yav::proto::CopyText16(user.name, 32, u"Zoë");
    user.kind = USER_KIND_TEMP_ADMIN;
    user.departmentId = 0x01020304;
    user.speakState = 2;
    user.presenterState = 1;
    user.broadcastMask = 0x81;
    user.audioDevice = 1;
    user.channelMask = 0x07;
    user.videoChannelCount = 3;
    user.streamParam = 0xA0B0C0D0;
    user.privateData.groupValue = 77;
    user.privateData.previousGroupValue = 66;
    user.privateData.speakMode = 2;
    user.privateData.listenFlag = 1;
    const Bytes bytes = EncodeRecord(user);
    EXPECT_EQ(LoadU16(bytes, 0), 0x1238);
    EXPECT_EQ(LoadU32(bytes, 2), 0x80000005u);
    EXPECT_EQ(LoadU16(bytes, 6), u'Z');
    EXPECT_EQ(LoadU16(bytes, 10), u'ë');
    EXPECT_EQ(LoadU16(bytes, 12), 0);
    EXPECT_EQ(bytes[70], 5);
    EXPECT_EQ(LoadU32(bytes, 71), 0x01020304u);
    EXPECT_EQ(bytes[79], 2);
    EXPECT_EQ(bytes[80], 1);
    EXPECT_EQ(bytes[81], 0x81);
    EXPECT_EQ(bytes[82], 1);
    EXPECT_EQ(bytes[83], 0x07);
    EXPECT_EQ(bytes[84], 3);
    EXPECT_EQ(LoadU32(bytes, 88), 0xA0B0C0D0u);
    EXPECT_EQ(LoadU32(bytes, 92), 77u);
    EXPECT_EQ(LoadU32(bytes, 96), 66u);
    EXPECT_EQ(bytes[100], 2);
    EXPECT_EQ(bytes[101], 1);
}

TEST(UserRecord, NameWithoutTerminatorIsCutOnDecode) {
    Bytes bytes(ST_USER_ITEM_DEPT::kSize, 0);
    for (size_t i = 0; i < 32; ++i) {
        bytes[6 + 2 * i] = 'A';
    }
    auto user = DecodeRecord<ST_USER_ITEM_DEPT>(bytes);
    ASSERT_TRUE(user.has_value());
    EXPECT_EQ(yav::proto::FieldText16(user->name, 32).size(), 31u);
}

TEST(LoginRecord, RoomAttributesStartAt281) {
    ST_CONF_LOGIN_INFO info;
    info.confId = 900001;
    yav::proto::CopyText(info.confName, sizeof info.confName, "Weekly");
    info.recordMode = 1;
    info.statusByte = 1;
    info.ownerId = 0xF0001008;
    info.userId = 16;
    info.kind = 0;
    info.presenterState = 2;
    info.roomAttr[0] = 0xAA;
    info.roomAttr[ROOM_ATTR_SERVER_RECORD] = 0x05;
    info.roomAttr[ST_CONF_LOGIN_INFO::kRoomAttrSize - 1] = 0xBB;
    const Bytes bytes = EncodeRecord(info);
    EXPECT_EQ(LoadU32(bytes, 0), 900001u);
    EXPECT_EQ(bytes[4], 'W');
    EXPECT_EQ(bytes[69], 1);
    EXPECT_EQ(bytes[70], 1);
    EXPECT_EQ(LoadU32(bytes, 71), 0xF0001008u);
    EXPECT_EQ(LoadU16(bytes, 75), 16);
    EXPECT_EQ(bytes[77], 0);
    EXPECT_EQ(bytes[78], 2);
    EXPECT_EQ(bytes[281], 0xAA);
    EXPECT_EQ(bytes[281 + 274], 0x05);
    EXPECT_EQ(bytes[1578], 0xBB);
}

TEST(AppInfo, LimitsSitAtTheirOffsets) {
    ST_CONF_APPINFO app;
    app.speakerLimit = 0x0203;
    app.maxOpenDocs = 5;
    app.maxWhiteboardPages = 40;
    app.flags22 = 0x80;
    app.flags23 = 0x17;
    app.flags25 = 0x09;
    const Bytes bytes = EncodeRecord(app);
    EXPECT_EQ(LoadU16(bytes, 15), 0x0203);
    EXPECT_EQ(LoadU16(bytes, 18), 5);
    EXPECT_EQ(LoadU16(bytes, 20), 40);
    EXPECT_EQ(bytes[22], 0x80);
    EXPECT_EQ(bytes[23], 0x17);
    EXPECT_EQ(bytes[25], 0x09);
}

TEST(ConfItem, ShortEntryWidensWithZeroTail) {
    Bytes brief = Pattern(ST_CONF_ITEM_SHORT::kSize);
    brief[4 + 63] = 0;
    auto shortItem = DecodeRecord<ST_CONF_ITEM_SHORT>(brief);
    ASSERT_TRUE(shortItem.has_value());
    const Bytes full = EncodeRecord(ST_CONF_ITEM::FromShort(*shortItem));
    ASSERT_EQ(full.size(), 177u);
    EXPECT_TRUE(std::equal(brief.begin(), brief.end(), full.begin()));
    for (size_t i = 75; i < 177; ++i) {
        EXPECT_EQ(full[i], 0) << "byte " << i;
    }
}

TEST(ConfItem, IdentityFieldsSitAtTheirOffsets) {
    ST_CONF_ITEM item;
    item.confId = 42;
    item.capacity = 30;
    item.onlineCount = 2;
    item.passwordFree = 1;
    item.hasIdentity = 1;
    item.identityConfId = 43;
    yav::proto::CopyText(item.identityPassword, sizeof item.identityPassword, "pw");
    yav::proto::CopyText(item.identityName, sizeof item.identityName, "guest");
    const Bytes bytes = EncodeRecord(item);
    EXPECT_EQ(LoadU16(bytes, 68), 30);
    EXPECT_EQ(LoadU16(bytes, 70), 2);
    EXPECT_EQ(bytes[74], 1);
    EXPECT_EQ(bytes[75], 1);
    EXPECT_EQ(LoadU32(bytes, 76), 43u);
    EXPECT_EQ(bytes[80], 'p');
    EXPECT_EQ(bytes[113], 'g');
}

TEST(CsServer, AddressesSitAtTheirOffsets) {
    ST_CS_SERVER server;
    yav::proto::CopyText(server.csAddress, 16, "127.0.0.1");
    server.csPort = 8876;
    yav::proto::CopyText(server.mediaAddress, 16, "127.0.0.2");
    server.mediaPort = 9000;
    server.mediaParam = 7;
    server.screenPort = 9100;
    server.screenParam = 11;
    const Bytes bytes = EncodeRecord(server);
    EXPECT_EQ(bytes[64], '1');
    EXPECT_EQ(LoadU16(bytes, 80), 8876);
    EXPECT_EQ(bytes[90], '2');
    EXPECT_EQ(LoadU16(bytes, 98), 9000);
    EXPECT_EQ(LoadU32(bytes, 100), 7u);
    EXPECT_EQ(LoadU16(bytes, 186), 9100);
    EXPECT_EQ(LoadU32(bytes, 188), 11u);
}

TEST(TextFields, LongTextIsCutToLeaveATerminator) {
    ST_DS_ADDR entry;
    yav::proto::CopyText(entry.address, sizeof entry.address, "a-very-long-host-name.example");
    EXPECT_EQ(yav::proto::FieldText(entry.address, 16).size(), 15u);
}

}  // namespace

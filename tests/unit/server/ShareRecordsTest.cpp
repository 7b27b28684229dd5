// The share records at the start of the room attributes name who shares the screen (bytes
// 0..5) and media (6..12); a client that reads one starts receiving from the user it names.
// Only the sharer may name itself there, and not over somebody else's share; clearing is its
// own or a chair kind's business.
#include <gtest/gtest.h>

#include <cstring>

#include "ServerFixture.h"
#include "fakes/conference/LogCapture.h"

namespace {

using namespace yav::proto;
using yav::test::Concat;
using yav::test::RawBot;
using yav::test::ServerFixture;

Bytes ScreenRecord(uint16_t sharer, uint32_t value) {
    ByteWriter out;
    out.U16(sharer);
    out.U32(value);
    return out.Take();
}

Bytes MediaRecord(uint16_t sharer, uint32_t parameter, uint8_t on) {
    ByteWriter out;
    out.U16(sharer);
    out.U32(parameter);
    out.U8(on);
    return out.Take();
}

class ShareRecords : public ServerFixture {
protected:
    void SetUp() override {
        auto config = yav::test::TestConfig();
        config.conferences[0].maxUsers = 0;  // room for a newcomer
        StartServer(config);
        chair_ = LoggedIn("demo", "demo");
        sharer_ = LoggedIn("sharer");
        other_ = LoggedIn("other");
        watcher_ = LoggedIn("watcher");
    }

    // The attribute changes the watcher was sent up to a relay that from sends it now: the
    // server handles one connection's frames in order and sends the watcher its frames in
    // order, so whatever from's earlier writes caused arrives before the relay.
    std::vector<MsgRoomAttr> Barrier(RawBot& from) {
        // A chat line: anybody may send one.
        EXPECT_TRUE(from.Send(MsgTransmit{watcher_->UserId(), 257, Bytes{0, 0, 0, 0, 1, 0}}));
        std::vector<MsgRoomAttr> seen;
        for (;;) {
            auto frame = watcher_->Receive();
            if (!frame || frame->type == MsgType::Relay) {
                EXPECT_TRUE(frame.has_value());
                return seen;
            }
            if (frame->type == MsgType::RoomAttr) {
                seen.push_back(*DecodeBody<MsgRoomAttr>(frame->body));
            }
        }
    }

    std::unique_ptr<RawBot> chair_, sharer_, other_, watcher_;
    fakes::LogCapture log_;
};

TEST_F(ShareRecords, OnlyTheSharerNamesItselfAndChairsClearAny) {
    const uint16_t sharer = sharer_->UserId();
    const uint16_t other = other_->UserId();
    struct Case {
        const char* name;
        RawBot* writer;
        uint16_t offset;
        Bytes data;
        bool passes;
    };
    const Case cases[] = {
        {"a screen record naming somebody else", sharer_.get(), 0, ScreenRecord(other, 5), false},
        {"a screen record naming the writer", sharer_.get(), 0, ScreenRecord(sharer, 77), true},
        {"clearing somebody else's record", other_.get(), 0, Bytes(6, 0), false},
        {"changing the value of somebody else's record", other_.get(), 2, Bytes{9, 9, 9, 9}, false},
        {"changing the value of the own record", sharer_.get(), 2, Bytes{8, 0, 0, 0}, true},
        {"a media record naming the writer", other_.get(), 6, MediaRecord(other, 3, 1), true},
        // One sharer at a time: nobody names itself over somebody else's share.
        {"a media record taking over somebody else's", sharer_.get(), 6, MediaRecord(sharer, 4, 1),
         false},
        {"a screen record taking over somebody else's", other_.get(), 0, ScreenRecord(other, 6),
         false},
        {"both records at once, the second one cleared for somebody else", sharer_.get(), 0,
         Concat(ScreenRecord(sharer, 1), Bytes(7, 0)), false},
        {"the chair naming somebody else", chair_.get(), 0, ScreenRecord(other, 1), false},
        {"the chair taking a share over", chair_.get(), 6, MediaRecord(chair_->UserId(), 5, 1),
         true},
        {"the chair clearing somebody else's record", chair_.get(), 6, Bytes(7, 0), true},
        {"the sharer clearing its own record", sharer_.get(), 0, Bytes(6, 0), true},
        {"clearing a record naming nobody", other_.get(), 0, Bytes(6, 0), true},
        {"a record naming nobody but holding a value", other_.get(), 0, ScreenRecord(0, 4), false},
    };
    uint8_t expected[ROOM_ATTR_BULLETIN] = {};
    size_t refusals = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.writer->Send(MsgSetUserAttribute{c.offset, 1, c.data}));
        const auto seen = Barrier(*c.writer);
        if (c.passes) {
            ASSERT_EQ(seen.size(), 1u);
            EXPECT_EQ(seen[0].offset, c.offset);
            EXPECT_EQ(seen[0].data, c.data);
            std::memcpy(expected + c.offset, c.data.data(), c.data.size());
        } else {
            EXPECT_TRUE(seen.empty());
            ++refusals;
        }
        EXPECT_EQ(log_.CountContaining("share record at"), refusals);
    }
    // A newcomer's login record holds exactly what passed.
    RawBot newcomer(server_->ConferencePort());
    ASSERT_TRUE(newcomer.Greet());
    ASSERT_TRUE(newcomer.Send(MsgLoginRequest{900001, "newcomer", "", 1, 100}));
    auto snapshot = newcomer.ReceiveMessage<MsgLoginResponse>();
    ASSERT_TRUE(snapshot);
    ASSERT_EQ(snapshot->result, 0);
    EXPECT_EQ(0, std::memcmp(snapshot->loginInfo.roomAttr, expected, sizeof expected));
}

TEST_F(ShareRecords, TemporaryAdministratorClearsAnyMemberCannot) {
    ASSERT_TRUE(sharer_->Send(
        MsgSetUserAttribute{ROOM_ATTR_SCREEN_SHARE, 1, ScreenRecord(sharer_->UserId(), 7)}));
    const auto shared = Barrier(*sharer_);
    ASSERT_EQ(shared.size(), 1u);
    // A member may not clear it ...
    ASSERT_TRUE(other_->Send(MsgSetUserAttribute{ROOM_ATTR_SCREEN_SHARE, 1, Bytes(6, 0)}));
    EXPECT_TRUE(Barrier(*other_).empty());
    // ... a temporary administrator may.
    ASSERT_TRUE(chair_->Send(MsgSetTempAdmin{other_->UserId(), 1}));
    auto kind = other_->ReceiveMessage<MsgUserKind>();
    ASSERT_TRUE(kind);
    ASSERT_EQ(kind->kind, USER_KIND_TEMP_ADMIN);
    ASSERT_TRUE(other_->Send(MsgSetUserAttribute{ROOM_ATTR_SCREEN_SHARE, 1, Bytes(6, 0)}));
    const auto cleared = Barrier(*other_);
    ASSERT_EQ(cleared.size(), 1u);
    EXPECT_EQ(cleared[0].data, Bytes(6, 0));
}

}  // namespace

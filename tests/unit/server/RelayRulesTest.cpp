// What the server relays of the blocks whose sender it can judge: the room's layout is the
// leader's (a chair kind or the presenter), and a screen start, which makes every viewer
// receive the channel it names, names the sender's own channel. What only the receiver knows
// (whose screen it views, whom it asked) passes here and is the receiver's to judge.
#include <gtest/gtest.h>

#include "ServerFixture.h"
#include "fakes/conference/LogCapture.h"

namespace {

using namespace yav::proto;
using yav::test::RawBot;
using yav::test::ServerFixture;

Bytes ScreenStart(uint8_t start, uint16_t channel) {
    ByteWriter out;
    out.U8(start);
    out.U16(channel);
    out.U32(0x55);
    return out.Take();
}

class RelayRules : public ServerFixture {
protected:
    void SetUp() override {
        ServerFixture::SetUp();
        chair_ = LoggedIn("demo", "demo");
        member_ = LoggedIn("member");
        presenter_ = LoggedIn("presenter");
        watcher_ = LoggedIn("watcher");
        ASSERT_TRUE(chair_->Send(MsgSetPresenter{presenter_->UserId(), 1}));
        auto leading = presenter_->ReceiveMessage<MsgLeadingStatus>();
        ASSERT_TRUE(leading);
        ASSERT_EQ(leading->newState, 2);
    }

    // The relays of `sub` the watcher got from `from` up to a chat line that `from` sends
    // after: the server handles one connection's frames in order.
    int RelaysSeen(RawBot& from, uint16_t sub) {
        EXPECT_TRUE(from.Send(MsgTransmit{watcher_->UserId(), 257, Bytes{0, 0, 0, 0, 1, 0}}));
        int seen = 0;
        for (;;) {
            auto frame = watcher_->ReceiveType(MsgType::Relay);
            if (!frame) {
                ADD_FAILURE() << "no marker";
                return seen;
            }
            const auto relay = DecodeBody<MsgRelay>(frame->body);
            if (relay && relay->from == from.UserId() && relay->subCommand == 257) {
                return seen;
            }
            seen += relay && relay->subCommand == sub ? 1 : 0;
        }
    }

    std::unique_ptr<RawBot> chair_, member_, presenter_, watcher_;
    fakes::LogCapture log_;
};

TEST_F(RelayRules, TheLayoutIsTheLeadersAndAScreenStartNamesTheSendersOwnChannel) {
    const uint16_t member = member_->UserId();
    const uint16_t chair = chair_->UserId();
    struct Case {
        const char* name;
        RawBot* sender;
        uint16_t sub;
        Bytes payload;
        bool relayed;
    };
    const Case cases[] = {
        {"layout by the chair", chair_.get(), 258, Bytes(100, 4), true},
        {"layout by the presenter", presenter_.get(), 258, Bytes(100, 4), true},
        {"layout by a member", member_.get(), 258, Bytes(100, 4), false},
        {"screen start naming the own channel", member_.get(), 264, ScreenStart(1, member), true},
        {"screen start naming another channel of the sender", member_.get(), 264,
         ScreenStart(1, static_cast<uint16_t>(member + 5)), true},
        {"screen start naming the chair's channel", member_.get(), 264, ScreenStart(1, chair),
         false},
        {"screen start by the chair naming a member", chair_.get(), 264, ScreenStart(1, member),
         false},
        {"screen start naming no channel", member_.get(), 264, Bytes{1}, false},
        // Whose screen a client views only that client knows.
        {"screen stop by a member", member_.get(), 264, ScreenStart(0, 0), true},
    };
    size_t refusals = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.sender->Send(MsgTransmit{0, c.sub, c.payload}));
        EXPECT_EQ(RelaysSeen(*c.sender, c.sub), c.relayed ? 1 : 0);
        refusals += c.relayed ? 0 : 1;
        EXPECT_EQ(log_.CountContaining("without the role it needs refused"), refusals);
    }
}

}  // namespace

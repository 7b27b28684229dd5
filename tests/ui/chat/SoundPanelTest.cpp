// The sound-effect panel on a recording player and a test clock: one sound at a time, each
// ends by itself, received sounds are played but never sent on, and only a chair's are.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include "FakeChatHost.h"
#include "client/config/AppSettings.h"
#include "client/config/ConfigManger.h"
#include "client/dialogs/chat/CDlgPopClap.h"
#include "components/protocol/SubCommands.h"
#include "platform/window/testing/WindowTesting.h"
#include "tests/fakes/conference/LogCapture.h"

namespace {

using chat_test::FakeChatHost;
using chat_test::FakeSoundPlayer;
using chat_test::MakeUser;

constexpr std::uint16_t kChair = 32;
constexpr std::uint16_t kMember = 24;

class SoundPanel : public ::testing::Test {
protected:
    void SetUp() override {
        g_AppSettings.startConfSound = "/snd/startconf.wav";
        g_AppSettings.musicSound = "/snd/Musicmid.wav";
        g_AppSettings.clappingSound = "/snd/clapping.wav";
        g_AppSettings.cheersSound = "/snd/Cheers.wav";
        host.myId = 16;
        host.users = {MakeUser(16, "Me", 0), MakeUser(kMember, "Bob", 1),
                      MakeUser(kChair, "Chair", 0), MakeUser(40, "Admin", 5)};
        panel = std::make_unique<CDlgPopClap>(
            &host, nullptr, std::make_unique<FakeSoundPlayer>(sounds), [this] { return tick; });
        panel->SetNoticeSink([this](const QString& text) { notices.push_back(text); });
        panel->Create(CDlgPopClap::IDD, nullptr);
        panel->MoveWindow(0, 0, 142, 171);
    }
    std::vector<int> Lit() {
        std::vector<int> lit;
        for (int i = 0; i < 4; ++i) {
            if (panel->Row(i).GetCheck() != 0) {
                lit.push_back(i);
            }
        }
        return lit;
    }
    void Receive(std::uint16_t from, std::vector<std::uint8_t> data) {
        panel->OnRecvSoundCmd(from, data.empty() ? nullptr : data.data(),
                              static_cast<std::uint16_t>(data.size()));
    }
    // Runs the 500 ms checks until the sound stops; the elapsed time at the stop.
    std::uint32_t RunUntilStopped(std::uint32_t start) {
        for (int i = 0; i < 200 && panel->GetCurrentSound() != CDlgPopClap::kNone; ++i) {
            tick += 500;
            EXPECT_TRUE(yav::testing::TimerDriver::Fire(*panel, CDlgPopClap::kStopCheckTimer));
        }
        return tick - start;
    }

    FakeChatHost host;
    std::shared_ptr<FakeSoundPlayer::Record> sounds = std::make_shared<FakeSoundPlayer::Record>();
    std::uint32_t tick = 5000;
    std::vector<QString> notices;
    std::unique_ptr<CDlgPopClap> panel;
};

TEST_F(SoundPanel, ANewSoundReplacesTheOldAndIsAnnounced) {
    panel->PlayBroadcast(1);
    panel->PlayClap(1);
    EXPECT_EQ(Lit(), std::vector<int>{2});
    EXPECT_EQ(panel->GetCurrentSound(), CDlgPopClap::kClap);
    EXPECT_EQ(sounds->calls,
              (std::vector<std::string>{"play /snd/startconf.wav 2", "play /snd/clapping.wav 2"}));
    ASSERT_EQ(host.sent.size(), 2U);
    EXPECT_EQ(host.sent[0].to, 0);
    EXPECT_EQ(host.sent[0].sub, yav::proto::kSubCommandClap);
    EXPECT_EQ(host.sent[0].data, std::vector<std::uint8_t>{'0'});
    EXPECT_EQ(host.sent[1].data, std::vector<std::uint8_t>{'2'});
    ASSERT_EQ(notices.size(), 2U);
    EXPECT_EQ(notices[1], LoadLangString(2851));
}

TEST_F(SoundPanel, EachSoundStopsByItselfWithinHalfASecondOfItsTime) {
    struct Case {
        void (CDlgPopClap::*play)(int);
        std::uint32_t limit;
        std::uint32_t startTick;
    };
    const Case cases[] = {{&CDlgPopClap::PlayClap, 8000, 5000},
                          {&CDlgPopClap::PlayCheer, 19000, 5123},
                          {&CDlgPopClap::PlayBroadcast, 31000, 0xFFFFF000U},  // clock wraps
                          {&CDlgPopClap::PlayIntermissionMusic, 40000, 77}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        tick = c.startTick;
        host.sent.clear();
        (panel.get()->*c.play)(0);
        EXPECT_EQ(panel->GetTimerElapse(CDlgPopClap::kStopCheckTimer), 500);
        const std::uint32_t elapsed = RunUntilStopped(c.startTick);
        EXPECT_GE(elapsed, c.limit);
        EXPECT_LT(elapsed, c.limit + 500);
        EXPECT_EQ(sounds->calls.back(), "stop");
        EXPECT_TRUE(Lit().empty());
        EXPECT_FALSE(panel->IsTimerSet(CDlgPopClap::kStopCheckTimer));
        EXPECT_TRUE(host.sent.empty()) << "the end is not announced";
    }
}

TEST_F(SoundPanel, RowClicksPlayAndTheLitRowStopsEverywhere) {
    panel->OnRowClick(CDlgPopClap::IDC_CHEER);
    EXPECT_EQ(Lit(), std::vector<int>{3});
    panel->OnRowClick(CDlgPopClap::IDC_CHEER);
    EXPECT_TRUE(Lit().empty());
    EXPECT_EQ(panel->GetCurrentSound(), CDlgPopClap::kNone);
    ASSERT_EQ(host.sent.size(), 2U);
    EXPECT_EQ(host.sent[0].data, std::vector<std::uint8_t>{'3'});
    EXPECT_TRUE(host.sent[1].data.empty()) << "stop is an empty 296";
    EXPECT_EQ(host.sent[1].sub, yav::proto::kSubCommandClap);

    CDlgPopClap orphan(nullptr, nullptr, std::make_unique<FakeSoundPlayer>(sounds),
                       [this] { return tick; });
    const auto calls = sounds->calls.size();
    orphan.OnRowClick(CDlgPopClap::IDC_CLAP);
    EXPECT_EQ(sounds->calls.size(), calls) << "nothing without a room";
}

TEST_F(SoundPanel, ReceivedCommandsFromChairsOnlyAndNeverSentOn) {
    struct Case {
        const char* name;
        std::uint16_t from;
        std::vector<std::uint8_t> data;
        std::uint16_t sound;  // current sound afterwards (the clap plays before each case)
        bool played;
    };
    const Case cases[] = {
        {"broadcast", kChair, {'0'}, CDlgPopClap::kBroadcast, true},
        {"music from kind 5", 40, {'1'}, CDlgPopClap::kMusic, true},
        {"cheer", kChair, {'3'}, CDlgPopClap::kCheer, true},
        {"digit 4 ignored", kChair, {'4'}, CDlgPopClap::kClap, false},
        {"two bytes ignored", kChair, {'0', '1'}, CDlgPopClap::kClap, false},
        {"empty block stops", kChair, {}, CDlgPopClap::kNone, false},
        {"member ignored", kMember, {'3'}, CDlgPopClap::kClap, false},
        {"member cannot stop", kMember, {}, CDlgPopClap::kClap, false},
        {"unknown sender ignored", 99, {'0'}, CDlgPopClap::kClap, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        panel->PlayClap(0);
        host.sent.clear();
        const auto calls = sounds->calls.size();
        fakes::LogCapture log;
        Receive(c.from, c.data);
        EXPECT_EQ(panel->GetCurrentSound(), c.sound);
        EXPECT_EQ(sounds->calls.size() > calls && sounds->calls.back() != "stop", c.played);
        EXPECT_TRUE(host.sent.empty()) << "a received sound is not sent on";
        EXPECT_EQ(log.Contains("not a chair"), c.from == kMember || c.from == 99);
    }
}

TEST_F(SoundPanel, ARowPlaysWhenTheMouseIsLetGoOverIt) {
    panel->ShowWindow(SW_SHOW);
    CButtonCheck& clap = panel->Row(2);
    QTest::mousePress(&clap, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(clap.IsPressed(), 1);
    EXPECT_TRUE(sounds->calls.empty()) << "nothing on the press";
    QTest::mouseRelease(&clap, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(clap.IsPressed(), 0);
    ASSERT_EQ(sounds->calls.size(), 1U);
    EXPECT_EQ(Lit(), std::vector<int>{2});
    ASSERT_EQ(host.sent.size(), 1U);
    EXPECT_EQ(host.sent[0].data, std::vector<std::uint8_t>{'2'});
}

TEST_F(SoundPanel, StopWhileNothingPlaysOnlyResetsTheRows) {
    panel->StopSound(0);
    EXPECT_TRUE(Lit().empty());
    EXPECT_EQ(panel->GetCurrentSound(), CDlgPopClap::kNone);
    EXPECT_TRUE(host.sent.empty());
    Receive(kChair, {});
    EXPECT_EQ(sounds->calls, (std::vector<std::string>{"stop", "stop"}));
}

}  // namespace

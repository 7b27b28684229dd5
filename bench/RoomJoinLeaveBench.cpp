// Participants joining and leaving a room of 64 and of 500: the conference-server messages
// go through the message pump into the room's real handlers (XMainFrame, with recording
// children, media and video reception behind it), against the same pump into a handler that
// only records. Prints the time per join and per leave of both, their ratios, and how the
// per-leave time grows from 64 to 500 participants; asserts nothing.
//
//   yav_room_join_leave_bench [--rounds N]

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "client/conference/XConfManager.h"
#include "client/conference/XMainFrame.h"
#include "client/config/AppSettings.h"
#include "client/config/ConfigManger.h"
#include "client/media/XMediaManager.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeCsManager.h"
#include "fakes/conference/FakeMainFrame.h"
#include "fakes/conference/FakeRoomChildren.h"
#include "fakes/conference/FakeRoomMedia.h"
#include "fakes/conference/RecordingCsHandler.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint16_t kMyId = 16;
constexpr std::uint32_t kConfId = 900001;

struct Times {
    double joinUs = 0;   // per join
    double leaveUs = 0;  // per leave
    // Joins and leaves that reached the participant list (the check that the path ran).
    std::size_t listed = 0;
    std::size_t left = 0;
};

std::u16string NameOf(int i) {
    const std::string text = "user" + std::to_string(i);
    return std::u16string(text.begin(), text.end());
}

std::uint16_t IdOf(int i) {
    return static_cast<std::uint16_t>(kMyId + 8 * (i + 1));
}

// Queues one join message per participant (as the server sends them), pumps them through,
// then one leave message each; `pump` drains the queue.
template <class Pump>
Times JoinAndLeave(fakes::FakeCsManager& fake, int count, Pump pump) {
    for (int i = 0; i < count; ++i) {
        fake.users.AddUser(IdOf(i), NameOf(i), 0b11);
        ST_CS_MSG message;
        message.type = CS_MSG_USER_JOIN;
        CsUserList list(1);
        list[0].userId = IdOf(i);
        std::memcpy(list[0].name, NameOf(i).c_str(), NameOf(i).size() * sizeof(char16_t));
        list[0].channelMask = 0b11;
        list[0].videoChannelCount = 2;
        message.payload = std::move(list);
        fake.queue.Push(std::move(message));
    }
    auto start = Clock::now();
    pump();
    Times times;
    times.joinUs = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / count;
    for (int i = 0; i < count; ++i) {
        ST_CS_MSG message;
        message.type = CS_MSG_USER_LEAVE;
        message.payload = CsLeaveList{{IdOf(i), 3, 1}};
        fake.queue.Push(std::move(message));
    }
    start = Clock::now();
    pump();
    times.leaveUs = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / count;
    return times;
}

// The conference-server fake installed as the component's factory for one run, this client's
// user listed; the real factory comes back when the run ends.
struct InstalledFake {
    explicit InstalledFake(std::uint32_t confId = 0) {
        fake.InstallFactory();
        fake.loginInfo.userId = kMyId;
        fake.loginInfo.confId = confId;
        fake.users.AddUser(kMyId, u"me");
    }
    ~InstalledFake() { fakes::FakeCsManager::RestoreFactory(); }
    InstalledFake(const InstalledFake&) = delete;
    InstalledFake& operator=(const InstalledFake&) = delete;

    fakes::CallLog log;
    fakes::FakeCsManager fake{log};
};

ST_CS_SERVER Server() {
    ST_CS_SERVER server;
    std::strcpy(server.csAddress, "127.0.0.1");
    server.csPort = 7000;
    return server;
}

// The real handlers: a room window opened on the conference-server fake.
Times RealHandlers(int count) {
    InstalledFake server{kConfId};
    fakes::CallLog& log = server.log;
    fakes::FakeCsManager& fake = server.fake;
    yav::room::RoomChildFactories& make = yav::room::Children();
    make = {};
    make.userList = [&log](QWidget*) { return std::make_unique<fakes::FakeUserList>(log); };
    make.controlBar = [&log](QWidget*) { return std::make_unique<fakes::FakeControlBar>(log); };
    make.statusBar = [&log](QWidget*) { return std::make_unique<fakes::FakeStatusBar>(log); };
    make.layoutManager = [&log](QWidget*) {
        return std::make_unique<fakes::FakeLayoutManager>(log);
    };
    make.roomMedia = [&log]() { return std::make_unique<fakes::FakeRoomMedia>(log); };
    auto media = std::make_unique<XMediaManager>();
    g_pMediaManager = media.get();
    auto frame = std::make_unique<XMainFrame>();
    g_pMainFrame = frame.get();
    fakes::FakeVideoReception reception{log};
    frame->SetCsServer(Server());
    frame->SetLoginInfo(QStringLiteral("me"), QStringLiteral("pw"), 0);
    Times times;
    if (frame->LoginCs(kConfId, nullptr, 0) == 0 &&
        frame->CreateRoomWindow(QStringLiteral("Bench"), kConfId)) {
        frame->SetVideoReception(&reception);
        times = JoinAndLeave(fake, count, [&frame] { frame->PumpCsMessage(); });
        times.listed = log.Count("UserList.AddUser");
        times.left = log.Count("UserList.OnUserLeave");
        frame->SetVideoReception(nullptr);
        frame->SetExitFlag(1);
        frame->SendMessage(WM_CLOSE_ROOM, 0, 0);
    } else {
        std::fprintf(stderr, "the room could not be opened\n");
    }
    frame.reset();
    g_pMainFrame = nullptr;
    media.reset();
    g_pMediaManager = nullptr;
    make = {};
    return times;
}

// The same pump into a handler that records each call.
Times RecordingHandler(int count) {
    InstalledFake server;
    fakes::CallLog& log = server.log;
    fakes::FakeCsManager& fake = server.fake;
    fakes::FakeMainFrame mainFrame{log};
    fakes::RecordingCsHandler handler{log};
    Times times;
    {
        XConfManager manager;
        manager.SetMainFrame(&mainFrame);
        manager.SetCsHandler(&handler);
        manager.SetUserHandler(&handler);
        std::uint16_t required = 0;
        if (manager.SetupConference("127.0.0.1", 7000, kConfId, "me", "pw", &required, 0, 0) == 0) {
            times = JoinAndLeave(fake, count, [&manager] { manager.ProcessCsMessage(); });
            times.listed = log.Count("OnUserJoin");
            times.left = log.Count("OnUserLeave");
        } else {
            std::fprintf(stderr, "the recording handler could not log in\n");
        }
    }
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int rounds = 3;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0) {
            rounds = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    QApplication app(argc, argv);
    g_ConfigManager.LoadLanguage();
    std::printf(
        "room size  real join us  recording join us  ratio  real leave us  "
        "recording leave us  ratio\n");
    double leave64 = 0;
    double leave500 = 0;
    for (int count : {64, 500}) {
        Times real;
        Times recording;
        for (int r = 0; r < rounds; ++r) {
            const Times a = RealHandlers(count);
            const Times b = RecordingHandler(count);
            real.listed = a.listed;
            real.left = a.left;
            recording.listed = b.listed;
            recording.left = b.left;
            real.joinUs += a.joinUs / rounds;
            real.leaveUs += a.leaveUs / rounds;
            recording.joinUs += b.joinUs / rounds;
            recording.leaveUs += b.leaveUs / rounds;
        }
        std::printf(
            "%9d  %12.2f  %17.2f  %5.1f  %13.2f  %18.2f  %5.1f   (handled %zu/%zu joins, "
            "%zu/%zu leaves)\n",
            count, real.joinUs, recording.joinUs, real.joinUs / recording.joinUs, real.leaveUs,
            recording.leaveUs, real.leaveUs / recording.leaveUs, real.listed, recording.listed,
            real.left, recording.left);
        (count == 64 ? leave64 : leave500) = real.leaveUs;
    }
    // Per-leave time growing with the room (about 500/64 = 7.8 times) means that emptying a
    // room costs the square of its size.
    const double growth = leave500 / leave64;
    std::printf("per-leave time 500 vs 64: x%.1f (room x7.8): leaves %s\n", growth,
                growth > 3.9 ? "grow linearly per leave, quadratically for the whole room"
                             : "stay about constant per leave, linear for the whole room");
    return 0;
}

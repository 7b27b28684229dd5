// Media session benchmark: what a conference's media costs and how it recovers when the
// network misbehaves, each figure beside a baseline measured in the same run.
//
//  1. Memory: one receiver (the media manager over the real component, as the client makes
//     it) starts and stops a received stream (camera and sound) N times in turn (default 100);
//     resident memory after the last stop against the level after the first (goal: within
//     10 MB), beside what the process grows by in the same time with one stream received all
//     along; and the receiving pipeline's element count before and after.
//  2. Relay restart: two participants see each other through yavserver; its media relay
//     restarts (SIGUSR1). Time until pictures flow again both ways, over UDP and over TCP,
//     beside the time the same participants took to see each other first.
//  3. A TCP relay that never answers its connects: the time a participant's media login takes
//     (conference login included) against one whose relay answers; then the program itself
//     (YavClient, offscreen) in a room whose TCP relay never answers: how long a second start
//     takes to end and until the room has heard it, beside the same with an answering relay.
//
// Prints one table; asserts nothing. Run from the program folder (it starts ./yavserver and
// ./YavClient):
//
//   yav_session_bench [--streams N]
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "MediaBot.h"
#include "ServerProcess.h"
#include "components/KroMedia/Devices.h"
#include "components/KroMedia/MediaChannel.h"
#include "config/AppSettings.h"
#include "platform/core/Profile.h"
#include "support/UnansweredTcpPort.h"

namespace {

using namespace yav::test;
using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double ResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
        }
    }
    return 0;
}

struct Row {
    std::string what;
    std::string ours;
    std::string baseline;
    std::string note;
};

// The value with `decimals` places, then the unit.
std::string Number(double value, int decimals, const char* unit) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f%s", decimals, value, unit);
    return text;
}

MediaBotOptions Options(const ServerProcess& server, const std::string& name, bool tcp,
                        bool capture, uint16_t mediaPort = 0) {
    MediaBotOptions options;
    options.name = name;
    options.conferencePort = server.ConferencePort();
    options.mediaPort = mediaPort != 0 ? mediaPort : server.MediaPort();
    options.tcp = tcp;
    options.capture = capture;
    return options;
}

int ElementsOf(MediaBot& bot) {
    auto* channel = dynamic_cast<kromedia::MediaChannel*>(bot.Media().GetMediaControl(0));
    return channel != nullptr ? channel->CountElements() : -1;
}

// 1. A received stream started and stopped in turn; beside it, what the same process grows by
// in the same time while one stream is received throughout.
void Memory(int streams, std::vector<Row>& rows) {
    ServerProcess server;
    MediaBot sender(Options(server, "sender", false, true));
    MediaBot receiver(Options(server, "receiver", false, false));
    if (!sender.LoggedIn() || !receiver.LoggedIn() ||
        !WaitUntil([&] { return receiver.StreamConnected() == 1; }, seconds(20))) {
        rows.push_back({"memory", "no conference", "", server.Output()});
        return;
    }
    const int elementsBefore = ElementsOf(receiver);
    double afterFirst = 0;
    double halfway = 0;
    int started = 0;
    auto start = Clock::now();
    for (int i = 0; i < streams; ++i) {
        const size_t had = receiver.FramesFrom(sender.Id());
        receiver.Watch(sender.Id());
        if (WaitUntil([&] { return receiver.FramesFrom(sender.Id()) >= had + 3; }, seconds(20))) {
            ++started;
        }
        receiver.Unwatch(sender.Id());
        if (i == 0) {
            afterFirst = ResidentMb();
            start = Clock::now();
        }
        if (i == streams / 2) {
            halfway = ResidentMb();
        }
    }
    const double afterAll = ResidentMb();
    const double cyclingMs = MsSince(start);
    const int elementsAfter = ElementsOf(receiver);
    // The same time with one stream received all along.
    receiver.Watch(sender.Id());
    WaitUntil([&] { return receiver.FramesFrom(sender.Id()) > 0; }, seconds(20));
    const double steadyFrom = ResidentMb();
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<int64_t>(cyclingMs)));
    const double steadyGrowth = ResidentMb() - steadyFrom;
    receiver.Unwatch(sender.Id());
    rows.push_back(
        {"memory after " + std::to_string(streams) + " received streams",
         Number(afterAll - afterFirst, 1, " MB more"), Number(steadyGrowth, 1, " MB one stream on"),
         Number(afterFirst, 1, " MB after the first, ") +
             Number(halfway - afterFirst, 1, " MB more halfway (goal within 10 MB); ") +
             std::to_string(started) + " showed pictures in " + Number(cyclingMs / 1000, 0, " s")});
    rows.push_back({"receiving pipeline elements", std::to_string(elementsAfter),
                    std::to_string(elementsBefore) + " before the first stream", "after the last"});
}

// 2. The relay restarts under a conference.
void RelayRestart(bool tcp, std::vector<Row>& rows) {
    g_AppSettings.UseTCP = tcp ? 1 : 0;
    ServerProcess server;
    const auto start = Clock::now();
    MediaBot a(Options(server, "a", tcp, true));
    MediaBot b(Options(server, "b", tcp, true));
    a.Watch(b.Id());
    b.Watch(a.Id());
    const auto seeEachOther = [&](size_t aHad, size_t bHad) {
        return WaitUntil([&] { return a.FramesFrom(b.Id()) > aHad && b.FramesFrom(a.Id()) > bHad; },
                         seconds(90));
    };
    if (!a.LoggedIn() || !b.LoggedIn() || !seeEachOther(0, 0)) {
        rows.push_back({"relay restart", "no pictures", "", server.Output()});
        return;
    }
    const double first = MsSince(start);
    // Let both streams settle before the restart.
    const size_t settleA = a.FramesFrom(b.Id());
    WaitUntil([&] { return a.FramesFrom(b.Id()) >= settleA + 15; }, seconds(10));
    server.RestartMediaRelay();
    const auto restarted = Clock::now();
    WaitUntil([&] { return server.Output().find("media relay restarted") != std::string::npos; },
              seconds(10));
    // Pictures still on their way are not the new path: wait for a few beyond them.
    const bool back = seeEachOther(a.FramesFrom(b.Id()) + 3, b.FramesFrom(a.Id()) + 3);
    rows.push_back({std::string("relay restart, ") + (tcp ? "TCP" : "UDP"),
                    back ? Number(MsSince(restarted), 0, " ms") : "not back in 90 s",
                    Number(first, 0, " ms from login"),
                    tcp ? "the closed connection is seen at once"
                        : "two unanswered keepalives (4 s) before the new hello"});
}

// 3a. A participant's login (conference and media) with a TCP relay that never answers.
void UnansweredLogin(std::vector<Row>& rows) {
    g_AppSettings.UseTCP = 1;
    ServerProcess server;
    UnansweredTcpPort nobody;
    auto time = [&](uint16_t port, const char* name) {
        const auto start = Clock::now();
        MediaBot bot(Options(server, name, true, false, port));
        return MsSince(start);
    };
    const double answered = time(0, "answered");
    const double unanswered = time(nobody.Port(), "unanswered");
    rows.push_back({"login, TCP relay never answers", Number(unanswered, 0, " ms"),
                    Number(answered, 0, " ms answering relay"),
                    "a blocking connect took about 130 s"});
}

// 3b. The program in a room whose TCP relay never answers: a second start.
struct SecondStart {
    double endsMs = -1;
    double heardMs = -1;
};

QString ReadLog(const QString& data) {
    QString text;
    for (const char* path : {"/loglog/YavClient.log", "/YavClient.log"}) {
        QFile file(data + QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly)) {
            text += QString::fromUtf8(file.readAll());
        }
    }
    return text;
}

bool WaitForLog(const QString& data, const QString& line, int limitSeconds) {
    return WaitUntil([&] { return ReadLog(data).contains(line); }, seconds(limitSeconds));
}

SecondStart TimeSecondStart(bool relayAnswers) {
    SecondStart result;
    QTemporaryDir home;
    UnansweredTcpPort nobody;
    const std::string ini = (home.path() + "/server.ini").toStdString();
    if (!relayAnswers) {
        yav::profile::WriteString("server", "AnnounceMediaPort", std::to_string(nobody.Port()),
                                  ini);
    }
    yav::profile::WriteString("account.alice", "Password", "alice", ini);
    yav::profile::WriteString("conference.900001", "Name", "Demo", ini);
    ServerProcess server({"--ini", ini});
    const QString data = home.path() + "/MarnexData";
    QDir().mkpath(data);
    yav::profile::WriteString("appinfo", "DsSvrPort", std::to_string(server.DataPort()),
                              (data + "/Client.ini").toStdString());
    yav::profile::WriteString("VideoParam", "UseTCP", "1",
                              (data + "/ConfigVideo.ini").toStdString());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", home.path());
    env.insert("XDG_RUNTIME_DIR", home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QDir::currentPath() + "/YavClient", {"127.0.0.1", "alice", "alice", "900001"});
    if (first.waitForStarted(10000) && WaitForLog(data, "login data server start", 30)) {
        QProcess second;
        second.setProcessEnvironment(env);
        const auto start = Clock::now();
        second.start(QDir::currentPath() + "/YavClient", {});
        if (second.waitForFinished(180000)) {
            result.endsMs = MsSince(start);
        }
        if (WaitForLog(data, QStringLiteral("另一个实例请求显示本实例"), 180)) {
            result.heardMs = MsSince(start);
        }
    }
    first.terminate();
    if (!first.waitForFinished(15000)) {
        first.kill();
        first.waitForFinished(5000);
    }
    return result;
}

void SecondStartRows(std::vector<Row>& rows) {
    const SecondStart answered = TimeSecondStart(true);
    const SecondStart unanswered = TimeSecondStart(false);
    auto ms = [](double value) {
        return value < 0 ? std::string("never") : Number(value, 0, " ms");
    };
    rows.push_back({"second start ends, TCP relay never answers", ms(unanswered.endsMs),
                    ms(answered.endsMs) + " answering relay", "goal under 1 s"});
    rows.push_back({"the room hears the second start", ms(unanswered.heardMs),
                    ms(answered.heardMs) + " answering relay", "the room's own thread"});
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int streams = 100;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--streams") == 0) {
            streams = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    setenv("YAV_TEST_DEVICES", "cam=1,mic=1,spk=1", 1);
    kromedia::DeviceRegistry::Get().Reload();
    g_AppSettings.bVideoCapMode = 1;

    std::vector<Row> rows;
    std::fprintf(stderr, "memory: %d received streams in turn...\n", streams);
    Memory(streams, rows);
    std::fprintf(stderr, "relay restarts...\n");
    RelayRestart(false, rows);
    RelayRestart(true, rows);
    std::fprintf(stderr, "a TCP relay that never answers...\n");
    UnansweredLogin(rows);
    SecondStartRows(rows);

    std::printf("\n%-46s %-16s %-30s %s\n", "measure", "ours", "baseline (same run)", "note");
    for (const Row& row : rows) {
        std::printf("%-46s %-16s %-30s %s\n", row.what.c_str(), row.ours.c_str(),
                    row.baseline.c_str(), row.note.c_str());
    }
    return 0;
}

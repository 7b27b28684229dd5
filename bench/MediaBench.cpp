// Media benchmark: participants made like the client (the media manager over the real media
// component, synthetic camera and tone) meet through yavserver on loopback.
//
//  1. 720p25 video + audio, one way: a sender process and a receiving process; CPU of each is
//     the cost of one sent and one received stream. Then both ways (each process sends and
//     receives). End-to-end delay: the capture time coded into the pattern, read at the
//     receiver's frame sink.
//  2. The same encode and decode done by gst-launch-1.0 over plain RTP/UDP in this run (the
//     baseline; ratios ours / gst-launch).
//  3. 16 received 360p streams: 16 senders in a child process, one receiver here; CPU and
//     resident memory per received stream.
//  4. 16 received 360p25 streams decoded and painted in the room's video windows (layout mode
//     5, 4 x 4): the whole grid's CPU (decode + paint) against the goal of 0.4 core, the same
//     streams decoded only, and memory; the yardstick is gst-launch-1.0 decoding 16 such
//     streams from a file and sizing them like the windows' pictures. --grid runs this alone.
// Prints one table; asserts nothing. Run from the program folder (it starts ./yavserver), under
// Xvfb for painting through the window system (without a display it paints offscreen):
//
//   xvfb-run -s "-screen 0 1920x1080x24" yav_media_bench [--seconds N] [--grid]
//
// With --grid the receiver keeps to one half of the cores and the senders to the other.
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <QApplication>
#include "MediaBot.h"
#include "PatternSink.h"
#include "ServerProcess.h"
#include "VideoGridSupport.h"
#include "app/AppSettings.h"
#include "client/dialogs/video/CDlgVideo.h"
#include "client/media/ILayoutVideoWnd.h"
#include "client/media/XLayoutManager.h"
#include "components/KroMedia/Devices.h"

namespace {

using namespace yav::test;
using Clock = std::chrono::steady_clock;

constexpr int kSize720p = 21;  // 1280 x 720 in the settings' size table
constexpr int kSize360p = 7;   // 640 x 360
constexpr int k720Kbps = 2000;
constexpr int k360Kbps = 600;

double ClockTicks() {
    return static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CPU seconds (user + system) a process has used so far.
double CpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    double utime = 0;
    double stime = 0;
    for (int i = 3; fields >> field; ++i) {
        if (i == 14) {
            utime = std::stod(field);
        } else if (i == 15) {
            stime = std::stod(field);
            break;
        }
    }
    return (utime + stime) / ClockTicks();
}

double ResidentMb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

// CPU in percent of one core that the processes use over the next seconds.
std::vector<double> CpuPercent(const std::vector<pid_t>& pids, int seconds) {
    std::vector<double> before;
    for (pid_t pid : pids) {
        before.push_back(CpuSeconds(pid));
    }
    const auto from = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - from).count();
    std::vector<double> out;
    for (size_t i = 0; i < pids.size(); ++i) {
        out.push_back(100.0 * (CpuSeconds(pids[i]) - before[i]) / wall);
    }
    return out;
}

// The first child of this process running the named program (-1 when none).
pid_t ChildNamed(const std::string& name) {
    const pid_t self = getpid();
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream stat(entry.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const size_t open = text.find('(');
        const size_t close = text.rfind(')');
        if (open == std::string::npos || close == std::string::npos) {
            continue;
        }
        std::istringstream rest(text.substr(close + 2));
        std::string state;
        long parent = 0;
        rest >> state >> parent;
        if (parent == self && text.substr(open + 1, close - open - 1) == name) {
            return static_cast<pid_t>(std::stol(pid));
        }
    }
    return -1;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return -1;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

// The settings files are found at start-up (before main): the first run sets up a private
// data folder and starts the program again in it, so the user's own files are never touched.
void UsePrivateDataFolder(char** argv) {
    if (std::getenv("YAV_MEDIA_BENCH_HOME") != nullptr) {
        return;
    }
    const std::string home =
        (std::filesystem::temp_directory_path() / ("yav-media-bench-" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(home);
    setenv("YAV_MEDIA_BENCH_HOME", home.c_str(), 1);
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    execv("/proc/self/exe", argv);
    _exit(127);
}

void PrepareEnvironment() {
    setenv("YAV_TEST_DEVICES", "cam=1,mic=1,spk=1", 1);
    g_AppSettings.bVideoCapMode = 1;
}

MediaBotOptions Options(const std::string& name, uint16_t conferencePort, uint16_t mediaPort,
                        int sizeIndex, int frameRate, int kbps, bool capture) {
    MediaBotOptions options;
    options.name = name;
    options.conferencePort = conferencePort;
    options.mediaPort = mediaPort;
    options.sizeIndex = sizeIndex;
    options.frameRate = frameRate;
    options.bitRateKbps = kbps;
    options.capture = capture;
    return options;
}

bool Connected(const MediaBot& bot) {
    return WaitUntil([&] { return bot.ServerConnected() == 1 && bot.StreamConnected() == 1; },
                     std::chrono::seconds(20));
}

// Child mode: N sending participants (and, with watch != 0, each watches that id); prints
// "ids a b c ..." once all of them send, then runs until killed.
int RunSenders(int count, uint16_t conferencePort, uint16_t mediaPort, int sizeIndex, int frameRate,
               int kbps, uint16_t watch) {
    PrepareEnvironment();
    kromedia::DeviceRegistry::Get().Reload();
    std::vector<std::unique_ptr<MediaBot>> bots;
    std::string ids = "ids";
    for (int i = 0; i < count; ++i) {
        MediaBotOptions options = Options("s" + std::to_string(i), conferencePort, mediaPort,
                                          sizeIndex, frameRate, kbps, true);
        // Every camera is broadcast; the conference lets four of them speak at once.
        options.floor = i < 4;
        bots.push_back(std::make_unique<MediaBot>(options));
        if (!bots.back()->LoggedIn() || !Connected(*bots.back())) {
            std::printf("failed\n");
            std::fflush(stdout);
            return 1;
        }
        if (watch != 0) {
            bots.back()->Watch(watch);
        }
        ids += " " + std::to_string(bots.back()->Id());
    }
    std::printf("%s\n", ids.c_str());
    std::fflush(stdout);
    pause();
    return 0;
}

struct Child {
    pid_t pid = -1;
    std::vector<uint16_t> ids;
};

Child StartSenders(const char* self, int count, const ServerProcess& server, int sizeIndex,
                   int frameRate, int kbps, uint16_t watch) {
    Child child;
    int out[2];
    if (pipe(out) != 0) {
        return child;
    }
    std::fflush(stdout);
    child.pid = fork();
    if (child.pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        const std::vector<std::string> args = {self,
                                               "--senders",
                                               std::to_string(count),
                                               std::to_string(server.ConferencePort()),
                                               std::to_string(server.MediaPort()),
                                               std::to_string(sizeIndex),
                                               std::to_string(frameRate),
                                               std::to_string(kbps),
                                               std::to_string(watch)};
        std::vector<char*> argv;
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    close(out[1]);
    FILE* lines = fdopen(out[0], "r");
    char buffer[4096] = {};
    if (lines != nullptr && std::fgets(buffer, sizeof buffer, lines) != nullptr &&
        std::strncmp(buffer, "ids", 3) == 0) {
        std::istringstream in(buffer + 3);
        unsigned id = 0;
        while (in >> id) {
            child.ids.push_back(static_cast<uint16_t>(id));
        }
    }
    if (lines != nullptr) {
        std::fclose(lines);
    }
    return child;
}

void Stop(pid_t pid) {
    if (pid > 0) {
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

pid_t Launch(const std::string& pipeline) {
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execl("/bin/sh", "sh", "-c", ("exec gst-launch-1.0 -q " + pipeline).c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

struct Row {
    std::string what;
    std::string ours;
    std::string gst;
    std::string ratio;
};

std::string Fixed(double value, const char* unit) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f%s", value, unit);
    return text;
}

std::string Ratio(double ours, double gst) {
    return gst > 0 ? Fixed(ours / gst, " x") : "-";
}

// CPU in cores this process uses while its event loop runs for the given time.
double PumpedCores(double seconds) {
    const double before = CpuSeconds(getpid());
    const auto from = Clock::now();
    yav::bench::RunEventLoop(static_cast<int>(seconds * 1000));
    const double wall = std::chrono::duration<double>(Clock::now() - from).count();
    return (CpuSeconds(getpid()) - before) / wall;
}

// The middle of the measured values (the mean of the middle two of an even count).
double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : (values[(n - 1) / 2] + values[n / 2]) / 2.0;
}

// 16 senders at 360p25; the receiver here decodes them into a sink that only reads the pattern,
// then into 16 video windows laid out 4 x 4 by the layout manager, painted; three rounds of
// both in turn, since this machine's other work inflates any one measurement.
void PaintedGrid(char** argv, const ServerProcess& server, int seconds, std::vector<Row>& rows) {
    constexpr int kStreams = 16;
    constexpr int kRounds = 3;
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    yav::bench::Mode5Grid grid(QRect(0, 0, 1280, 720));
    XLayoutManager& manager = grid.manager;

    MediaBot receiver(Options("grid", server.ConferencePort(), server.MediaPort(), kSize360p, 25,
                              k360Kbps, false));
    Connected(receiver);
    Child senders = StartSenders(argv[0], kStreams, server, kSize360p, 25, k360Kbps, 0);
    if (senders.ids.size() != kStreams) {
        rows.push_back({"16 senders at 360p25", "did not start", "", ""});
        Stop(senders.pid);
        return;
    }
    const double idle = PumpedCores(3);
    const double idleMb = ResidentMb(getpid());
    auto stopAll = [&] {
        for (uint16_t id : senders.ids) {
            if (kromedia::IMediaControl* channel = receiver.Media().GetMediaControl(id)) {
                channel->StopRecvVideo(id);
            }
        }
    };

    // Decoded only.
    PatternSink pattern;
    auto decodedRound = [&](size_t* frames) {
        for (uint16_t id : senders.ids) {
            if (kromedia::IMediaControl* channel = receiver.Media().GetMediaControl(id)) {
                channel->StartRecvVideo(id, 0, nullptr, &pattern, kromedia::kMsgFirstPicture);
            }
        }
        auto total = [&] {
            size_t sum = 0;
            for (uint16_t id : senders.ids) {
                sum += pattern.Frames(id);
            }
            return sum;
        };
        const size_t start = total();
        yav::bench::RunEventLoop(60000, [&] { return total() >= start + 25u * kStreams; });
        const size_t before = total();
        const double cores = PumpedCores(seconds);
        *frames += total() - before;
        stopAll();
        return cores;
    };

    // Decoded into the windows and painted.
    yav::bench::NoRender noRender;
    std::vector<CDlgVideo*> windows;
    std::vector<uint16_t> placedIds;
    for (uint16_t id : senders.ids) {
        manager.AddVideo(id, 0, grid.record, grid.synced);
        ILayoutVideoWnd* placed = manager.FindVideoWnd(id);
        if (placed != nullptr) {
            windows.push_back(&dynamic_cast<CDlgVideo&>(*placed->GetWidget()));
            placedIds.push_back(id);
        }
    }
    auto repaints = [&] {
        std::uint64_t total = 0;
        for (CDlgVideo* window : windows) {
            total += window->GetRepaintRequests();
        }
        return total;
    };
    auto paintedRound = [&](std::uint64_t* repainted) {
        for (size_t i = 0; i < windows.size(); ++i) {
            kromedia::IMediaControl* channel = receiver.Media().GetMediaControl(placedIds[i]);
            if (channel == nullptr) {
                continue;
            }
            windows[i]->SetVideoState(nullptr);
            channel->StartRecvVideo(placedIds[i], 0, nullptr, windows[i]->GetFrameSink(),
                                    kromedia::kMsgFirstPicture);
            kromedia::IMediaStream* stream = channel->GetStream(placedIds[i]);
            windows[i]->SetVideoState(stream != nullptr ? stream : &noRender);
        }
        const std::uint64_t start = repaints();
        yav::bench::RunEventLoop(60000, [&] { return repaints() >= start + 25u * windows.size(); });
        const std::uint64_t before = repaints();
        const double cores = PumpedCores(seconds);
        *repainted += repaints() - before;
        return cores;
    };

    std::vector<double> decoded;
    std::vector<double> painted;
    size_t decodedFrames = 0;
    std::uint64_t repainted = 0;
    double paintedMb = 0;
    QSize pictureSize;
    for (int round = 0; round < kRounds; ++round) {
        decoded.push_back(decodedRound(&decodedFrames));
        painted.push_back(paintedRound(&repainted));
        paintedMb = std::max(paintedMb, ResidentMb(getpid()));
        if (!windows.empty()) {
            pictureSize = windows.front()->GetLatestFrame().size();
        }
        stopAll();
    }
    const QSize windowSize = windows.empty() ? QSize() : windows.front()->size();

    // The yardstick, in the same conditions: gst-launch-1.0 decoding 16 such streams from a
    // file, paced, sized and converted like the windows' pictures. This machine's speed drifts
    // by a quarter within an hour; the ratio does not.
    double yardstick = -1;
    const std::string clip = (std::filesystem::temp_directory_path() /
                              ("yav-grid-" + std::to_string(getpid()) + ".h264"))
                                 .string();
    const pid_t encoder =
        Launch("videotestsrc pattern=smpte num-buffers=" + std::to_string((seconds + 5) * 25) +
               " ! video/x-raw,format=I420,width=640,height=360,framerate=25/1 ! x264enc "
               "tune=zerolatency speed-preset=veryfast threads=2 bitrate=" +
               std::to_string(k360Kbps) +
               " key-int-max=50 ! h264parse ! video/x-h264,stream-format=byte-stream ! filesink "
               "location=" +
               clip);
    int status = 0;
    waitpid(encoder, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        std::string pipeline;
        for (int i = 0; i < kStreams; ++i) {
            pipeline +=
                " filesrc location=" + clip +
                " ! h264parse ! avdec_h264 max-threads=1 ! videoscale ! video/x-raw,width=" +
                std::to_string(pictureSize.width()) +
                ",height=" + std::to_string(pictureSize.height()) +
                " ! videoconvert ! video/x-raw,format=BGRx ! fakesink sync=true";
        }
        const pid_t decoders = Launch(pipeline);
        std::this_thread::sleep_for(std::chrono::seconds(2));
        yardstick = CpuPercent({decoders}, seconds)[0] / 100.0;
        Stop(decoders);
    }
    std::filesystem::remove(clip);
    Stop(senders.pid);
    manager.DestroyWindows();

    auto cores = [](double value) { return Fixed(value * 100, " %"); };
    auto spread = [&](const std::vector<double>& values) {
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        return cores(*low) + " - " + cores(*high);
    };
    const auto perWindow = static_cast<double>(kStreams) * seconds * kRounds;
    rows.push_back(
        {"platform of the video windows", QApplication::platformName().toStdString(), "", ""});
    rows.push_back(
        {"video windows (mode 5) receiving, of 16", std::to_string(windows.size()), "", ""});
    rows.push_back({"receiver idle, 16 empty windows (core)", cores(idle), "", ""});
    rows.push_back({"16 x 360p25 decoded only, pictures at 640x360 (core, median of 3)",
                    cores(Median(decoded)), "", ""});
    rows.push_back({"  rounds", spread(decoded), "", ""});
    rows.push_back(
        {"  pictures per stream per second", Fixed(double(decodedFrames) / perWindow, ""), "", ""});
    rows.push_back({"16 x 360p25 decoded + painted (core, median of 3, goal 40 %)",
                    cores(Median(painted)), yardstick > 0 ? cores(yardstick) : "",
                    yardstick > 0 ? Fixed(Median(painted) / yardstick, " x") : ""});
    rows.push_back({"  rounds", spread(painted), "", ""});
    rows.push_back({"  repaint requests per window per second",
                    Fixed(double(repainted) / perWindow, ""), "", ""});
    rows.push_back({"  window / picture handed to it",
                    std::to_string(windowSize.width()) + "x" + std::to_string(windowSize.height()) +
                        " / " + std::to_string(pictureSize.width()) + "x" +
                        std::to_string(pictureSize.height()),
                    "", ""});
    rows.push_back({"receiver resident memory, painted grid", Fixed(paintedMb, " MB"), "", ""});
    rows.push_back(
        {"  above idle, per stream", Fixed((paintedMb - idleMb) / kStreams, " MB"), "", ""});
}

// 1-3: one and both ways, the gst-launch baseline and 16 received streams; false when
// the first sender does not start.
bool StreamRows(char** argv, const ServerProcess& server, int seconds, std::vector<Row>& rows) {
    const pid_t self = getpid();

    // 1. One way: a sender process, a receiver here.
    double sendCpu = 0;
    double recvCpu = 0;
    std::vector<double> latencies;
    {
        Child sender = StartSenders(argv[0], 1, server, kSize720p, 25, k720Kbps, 0);
        if (sender.ids.size() != 1) {
            std::fprintf(stderr, "the sender did not start\n%s\n", server.Output().c_str());
            Stop(sender.pid);
            return false;
        }
        MediaBot receiver(Options("r", server.ConferencePort(), server.MediaPort(), kSize720p, 25,
                                  k720Kbps, false));
        Connected(receiver);
        receiver.Watch(sender.ids[0]);
        WaitUntil([&] { return receiver.FramesFrom(sender.ids[0]) >= 50; },
                  std::chrono::seconds(30));
        const size_t framesBefore = receiver.FramesFrom(sender.ids[0]);
        const auto cpu = CpuPercent({sender.pid, self}, seconds);
        sendCpu = cpu[0];
        recvCpu = cpu[1];
        const size_t frames = receiver.FramesFrom(sender.ids[0]) - framesBefore;
        latencies = receiver.LatenciesFrom(sender.ids[0]);
        latencies.erase(latencies.begin(), latencies.begin() + static_cast<long>(std::min<size_t>(
                                                                   50, latencies.size())));
        rows.push_back({"720p25 frames decoded per s",
                        Fixed(static_cast<double>(frames) / seconds, ""), "", ""});
        Stop(sender.pid);
    }

    // 2. Both ways: each process sends and receives.
    double bothCpuA = 0;
    double bothCpuB = 0;
    double relayCpu = 0;
    const pid_t relay = ChildNamed("yavserver");
    {
        MediaBot b(Options("b", server.ConferencePort(), server.MediaPort(), kSize720p, 25,
                           k720Kbps, true));
        Connected(b);
        Child a = StartSenders(argv[0], 1, server, kSize720p, 25, k720Kbps, b.Id());
        if (a.ids.size() == 1) {
            b.Watch(a.ids[0]);
            WaitUntil([&] { return b.FramesFrom(a.ids[0]) >= 50; }, std::chrono::seconds(30));
            const auto cpu = CpuPercent({a.pid, self, relay}, seconds);
            bothCpuA = cpu[0];
            bothCpuB = cpu[1];
            relayCpu = cpu[2];
        }
        Stop(a.pid);
    }

    // 3. The same encode and decode with gst-launch-1.0 over RTP/UDP.
    double gstSend = 0;
    double gstRecv = 0;
    {
        const int videoPort = 47000 + static_cast<int>(self % 1000) * 2;
        const int audioPort = videoPort + 1;
        const std::string receive =
            "udpsrc port=" + std::to_string(videoPort) +
            " caps=\"application/"
            "x-rtp,media=video,clock-rate=90000,encoding-name=H264,payload=96\" "
            "! rtpjitterbuffer latency=150 ! rtph264depay ! h264parse ! avdec_h264 max-threads=2 ! "
            "videoconvert ! video/x-raw,format=BGRx ! fakesink sync=false "
            "udpsrc port=" +
            std::to_string(audioPort) +
            " caps=\"application/"
            "x-rtp,media=audio,clock-rate=48000,encoding-name=OPUS,payload=111\""
            " ! rtpjitterbuffer latency=150 ! rtpopusdepay ! opusdec ! audioconvert ! "
            "audioresample ! fakesink sync=true";
        const std::string send =
            "videotestsrc is-live=true pattern=smpte ! "
            "video/x-raw,format=I420,width=1280,height=720,framerate=25/1 ! tee name=t "
            "t. ! queue ! x264enc tune=zerolatency speed-preset=veryfast threads=2 bitrate=" +
            std::to_string(k720Kbps) +
            " key-int-max=50 ! rtph264pay config-interval=-1 mtu=1200 pt=96 ! udpsink "
            "host=127.0.0.1 port=" +
            std::to_string(videoPort) +
            " t. ! queue ! videoconvert ! video/x-raw,format=BGRx ! fakesink sync=false "
            "audiotestsrc is-live=true wave=sine freq=440 ! "
            "audio/x-raw,rate=48000,channels=1 ! audioconvert ! opusenc ! rtpopuspay pt=111 ! "
            "udpsink host=127.0.0.1 port=" +
            std::to_string(audioPort);
        const pid_t receiver = Launch(receive);
        const pid_t sender = Launch(send);
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const auto cpu = CpuPercent({sender, receiver}, seconds);
        gstSend = cpu[0];
        gstRecv = cpu[1];
        Stop(sender);
        Stop(receiver);
    }

    rows.push_back({"CPU per sent 720p25 stream + audio (% of a core)", Fixed(sendCpu, " %"),
                    Fixed(gstSend, " %"), Ratio(sendCpu, gstSend)});
    rows.push_back({"CPU per received 720p25 stream + audio", Fixed(recvCpu, " %"),
                    Fixed(gstRecv, " %"), Ratio(recvCpu, gstRecv)});
    rows.push_back({"CPU per participant, both ways (send + receive)",
                    Fixed((bothCpuA + bothCpuB) / 2, " %"), Fixed(gstSend + gstRecv, " %"),
                    Ratio((bothCpuA + bothCpuB) / 2, gstSend + gstRecv)});
    rows.push_back({"yavserver relaying 720p25 + audio both ways", Fixed(relayCpu, " %"), "", ""});
    rows.push_back(
        {"capture to decoded picture, median", Fixed(Percentile(latencies, 0.5), " ms"), "", ""});
    rows.push_back({"capture to decoded picture, 95th percentile",
                    Fixed(Percentile(latencies, 0.95), " ms"), "", ""});

    // 4. 16 received 360p streams.
    {
        MediaBot receiver(Options("many", server.ConferencePort(), server.MediaPort(), kSize360p,
                                  15, k360Kbps, false));
        Connected(receiver);
        Child senders = StartSenders(argv[0], 16, server, kSize360p, 15, k360Kbps, 0);
        if (senders.ids.size() == 16) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            const double idleCpu = CpuPercent({self}, 3)[0];
            const double idleMb = ResidentMb(self);
            for (uint16_t id : senders.ids) {
                receiver.Watch(id);
            }
            WaitUntil(
                [&] {
                    return std::all_of(senders.ids.begin(), senders.ids.end(),
                                       [&](uint16_t id) { return receiver.FramesFrom(id) >= 20; });
                },
                std::chrono::seconds(60));
            const double cpu = CpuPercent({self}, seconds)[0];
            const double mb = ResidentMb(self);
            size_t decoding = 0;
            for (uint16_t id : senders.ids) {
                decoding += receiver.FramesFrom(id) > 0 ? 1 : 0;
            }
            rows.push_back({"streams decoding of 16 (360p15)", std::to_string(decoding), "", ""});
            rows.push_back(
                {"CPU per received 360p15 stream", Fixed((cpu - idleCpu) / 16, " %"), "", ""});
            rows.push_back(
                {"memory per received 360p15 stream", Fixed((mb - idleMb) / 16, " MB"), "", ""});
            rows.push_back({"receiver resident memory with 16 streams", Fixed(mb, " MB"), "", ""});
        } else {
            rows.push_back({"16 senders", "did not start", "", ""});
        }
        Stop(senders.pid);
    }
    return true;
}

}  // namespace

// Keeps this process (and the threads and programs it starts from now on) on one half of the
// machine's cores: the grid's receiver and its 16 senders then do not take each other's cores,
// which made the receiver's CPU time swing by a fifth from run to run.
void KeepToHalf(bool upper) {
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    if (cores < 4) {
        return;
    }
    cpu_set_t set;
    CPU_ZERO(&set);
    for (long c = upper ? cores / 2 : 0; c < (upper ? cores : cores / 2); ++c) {
        CPU_SET(static_cast<int>(c), &set);
    }
    sched_setaffinity(0, sizeof(set), &set);
}

int main(int argc, char** argv) {
    UsePrivateDataFolder(argv);
    if (argc == 9 && std::strcmp(argv[1], "--senders") == 0) {
        if (std::getenv("YAV_BENCH_SENDERS_APART") != nullptr) {
            KeepToHalf(true);
        }
        return RunSenders(std::atoi(argv[2]), static_cast<uint16_t>(std::atoi(argv[3])),
                          static_cast<uint16_t>(std::atoi(argv[4])), std::atoi(argv[5]),
                          std::atoi(argv[6]), std::atoi(argv[7]),
                          static_cast<uint16_t>(std::atoi(argv[8])));
    }
    int seconds = 10;
    bool gridOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::max(2, std::atoi(argv[i + 1]));
        }
        gridOnly = gridOnly || std::strcmp(argv[i], "--grid") == 0;
    }
    if (gridOnly) {
        KeepToHalf(false);
        setenv("YAV_BENCH_SENDERS_APART", "1", 1);
    }
    PrepareEnvironment();
    kromedia::DeviceRegistry::Get().Reload();
    ServerProcess server;
    if (!server.Ready()) {
        std::fprintf(stderr, "yavserver did not start (run from the program folder)\n");
        return 1;
    }
    std::vector<Row> rows;
    if (!gridOnly && !StreamRows(argv, server, seconds, rows)) {
        return 1;
    }
    PaintedGrid(argv, server, seconds, rows);

    std::printf("%-52s %12s %12s %10s\n", "media benchmark (loopback)", "ours", "gst-launch",
                "ratio");
    for (const Row& row : rows) {
        std::printf("%-52s %12s %12s %10s\n", row.what.c_str(), row.ours.c_str(), row.gst.c_str(),
                    row.ratio.c_str());
    }
    return 0;
}

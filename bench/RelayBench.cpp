// Relay benchmark: starts the yavserver of the program folder, puts 2, 16 and 64 protocol
// clients into one room and measures the relay's latency (one message to everybody, wait
// for every copy) and throughput (every client sends, count deliveries per second), and the
// server's resident memory per participant. Prints one table; asserts nothing.
//
//   yav_relay_bench [--messages N] [--rounds N]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <asio.hpp>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Link.h"
#include "Messages.h"

namespace {

using namespace yav::proto;
using Clock = std::chrono::steady_clock;

struct Server {
    pid_t pid = -1;
    uint16_t conferencePort = 0;
};

Server StartServer(const std::string& folder) {
    Server server;
    const std::string portFile = folder + "/bench-ports";
    std::filesystem::remove(portFile);
    std::fflush(stdout);
    server.pid = fork();
    if (server.pid == 0) {
        freopen("/dev/null", "w", stdout);
        execl("./yavserver", "./yavserver", "--ds-port", "0", "--cs-port", "0", "--probe-port", "0",
              "--media-port", "0", "--port-file", portFile.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        std::ifstream ports(portFile);
        unsigned ds = 0, cs = 0, probe = 0;
        if (ports >> ds >> cs >> probe) {
            server.conferencePort = static_cast<uint16_t>(cs);
            break;
        }
        usleep(10000);
    }
    return server;
}

void StopServer(Server& server) {
    if (server.pid > 0) {
        kill(server.pid, SIGTERM);
        waitpid(server.pid, nullptr, 0);
        server.pid = -1;
    }
}

// Resident memory of a process in KiB.
long ResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return 0;
}

class Client final : public Link::Listener {
public:
    std::shared_ptr<Link> link;
    uint16_t userId = 0;
    bool greeted = false;
    bool loggedIn = false;
    bool closed = false;
    std::function<void(const MsgRelay&)> onRelay;

    void OnLinkFrame(Link&, Frame& frame) override {
        switch (frame.type) {
            case MsgType::HelloAck:
                if (auto ack = DecodeBody<MsgHelloAck>(frame.body)) {
                    // Heartbeats keep quiet clients from being taken for dead.
                    link->SetTiming(std::chrono::milliseconds(ack->heartbeatMs),
                                    std::chrono::milliseconds(ack->timeoutMs));
                }
                greeted = true;
                break;
            case MsgType::LoginResponse: {
                auto response = DecodeBody<MsgLoginResponse>(frame.body);
                if (response && response->result == 0) {
                    userId = response->loginInfo.userId;
                    loggedIn = true;
                }
                break;
            }
            case MsgType::Relay:
                if (onRelay) {
                    if (auto relay = DecodeBody<MsgRelay>(frame.body)) {
                        onRelay(*relay);
                    }
                }
                break;
            default:
                break;
        }
    }
    void OnLinkClosed(Link&, const std::string&) override { closed = true; }
};

bool RunUntil(asio::io_context& io, const std::function<bool()>& done,
              std::chrono::seconds limit = std::chrono::seconds(30)) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > deadline) {
            return false;
        }
        io.run_one_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::vector<std::unique_ptr<Client>> Join(asio::io_context& io, uint16_t port, size_t count) {
    std::vector<std::unique_ptr<Client>> clients;
    const asio::ip::tcp::endpoint endpoint(asio::ip::make_address("127.0.0.1"), port);
    for (size_t i = 0; i < count; ++i) {
        auto client = std::make_unique<Client>();
        asio::ip::tcp::socket socket(io);
        socket.connect(endpoint);
        client->link = std::make_shared<Link>(std::move(socket), "bench");
        client->link->Start(client.get());
        client->link->SendMessage(MsgHello{});
        MsgLoginRequest login;
        login.confId = 900001;
        login.name = "bench" + std::to_string(i);
        login.mode = 1;
        login.clientVersion = 100;
        client->link->SendMessage(login);
        clients.push_back(std::move(client));
    }
    RunUntil(io, [&] {
        return std::all_of(clients.begin(), clients.end(),
                           [](const auto& client) { return client->loggedIn; });
    });
    return clients;
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()))];
}

Bytes Stamped(size_t size) {
    Bytes payload(size, 0x5A);
    const int64_t now = Clock::now().time_since_epoch().count();
    std::memcpy(payload.data(), &now, sizeof now);
    return payload;
}

double AgeMicroseconds(const Bytes& payload) {
    int64_t sent = 0;
    std::memcpy(&sent, payload.data(), sizeof sent);
    return static_cast<double>(Clock::now().time_since_epoch().count() - sent) / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
    size_t messagesPerClient = 2000;
    size_t rounds = 300;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--messages") == 0) {
            messagesPerClient = std::strtoul(argv[i + 1], nullptr, 10);
        } else if (std::strcmp(argv[i], "--rounds") == 0) {
            rounds = std::strtoul(argv[i + 1], nullptr, 10);
        }
    }
    const std::string folder = std::filesystem::temp_directory_path().string();
    std::printf("%8s %14s %14s %16s %16s %14s\n", "clients", "latency p50", "latency p99",
                "relayed msg/s", "deliveries/s", "server KiB/cl");
    for (size_t count : {2u, 16u, 64u}) {
        Server server = StartServer(folder);
        if (server.conferencePort == 0) {
            std::fprintf(stderr, "yavserver did not start (run from the program folder)\n");
            return 1;
        }
        asio::io_context io;
        const long idleKiB = ResidentKiB(server.pid);
        auto clients = Join(io, server.conferencePort, count);
        RunUntil(
            io, [] { return false; }, std::chrono::seconds(0));
        const long joinedKiB = ResidentKiB(server.pid);

        // Latency: one 64-byte message to everybody, wait for every copy.
        std::vector<double> latencies;
        size_t received = 0;
        for (auto& client : clients) {
            client->onRelay = [&](const MsgRelay& relay) {
                latencies.push_back(AgeMicroseconds(relay.payload));
                ++received;
            };
        }
        for (size_t round = 0; round < rounds; ++round) {
            received = 0;
            Client& sender = *clients[round % clients.size()];
            sender.link->SendMessage(MsgTransmit{0, 257, Stamped(64)});
            RunUntil(io, [&] { return received >= count - 1; });
        }

        // Throughput: every client sends its share back to back, windowed so that at most
        // 20000 copies are on their way (the bench's one reading thread must keep up, or the
        // server would rightly drop its slow readers).
        size_t delivered = 0;
        for (auto& client : clients) {
            client->onRelay = [&](const MsgRelay&) { ++delivered; };
        }
        const size_t total = messagesPerClient * count;
        const size_t expected = total * (count - 1);
        const auto start = Clock::now();
        size_t sent = 0;
        constexpr size_t kWindow = 20000;
        auto lastProgress = Clock::now();
        size_t lastDelivered = 0;
        while (sent < total) {
            if (delivered != lastDelivered) {
                lastDelivered = delivered;
                lastProgress = Clock::now();
            } else if (Clock::now() - lastProgress > std::chrono::seconds(10)) {
                break;  // copies were lost (dropped clients); reported below
            }
            for (auto& client : clients) {
                if (sent < total && sent * (count - 1) - delivered < kWindow) {
                    client->link->SendMessage(MsgTransmit{0, 257, Bytes(64, 1)});
                    ++sent;
                }
            }
            if (sent * (count - 1) - delivered >= kWindow) {
                io.run_one_for(std::chrono::milliseconds(1));
            }
            io.poll();
        }
        RunUntil(
            io, [&] { return delivered >= expected; }, std::chrono::seconds(120));
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

        const auto dropped = std::count_if(clients.begin(), clients.end(),
                                           [](const auto& client) { return client->closed; });
        if (dropped > 0 || delivered < expected) {
            std::printf("   (%ld clients dropped, %zu of %zu copies delivered)\n",
                        static_cast<long>(dropped), delivered, expected);
        }
        std::printf("%8zu %11.0f us %11.0f us %16.0f %16.0f %14.1f\n", count,
                    Percentile(latencies, 0.5), Percentile(latencies, 0.99), total / seconds,
                    delivered / seconds,
                    static_cast<double>(joinedKiB - idleKiB) / static_cast<double>(count));
        std::fflush(stdout);
        for (auto& client : clients) {
            client->link->Detach();
            client->link->Close("bench done");
        }
        io.poll();
        StopServer(server);
    }
    return 0;
}

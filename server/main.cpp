// yavserver: the data server, conference server and probe echo the client talks to.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include "YavServer.h"
#include "platform/core/Log.h"

namespace {

yav::server::YavServer* g_server = nullptr;

void Usage() {
    std::fprintf(stderr,
                 "usage: yavserver [--ini FILE] [--bind ADDRESS] [--announce ADDRESS]\n"
                 "                 [--ds-port N] [--cs-port N] [--probe-port N] [--media-port N]\n"
                 "                 [--heartbeat-ms N] [--timeout-ms N] [--hello-timeout-ms N]\n"
                 "                 [--port-file FILE] [--speaking-mode open|moderated]\n"
                 "                 [--log-config FILE]\n"
                 "Ports default to 8875 (data), 8876 (conference), 8000 (probe), 8877 (media\n"
                 "relay, UDP and TCP); 0 picks a free port, written with --port-file as\n"
                 "'ds cs probe media'. SIGUSR1 restarts the media relay on its port (every\n"
                 "media session ends, conferences go on).\n"
                 "--speaking-mode sets every conference's speaking mode (the built-in demo is an\n"
                 "open discussion: everybody speaks and is seen on entry; moderated: the chair\n"
                 "gives the floor and chooses the broadcasts).\n"
                 "Logs information and above to standard error; --log-config FILE (a log4cpp\n"
                 "properties file) sets other levels and appenders.\n");
}

bool ParsePort(const char* text, uint16_t& out) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!end || *end != 0 || value < 0 || value > 65535) {
        return false;
    }
    out = static_cast<uint16_t>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string iniPath;
    std::string portFile;
    std::string logConfig;
    struct Overrides {
        const char* bind = nullptr;
        const char* announce = nullptr;
        int ds = -1, cs = -1, probe = -1, media = -1;
        long heartbeat = -1, timeout = -1, hello = -1;
        int speakingMode = -1;
    } overrides;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        uint16_t port = 0;
        if (option == "--help" || option == "-h") {
            Usage();
            return 0;
        }
        if (!value) {
            Usage();
            return 2;
        }
        ++i;
        if (option == "--ini") {
            iniPath = value;
        } else if (option == "--bind") {
            overrides.bind = value;
        } else if (option == "--announce") {
            overrides.announce = value;
        } else if (option == "--port-file") {
            portFile = value;
        } else if (option == "--log-config") {
            logConfig = value;
        } else if (option == "--speaking-mode" &&
                   (std::strcmp(value, "open") == 0 || std::strcmp(value, "moderated") == 0)) {
            overrides.speakingMode = std::strcmp(value, "moderated") == 0 ? 1 : 0;
        } else if (option == "--heartbeat-ms") {
            overrides.heartbeat = std::strtol(value, nullptr, 10);
        } else if (option == "--timeout-ms") {
            overrides.timeout = std::strtol(value, nullptr, 10);
        } else if (option == "--hello-timeout-ms") {
            overrides.hello = std::strtol(value, nullptr, 10);
        } else if ((option == "--ds-port" || option == "--cs-port" || option == "--probe-port" ||
                    option == "--media-port") &&
                   ParsePort(value, port)) {
            (option == "--ds-port"      ? overrides.ds
             : option == "--cs-port"    ? overrides.cs
             : option == "--probe-port" ? overrides.probe
                                        : overrides.media) = port;
        } else {
            Usage();
            return 2;
        }
    }
    // Information and above go to standard error unless a log configuration says otherwise.
    yav::log::ConfigureStandardError(yav::log::Level::Info);
    if (!logConfig.empty() && !yav::log::ConfigureFromFile(logConfig)) {
        YLOG_WARN("cannot use the log configuration %s, logging to standard error",
                  logConfig.c_str());
    }

    yav::server::ServerConfig config;
    if (iniPath.empty()) {
        config = yav::server::DemoConfig();
    } else {
        auto loaded = yav::server::LoadConfig(iniPath);
        if (!loaded) {
            std::fprintf(stderr, "yavserver: cannot use %s\n", iniPath.c_str());
            return 1;
        }
        config = std::move(*loaded);
    }
    if (overrides.bind)
        config.bindAddress = overrides.bind;
    if (overrides.announce)
        config.announceAddress = overrides.announce;
    if (overrides.ds >= 0)
        config.dataPort = static_cast<uint16_t>(overrides.ds);
    if (overrides.cs >= 0)
        config.conferencePort = static_cast<uint16_t>(overrides.cs);
    if (overrides.probe >= 0)
        config.probePort = static_cast<uint16_t>(overrides.probe);
    if (overrides.media >= 0)
        config.mediaPort = static_cast<uint16_t>(overrides.media);
    if (overrides.speakingMode >= 0) {
        for (auto& conference : config.conferences) {
            conference.speakingMode = static_cast<uint8_t>(overrides.speakingMode);
        }
    }
    if (overrides.heartbeat > 0)
        config.heartbeat = std::chrono::milliseconds(overrides.heartbeat);
    if (overrides.timeout > 0)
        config.timeout = std::chrono::milliseconds(overrides.timeout);
    if (overrides.hello > 0)
        config.helloTimeout = std::chrono::milliseconds(overrides.hello);

    yav::server::YavServer server(std::move(config));
    if (!server.Open()) {
        std::fprintf(stderr, "yavserver: cannot open its ports\n");
        return 1;
    }
    if (!portFile.empty()) {
        // Written to a temporary name and renamed, so a reader never sees half a line.
        const std::string partial = portFile + ".part";
        std::ofstream(partial) << server.DataPort() << ' ' << server.ConferencePort() << ' '
                               << server.ProbePort() << ' ' << server.MediaPort() << '\n';
        std::rename(partial.c_str(), portFile.c_str());
    }
    std::printf("yavserver listening: data %u, conference %u, probe %u, media %u\n",
                server.DataPort(), server.ConferencePort(), server.ProbePort(), server.MediaPort());
    std::fflush(stdout);
    g_server = &server;
    std::signal(SIGINT, [](int) {
        if (g_server) {
            g_server->Io().stop();
        }
    });
    std::signal(SIGTERM, [](int) {
        if (g_server) {
            g_server->Io().stop();
        }
    });
    // The media relay restarts on SIGUSR1, on the server's own thread.
    asio::signal_set restartRelay(server.Io(), SIGUSR1);
    std::function<void()> awaitRestart = [&] {
        restartRelay.async_wait([&](const asio::error_code& error, int) {
            if (!error) {
                const bool restarted = server.RestartMediaRelay();
                std::printf("yavserver: media relay %s\n",
                            restarted ? "restarted" : "could not bind its port again");
                std::fflush(stdout);
                awaitRestart();
            }
        });
    };
    awaitRestart();
    server.Run();
    g_server = nullptr;
    yav::log::Shutdown();
    return 0;
}

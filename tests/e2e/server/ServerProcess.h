#pragma once
// Starts the yavserver executable of the program folder on free loopback ports (it writes
// them to a port file) and stops it again.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "support/WaitUntil.h"

namespace yav::test {

class ServerProcess {
public:
    // extraArgs are appended to the command line (e.g. an INI file).
    explicit ServerProcess(std::vector<std::string> extraArgs = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Started and its ports known.
    bool Ready() const { return dataPort_ != 0; }
    uint16_t DataPort() const { return dataPort_; }
    uint16_t ConferencePort() const { return conferencePort_; }
    uint16_t ProbePort() const { return probePort_; }
    uint16_t MediaPort() const { return mediaPort_; }
    // Freezes the server (SIGSTOP): its sockets stay open but nothing answers.
    void Freeze();
    // Restarts its media relay (SIGUSR1): every media session ends, the conferences go on.
    void RestartMediaRelay();
    // Stops the server (SIGTERM, then waits); true when it ended by itself.
    bool Stop();
    // The server's standard output and error so far (the output first).
    std::string Output() const;
    std::string StandardOutput() const;
    std::string StandardError() const;

private:
    pid_t pid_ = -1;
    std::string folder_;
    uint16_t dataPort_ = 0;
    uint16_t conferencePort_ = 0;
    uint16_t probePort_ = 0;
    uint16_t mediaPort_ = 0;
};

}  // namespace yav::test

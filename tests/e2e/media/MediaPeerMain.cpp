// A participant with real media in a process of its own, for tests that kill one:
//   media_peer CS_PORT MEDIA_PORT NAME TCP(0|1)
// prints "ready ID" once the relay has taken its channel and media flows, then keeps sending
// until it is killed (or two minutes have passed).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "MediaPeer.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: media_peer CS_PORT MEDIA_PORT NAME TCP\n");
        return 2;
    }
    yav::test::MediaPeerOptions options;
    options.conferencePort = static_cast<uint16_t>(std::atoi(argv[1]));
    options.mediaPort = static_cast<uint16_t>(std::atoi(argv[2]));
    options.name = argv[3];
    options.tcp = std::atoi(argv[4]) != 0;
    yav::test::MediaPeer peer(options);
    if (!peer.LoggedIn()) {
        std::fprintf(stderr, "media_peer: login failed\n");
        return 1;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    bool announced = false;
    while (std::chrono::steady_clock::now() < end) {
        if (!announced && peer.ServerConnected() == 1 && peer.StreamConnected() == 1) {
            std::printf("ready %u\n", peer.Id());
            std::fflush(stdout);
            announced = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

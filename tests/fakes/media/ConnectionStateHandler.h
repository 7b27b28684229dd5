#pragma once
// A media handler that keeps the relay connection states a channel reports (-1 before the
// first report); every other event is ignored.

#include <atomic>

#include "components/KroMedia/IKroMedia.h"

namespace fakes {

struct ConnectionStateHandler final : public kromedia::IMediaHandler {
    std::atomic<int> server{-1};
    std::atomic<int> stream{-1};
    void OnMediaServerConnected(int c) override { server = c; }
    void OnStreamServerConnected(int c) override { stream = c; }
    void OnMediaEvent3010(int, int) override {}
    void* GetLocalVideo(int, int) override { return nullptr; }
    void OnMediaEvent3013(int, int) override {}
    void OnMediaEvent300F(int) override {}
    void OnMediaEvent3012(int) override {}
    void OnMediaEvent3018(int) override {}
};

}  // namespace fakes

#include "ReconnectWorker.h"

#include "platform/core/Log.h"

ReconnectWorker::~ReconnectWorker() {
    if (!IsDone()) {
        RequestStop();
    }
    thread_.Join();
}

void ReconnectWorker::Stop() {
    if (!IsDone()) {
        RequestStop();
    }
    thread_.Join();
}

bool ReconnectWorker::Start(ReLoginFn reLogin, ReconnectedFn reconnected,
                            std::uint32_t intervalMs) {
    if (!IsDone()) {
        return false;
    }
    thread_.Join();  // the previous loop has left; release its thread
    // A give-up pressed while no loop ran must not end the next loop at once.
    stopEvent_.Reset();
    done_.store(0);
    const bool started = thread_.Start(
        [this, reLogin = std::move(reLogin), reconnected = std::move(reconnected), intervalMs] {
            return ConnectServerProgress(reLogin, reconnected, intervalMs);
        });
    if (!started) {
        done_.store(1);
    }
    return started;
}

std::uint32_t ReconnectWorker::ConnectServerProgress(const ReLoginFn& reLogin,
                                                     const ReconnectedFn& reconnected,
                                                     std::uint32_t intervalMs) {
    YLOG_DEBUG("Enter ConnectServerProgress");
    for (;;) {
        if (stopEvent_.Wait(intervalMs)) {
            YLOG_DEBUG("退出重连线程");
            break;
        }
        const int ret = reLogin ? reLogin() : -1;
        if (ret == 0) {
            YLOG_DEBUG("重连线程重连成功");
            if (reconnected) {
                reconnected();
            }
            break;
        }
        YLOG_DEBUG("ReLoginCS ret=0x%x", static_cast<unsigned>(ret));
    }
    done_.store(1);
    YLOG_DEBUG("Leave ConnectServerProgress");
    return 0;
}

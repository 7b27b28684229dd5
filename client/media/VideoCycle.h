#pragma once
// Rotates remote videos through a set of video windows: every interval each window of the
// cycle is switched to the next selected media id of a queue.
//
// Threads: the cycle's own thread only computes. It takes the next selected id for each
// listed window that could show it and posts "assign this id to this window" to the UI thread,
// where the assignment is checked (the window is still listed, its picture is usable) and
// handed to the room. Whether a window can show a picture is asked on the UI thread (when the
// window is added and after every rotation) and kept in the window list for the thread. No
// window and no layout is touched from the cycle's thread. Lock order when two are held:
// windows, then queue, then selection; no lock is held while the thread is joined or while the
// room is called.

#include <atomic>
#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "client/Common/XThread.h"
#include "platform/core/CriticalSection.h"
#include "platform/core/Event.h"

class ICsUserManager;
class IVideoCycleHost;
class IVideoWindow;
class QObject;

class CVideoCycle : public XThread {
public:
    static constexpr std::uint32_t kDefaultIntervalMs = 6000;
    static constexpr std::uint32_t kMinIntervalMs = 10000;
    static constexpr std::uint32_t kMaxIntervalMs = 500000;
    // The first rotation comes this long after the thread starts.
    static constexpr std::uint32_t kFirstWaitMs = 100;

    // Created on the UI thread: posted assignments run on the thread that made the cycle.
    CVideoCycle();
    ~CVideoCycle() override;

    // The participant list users are looked up in; nothing is queued while it is null.
    int SetSource(ICsUserManager* source);
    // The room that assignments are handed to (UI thread).
    void SetHost(IVideoCycleHost* host);

    // Stores the interval clamped to [10000, 500000] ms.
    void SetInterval(std::uint32_t intervalMs);
    std::uint32_t GetInterval() const { return m_dwInterval.load(); }

    void AddCycleWindow(IVideoWindow* window, int slot);
    void RemoveCycleWindow(IVideoWindow* window);
    bool IsCycleWindow(IVideoWindow* window);

    void PushBack(std::uint16_t wMediaId);
    void AddUserChannels(std::uint16_t wUserId);
    void RemoveUserChannels(std::uint16_t wUserId);
    void RemoveMediaId(std::uint16_t wMediaId);

    bool HasFilterUser(std::uint16_t wMediaId);
    void AddFilterUser(std::uint16_t wMediaId);
    void RemoveFilterUser(std::uint16_t wMediaId);
    // With the filter in use, ids queued for newly seen users are not selected on their own.
    void SetUseFilter(bool useFilter);
    // Number of queued ids that are selected.
    int GetSelectedCount();

    // Ends the cycle: every listed window leaves cycling and the list is emptied; with clear
    // the queue and the selection are emptied too. The thread is joined.
    void Stop(bool clear);
    bool IsRunning() const { return m_bRunning.load(); }

    // A copy of the queue in rotation order.
    std::vector<std::uint16_t> GetQueue();
    // Number of rotations the thread has run since the cycle was made.
    std::uint32_t GetRotationCount() const { return m_nRotations.load(); }

protected:
    std::uint32_t Run() override;

private:
    struct CycleWindow {
        IVideoWindow* window = nullptr;
        int slot = 0;
        // The window could show a picture when last asked (UI thread).
        bool usable = true;
    };
    struct Assignment {
        IVideoWindow* window = nullptr;
        std::uint16_t wMediaId = 0;
        std::uint32_t rotation = 0;
    };

    // Thread side.
    void Rotate();
    void DoRecvNextVideo(IVideoWindow* window, std::uint64_t generation, std::uint32_t rotation);
    void PostToUi(std::uint64_t generation, std::uint64_t ticket);

    // UI side.
    static bool CanShowPicture(IVideoWindow* window);
    void RefreshUsableWindows();
    void ApplyAssignment(std::uint64_t generation, std::uint64_t ticket);
    void FinishRotation(std::uint64_t generation);
    // Puts an id taken in the rotation back at the queue's front, behind the ids given back
    // before it in the same rotation, so that they keep their order.
    void ReturnToQueueLocked(std::uint16_t wMediaId, std::uint32_t rotation);

    bool IsQueuedLocked(std::uint16_t wMediaId) const;
    void EraseQueuedLocked(std::uint16_t wMediaId);
    bool IsSelected(std::uint16_t wMediaId);
    void StopThread();

    ICsUserManager* m_pSource = nullptr;
    IVideoCycleHost* m_pHost = nullptr;

    yav::CriticalSection m_csWindows;
    yav::CriticalSection m_csQueue;
    yav::CriticalSection m_csSelection;

    std::deque<std::uint16_t> m_queue;               // under m_csQueue
    std::list<CycleWindow> m_lsDlgBase;              // under m_csWindows
    std::set<std::uint16_t> m_selection;             // under m_csSelection
    std::map<std::uint64_t, Assignment> m_inFlight;  // posted, not yet applied; under m_csQueue
    std::uint64_t m_nextTicket = 0;                  // under m_csQueue
    std::uint32_t m_returnRotation = 0;              // under m_csQueue
    std::size_t m_nReturned = 0;                     // given back in m_returnRotation
    std::atomic<std::uint64_t> m_generation{0};      // changed under m_csWindows

    std::atomic<bool> m_bRunning{false};
    std::atomic<std::uint32_t> m_dwInterval{kDefaultIntervalMs};
    std::atomic<bool> m_bNoAutoSelect{false};
    std::atomic<std::uint32_t> m_nRotations{0};

    yav::Event m_evStop{false, true};
    yav::Event m_evWake{false, true};

    // Receiver of the posted calls, living on the UI thread; destroyed first, so calls still
    // queued for a destroyed cycle are dropped.
    std::unique_ptr<QObject> m_uiContext;
};

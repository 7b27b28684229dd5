#include "client/media/VideoCycle.h"

#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <iterator>
#include <string_view>

#include "ICsUserManager.h"
#include "client/Common/XAutoCritical.h"
#include "client/media/IVideoCycleHost.h"
#include "client/roomapi/IVideoWindow.h"
#include "platform/core/Log.h"

namespace {

// Channels 0..6 are camera channels; channel 7 carries shared media and never cycles.
constexpr int kCameraChannels = 7;

// Participants with this text in their name stand for the conference's broadcast picture,
// which is never rotated away.
constexpr std::u16string_view kBroadcastPictureName = u"会议广播画面";

}  // namespace

CVideoCycle::CVideoCycle() : m_uiContext(std::make_unique<QObject>()) {}

CVideoCycle::~CVideoCycle() {
    Stop(true);
}

int CVideoCycle::SetSource(ICsUserManager* source) {
    XAutoCritical lock(&m_csQueue);
    m_pSource = source;
    return 1;
}

void CVideoCycle::SetHost(IVideoCycleHost* host) {
    m_pHost = host;
}

void CVideoCycle::SetInterval(std::uint32_t intervalMs) {
    m_dwInterval = std::min(std::max(intervalMs, kMinIntervalMs), kMaxIntervalMs);
}

void CVideoCycle::AddCycleWindow(IVideoWindow* window, int slot) {
    YLOG_DEBUG("Enter AddCycleWindow");
    const bool usable = CanShowPicture(window);
    {
        XAutoCritical lock(&m_csWindows);
        const bool listed =
            std::any_of(m_lsDlgBase.begin(), m_lsDlgBase.end(),
                        [window](const CycleWindow& w) { return w.window == window; });
        if (!listed) {
            m_lsDlgBase.push_back(CycleWindow{window, slot, usable});
            YLOG_DEBUG("m_lsDlgBase.push_back(), pDlgBase:%p:%d", static_cast<void*>(window), slot);
        }
        if (!m_bRunning) {
            m_bRunning = true;
            YLOG_DEBUG("CVideoCycle::AddCycleWindow StartThread");
            Start();
        }
    }
    YLOG_DEBUG("Leave AddCycleWindow");
}

void CVideoCycle::RemoveCycleWindow(IVideoWindow* window) {
    YLOG_DEBUG("Enter RemoveCycleWindow");
    bool stopThread = false;
    {
        XAutoCritical lock(&m_csWindows);
        m_lsDlgBase.remove_if([window](const CycleWindow& w) { return w.window == window; });
        if (m_lsDlgBase.empty() && m_bRunning) {
            m_bRunning = false;
            m_evStop.Set();
            stopThread = true;
        }
    }
    // Joined without the windows lock: the thread may be waiting for it.
    if (stopThread) {
        StopThread();
    }
    YLOG_DEBUG("Leave RemoveCycleWindow");
}

bool CVideoCycle::IsCycleWindow(IVideoWindow* window) {
    XAutoCritical lock(&m_csWindows);
    return std::any_of(m_lsDlgBase.begin(), m_lsDlgBase.end(),
                       [window](const CycleWindow& w) { return w.window == window; });
}

bool CVideoCycle::IsQueuedLocked(std::uint16_t wMediaId) const {
    return std::find(m_queue.begin(), m_queue.end(), wMediaId) != m_queue.end();
}

void CVideoCycle::EraseQueuedLocked(std::uint16_t wMediaId) {
    m_queue.erase(std::remove(m_queue.begin(), m_queue.end(), wMediaId), m_queue.end());
}

void CVideoCycle::PushBack(std::uint16_t wMediaId) {
    if (wMediaId == 0) {
        return;
    }
    YLOG_DEBUG("PushBack wMediaID:%d", wMediaId);
    XAutoCritical lock(&m_csQueue);
    if (m_pSource == nullptr || IsQueuedLocked(wMediaId)) {
        return;
    }
    std::shared_ptr<ST_USER_ITEM_DEPT> user;
    if (!m_pSource->GetUser(user, UserOf(wMediaId), 1) || !user) {
        return;
    }
    if ((user->channelMask & (1u << (wMediaId & 7u))) == 0) {
        return;
    }
    const std::u16string_view name(
        user->name,
        std::find(std::begin(user->name), std::end(user->name), u'\0') - std::begin(user->name));
    if (name.find(kBroadcastPictureName) != std::u16string_view::npos) {
        return;
    }
    m_queue.push_back(wMediaId);
}

void CVideoCycle::AddUserChannels(std::uint16_t wUserId) {
    ICsUserManager* source = nullptr;
    {
        XAutoCritical lock(&m_csQueue);
        source = m_pSource;
    }
    if (source == nullptr) {
        return;
    }
    std::shared_ptr<ST_USER_ITEM_DEPT> user;
    if (!source->GetUser(user, wUserId, 1) || !user) {
        return;
    }
    for (int channel = 0; channel < kCameraChannels; ++channel) {
        if ((user->channelMask & (1u << channel)) == 0) {
            continue;
        }
        const auto wMediaId = static_cast<std::uint16_t>(user->userId + channel);
        if (!m_bNoAutoSelect) {
            AddFilterUser(wMediaId);
        }
        PushBack(wMediaId);
    }
}

void CVideoCycle::RemoveUserChannels(std::uint16_t wUserId) {
    const std::uint16_t base = UserOf(wUserId);
    for (int channel = 0; channel < kCameraChannels; ++channel) {
        const auto wMediaId = static_cast<std::uint16_t>(base + channel);
        RemoveMediaId(wMediaId);
        RemoveFilterUser(wMediaId);
    }
}

void CVideoCycle::RemoveMediaId(std::uint16_t wMediaId) {
    {
        XAutoCritical lock(&m_csQueue);
        EraseQueuedLocked(wMediaId);
        // A posted assignment of the id is dropped when it arrives.
        std::erase_if(m_inFlight,
                      [wMediaId](const auto& item) { return item.second.wMediaId == wMediaId; });
    }
    std::vector<CycleWindow> windows;
    {
        XAutoCritical lock(&m_csWindows);
        windows.assign(m_lsDlgBase.begin(), m_lsDlgBase.end());
    }
    for (const CycleWindow& entry : windows) {
        IVideoWindow* window = entry.window;
        if (window->GetMediaId() == wMediaId) {
            window->SetMediaId(0, false);
            if (m_pHost != nullptr) {
                m_pHost->StopRecvVideo(wMediaId);
            }
            XAutoCritical lock(&m_csQueue);
            EraseQueuedLocked(wMediaId);
            break;
        }
        if (window->GetUserId() == wMediaId) {
            window->SetUserId(0);
            window->SetMediaId(0, true);
            if (m_pHost != nullptr) {
                m_pHost->StopRecvVideo(wMediaId);
                m_pHost->SetLayoutSlotMediaId(entry.slot, 0);
                m_pHost->SendSyncWndLayout(1);
            }
            break;
        }
    }
    YLOG_DEBUG("移除正在轮循的视频 wMediaID = %d end", wMediaId);
}

bool CVideoCycle::HasFilterUser(std::uint16_t wMediaId) {
    return IsSelected(wMediaId);
}

bool CVideoCycle::IsSelected(std::uint16_t wMediaId) {
    XAutoCritical lock(&m_csSelection);
    return m_selection.count(wMediaId) != 0;
}

void CVideoCycle::AddFilterUser(std::uint16_t wMediaId) {
    XAutoCritical lock(&m_csSelection);
    m_selection.insert(wMediaId);
}

void CVideoCycle::RemoveFilterUser(std::uint16_t wMediaId) {
    XAutoCritical lock(&m_csSelection);
    m_selection.erase(wMediaId);
}

void CVideoCycle::SetUseFilter(bool useFilter) {
    m_bNoAutoSelect = useFilter;
}

int CVideoCycle::GetSelectedCount() {
    XAutoCritical queueLock(&m_csQueue);
    XAutoCritical selectionLock(&m_csSelection);
    return static_cast<int>(std::count_if(m_queue.begin(), m_queue.end(), [this](std::uint16_t id) {
        return m_selection.count(id) != 0;
    }));
}

std::vector<std::uint16_t> CVideoCycle::GetQueue() {
    XAutoCritical lock(&m_csQueue);
    return {m_queue.begin(), m_queue.end()};
}

void CVideoCycle::Stop(bool clear) {
    m_bRunning = false;
    m_evStop.Set();
    std::vector<CycleWindow> windows;
    {
        XAutoCritical windowsLock(&m_csWindows);
        // Assignments posted before this point are dropped when they arrive; their ids go back
        // to the front of the queue in their order.
        ++m_generation;
        windows.assign(m_lsDlgBase.begin(), m_lsDlgBase.end());
        m_lsDlgBase.clear();
        XAutoCritical queueLock(&m_csQueue);
        for (const auto& [ticket, assignment] : m_inFlight) {
            ReturnToQueueLocked(assignment.wMediaId, assignment.rotation);
        }
        m_inFlight.clear();
    }
    for (const CycleWindow& entry : windows) {
        entry.window->StopCycling(false);
    }
    if (clear) {
        {
            XAutoCritical lock(&m_csQueue);
            m_queue.clear();
        }
        XAutoCritical lock(&m_csSelection);
        m_selection.clear();
    }
    StopThread();
}

void CVideoCycle::StopThread() {
    Join();
}

std::uint32_t CVideoCycle::Run() {
    YLOG_DEBUG("Enter CVideoCycle::ThreadProc");
    m_evStop.Reset();
    std::uint32_t waitMs = kFirstWaitMs;
    while (m_bRunning) {
        const int signalled = yav::WaitForAny({&m_evStop, &m_evWake}, waitMs);
        if (signalled == 0) {
            break;
        }
        if (signalled == yav::kWaitTimeout) {
            waitMs = m_dwInterval;
            Rotate();
        }
        // The wake event only restarts the wait with the same time.
    }
    YLOG_DEBUG("CVideoCycle::ThreadProc Exit");
    return 0;
}

void CVideoCycle::Rotate() {
    XAutoCritical lock(&m_csWindows);
    if (!m_bRunning) {
        return;
    }
    const std::uint64_t generation = m_generation;
    const std::uint32_t rotation = m_nRotations + 1;
    // A window that cannot show a picture takes nothing: the next one gets the id.
    for (const CycleWindow& entry : m_lsDlgBase) {
        if (entry.usable) {
            DoRecvNextVideo(entry.window, generation, rotation);
        }
    }
    ++m_nRotations;
    QMetaObject::invokeMethod(
        m_uiContext.get(), [this, generation] { FinishRotation(generation); },
        Qt::QueuedConnection);
}

// Thread side: takes the window's next id out of the queue and posts the assignment. The
// window itself is not touched here.
void CVideoCycle::DoRecvNextVideo(IVideoWindow* window, std::uint64_t generation,
                                  std::uint32_t rotation) {
    YLOG_DEBUG("Enter DoRecvNextVideo, pDlgBase:%p", static_cast<void*>(window));
    std::uint64_t ticket = 0;
    {
        XAutoCritical lock(&m_csQueue);
        auto it = std::find_if(m_queue.begin(), m_queue.end(),
                               [this](std::uint16_t id) { return IsSelected(id); });
        if (it == m_queue.end()) {
            YLOG_DEBUG("没找到可以轮循的视频");
            return;
        }
        ticket = ++m_nextTicket;
        m_inFlight[ticket] = Assignment{window, *it, rotation};
        m_queue.erase(it);
    }
    PostToUi(generation, ticket);
}

void CVideoCycle::PostToUi(std::uint64_t generation, std::uint64_t ticket) {
    QMetaObject::invokeMethod(
        m_uiContext.get(), [this, generation, ticket] { ApplyAssignment(generation, ticket); },
        Qt::QueuedConnection);
}

// UI side: the assignment goes to the room only when it is still wanted, the window is still
// in the cycle and its picture can be shown; otherwise the id returns to the queue front.
void CVideoCycle::ApplyAssignment(std::uint64_t generation, std::uint64_t ticket) {
    Assignment assignment;
    {
        XAutoCritical lock(&m_csQueue);
        auto it = m_inFlight.find(ticket);
        if (it == m_inFlight.end()) {
            return;
        }
        assignment = it->second;
        m_inFlight.erase(it);
    }
    IVideoWindow* window = assignment.window;
    if (generation != m_generation || !IsCycleWindow(window) || !CanShowPicture(window) ||
        m_pHost == nullptr) {
        XAutoCritical lock(&m_csQueue);
        ReturnToQueueLocked(assignment.wMediaId, assignment.rotation);
        return;
    }
    std::uint16_t oldMediaId = 0;
    m_pHost->AssignChannelToWindow(window, assignment.wMediaId, &oldMediaId);
}

void CVideoCycle::FinishRotation(std::uint64_t generation) {
    RefreshUsableWindows();
    if (generation == m_generation && m_pHost != nullptr) {
        m_pHost->SendSyncWndLayout(1);
    }
}

bool CVideoCycle::CanShowPicture(IVideoWindow* window) {
    return window->CanShowCaption() && window->GetClientHeight() >= 2;
}

// UI side: asks every listed window whether it can show a picture, for the next rotation. The
// windows are asked without the lock; a window removed meanwhile is simply not updated.
void CVideoCycle::RefreshUsableWindows() {
    std::vector<CycleWindow> windows;
    {
        XAutoCritical lock(&m_csWindows);
        windows.assign(m_lsDlgBase.begin(), m_lsDlgBase.end());
    }
    for (CycleWindow& entry : windows) {
        entry.usable = CanShowPicture(entry.window);
    }
    XAutoCritical lock(&m_csWindows);
    for (CycleWindow& listed : m_lsDlgBase) {
        const auto it = std::find_if(windows.begin(), windows.end(), [&](const CycleWindow& w) {
            return w.window == listed.window;
        });
        if (it != windows.end()) {
            listed.usable = it->usable;
        }
    }
}

void CVideoCycle::ReturnToQueueLocked(std::uint16_t wMediaId, std::uint32_t rotation) {
    if (rotation != m_returnRotation) {
        m_returnRotation = rotation;
        m_nReturned = 0;
    }
    if (IsQueuedLocked(wMediaId)) {
        return;
    }
    const std::size_t at = std::min(m_nReturned, m_queue.size());
    m_queue.insert(m_queue.begin() + static_cast<std::ptrdiff_t>(at), wMediaId);
    ++m_nReturned;
}

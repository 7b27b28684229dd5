#include "XLayoutManager.h"

#include <QWidget>

#include <algorithm>

#include "ILayoutVideoWnd.h"
#include "LayoutPlaceholders.h"
#include "MediaIdList.h"
#include "VideoCycle.h"
#include "client/roomapi/IVideoWindow.h"
#include "components/KroMedia/IKroMedia.h"
#include "config/AppSettings.h"
#include "platform/core/Log.h"

namespace {

constexpr std::size_t kWindowIdsOffset = 14;
constexpr std::size_t kMaximisedIdOffset = 88;

std::uint16_t ReadU16(std::span<const std::uint8_t, 100> record, std::size_t offset) {
    return static_cast<std::uint16_t>(record[offset] | (record[offset + 1] << 8));
}

void WriteU16(LayoutRecordView record, std::size_t offset, std::uint16_t value) {
    record[offset] = static_cast<std::uint8_t>(value & 0xFF);
    record[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

QRect ToQRect(const yav::layout::Edges& edges) {
    return QRect(edges.left, edges.top, edges.Width(), edges.Height());
}

yav::layout::Edges ToEdges(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

bool IsMediaChannel(std::uint16_t wMediaId) {
    return (wMediaId & 7) == 7;
}

// Where a window stands on the screen, whether it floats or sits in the room.
QRect GlobalRect(QWidget* widget) {
    if (widget->isWindow()) {
        return widget->geometry();
    }
    return QRect(widget->parentWidget()->mapToGlobal(widget->pos()), widget->size());
}

}  // namespace

std::uint16_t RecordWindowId(std::span<const std::uint8_t, 100> record, int slot) {
    if (slot < 0 || slot >= XLayoutManager::kSlots) {
        return 0;
    }
    return ReadU16(record, kWindowIdsOffset + 2 * static_cast<std::size_t>(slot));
}

void SetRecordWindowId(LayoutRecordView record, int slot, std::uint16_t wMediaId) {
    if (slot >= 0 && slot < XLayoutManager::kSlots) {
        WriteU16(record, kWindowIdsOffset + 2 * static_cast<std::size_t>(slot), wMediaId);
    }
}

std::uint16_t RecordMaxId(std::span<const std::uint8_t, 100> record) {
    return ReadU16(record, kMaximisedIdOffset);
}

void SetRecordMaxId(LayoutRecordView record, std::uint16_t wMediaId) {
    WriteU16(record, kMaximisedIdOffset, wMediaId);
}

XLayoutManager::XLayoutManager(ILayoutHost* host, LayoutRecordBytes* record,
                               VideoFactory videoFactory)
    : m_pHost(host), m_pRecord(record), m_videoFactory(std::move(videoFactory)) {
    m_paneFactory = [](QWidget* parent, int rectIndex) -> QWidget* {
        return new yav::layout::PanePlaceholder(parent, rectIndex);
    };
}

XLayoutManager::~XLayoutManager() {
    DestroyWindows();
}

// --- windows ----------------------------------------------------------------------------------

void XLayoutManager::CreateWindows(QWidget* room) {
    m_pParent = room;
    for (int slot = 0; slot < kSlots; ++slot) {
        m_slots[slot] = m_videoFactory(room, slot);
        m_slots[slot]->SetSlotIndex(slot);
        m_slots[slot]->GetWidget()->show();
    }
    m_pDocWnd = m_paneFactory(room, yav::layout::kDocRect);
    m_pMediaPlayWnd = m_paneFactory(room, yav::layout::kMediaPlayRect);
    m_pScreenPlayWnd = m_paneFactory(room, yav::layout::kScreenPlayRect);
    for (QWidget* pane : {m_pDocWnd.data(), m_pMediaPlayWnd.data(), m_pScreenPlayWnd.data()}) {
        if (pane != nullptr) {
            pane->show();
        }
    }
    // Each window takes its place (none while the room has given no areas yet).
    ApplyLayoutMode();
}

void XLayoutManager::DestroyWindows() {
    for (auto& slot : m_slots) {
        slot.reset();
    }
    for (QPointer<QWidget>* pane : {&m_pDocWnd, &m_pMediaPlayWnd, &m_pScreenPlayWnd}) {
        delete pane->data();
        *pane = nullptr;
    }
    m_pMaxWnd = nullptr;
    m_busy.clear();
}

QWidget* XLayoutManager::GetPane(int rectIndex) const {
    switch (rectIndex) {
        case yav::layout::kDocRect:
            return m_pDocWnd;
        case yav::layout::kMediaPlayRect:
            return m_pMediaPlayWnd;
        case yav::layout::kScreenPlayRect:
            return m_pScreenPlayWnd;
        default:
            return nullptr;
    }
}

kromedia::IFrameSink* XLayoutManager::GetMediaPlaySink() {
    return dynamic_cast<kromedia::IFrameSink*>(m_pMediaPlayWnd.data());
}

// --- modes and geometry -----------------------------------------------------------------------

void XLayoutManager::SetWinMode(std::uint8_t mainDisplay, std::uint8_t layoutMode,
                                std::uint8_t mainContent, std::uint8_t sideContent) {
    m_bMainDisplayMode = mainDisplay;
    m_nLayoutMode = layoutMode;
    m_nMainContent = mainContent;
    m_nSideContent = sideContent;
    YLOG_DEBUG("XLayoutManager::SetWinMode :m_bMainDisplayMode:%d", mainDisplay);
}

void XLayoutManager::SetScreenRect(int n, const QRect& rect) {
    if (n >= 0 && n < static_cast<int>(m_areas.size())) {
        m_areas[static_cast<std::size_t>(n)] = rect;
    }
}

bool XLayoutManager::IsAutoLayout() const {
    // A mode outside 1..9 is laid out as mode 8, so it is automatic too.
    const std::uint8_t mode = yav::layout::EffectiveLayoutMode(m_nLayoutMode);
    return m_bMainDisplayMode == 0 && mode >= 6 && mode <= 9;
}

void XLayoutManager::Relayout(bool repaint) {
    ApplyLayoutMode();
    if (m_pHost != nullptr) {
        m_pHost->SendSyncWndLayout(repaint ? 1 : 0);
    }
}

void XLayoutManager::ApplyLayoutMode() {
    yav::layout::LayoutInput input;
    input.mainDisplayMode = m_bMainDisplayMode;
    input.layoutMode = m_nLayoutMode;
    input.mainContent = m_nMainContent;
    input.sideContent = m_nSideContent;
    input.sideArea = ToEdges(m_areas[0]);
    input.videoArea = ToEdges(m_areas[1]);
    input.usedWindows = GetUsedWndCount();
    input.sixOrSevenWinMode = g_AppSettings.bSixOrSevenWinMode != 0;
    m_lastLayout = yav::layout::ComputeLayout(input);
    if (m_lastLayout.pipAsSingle) {
        m_wMainUser = 0;
    }
    m_nCapacity = m_lastLayout.capacity;
    m_nCells = m_lastLayout.cells;
    if (m_lastLayout.autoArrangement != 0) {
        m_nAutoCells = m_lastLayout.autoArrangement;
    }
    ApplyRects();
    // The inset of picture in picture stands above the main window.
    if (m_bMainDisplayMode == 0 && yav::layout::EffectiveLayoutMode(m_nLayoutMode) == 2 &&
        !m_lastLayout.pipAsSingle && m_slots[1] != nullptr) {
        m_slots[1]->GetWidget()->raise();
    }
}

void XLayoutManager::ApplyRects() {
    bool moved = false;
    auto place = [&moved](QWidget* window, const QRect& rect) {
        // A floating window keeps its own place.
        if (window == nullptr || window->isWindow()) {
            return false;
        }
        if (window->geometry() == rect &&
            window->isVisibleTo(window->parentWidget()) == !rect.isEmpty()) {
            return false;
        }
        window->setGeometry(rect);
        window->setVisible(!rect.isEmpty());
        moved = true;
        return true;
    };
    if (place(m_pDocWnd, GetRect(yav::layout::kDocRect)) && m_bMainDisplayMode != 0 &&
        m_pHost != nullptr) {
        m_pHost->SetDocCellCount(m_nCells);
    }
    place(m_pMediaPlayWnd, GetRect(yav::layout::kMediaPlayRect));
    place(m_pScreenPlayWnd, GetRect(yav::layout::kScreenPlayRect));
    for (int slot = 0; slot < kSlots; ++slot) {
        if (m_slots[slot] != nullptr && place(m_slots[slot]->GetWidget(), GetRect(slot))) {
            m_slots[slot]->RelayoutChildren();
        }
    }
    if (moved && m_pParent != nullptr) {
        m_pParent->update(m_areas[1]);
    }
}

QRect XLayoutManager::GetRect(int index) const {
    if (index < 0 || index >= yav::layout::kRectCount) {
        return {};
    }
    return ToQRect(m_lastLayout.rects[static_cast<std::size_t>(index)]);
}

void XLayoutManager::EnsureAutoLayout(bool repaint) {
    const int wanted = yav::layout::WantedAutoArrangement(GetUsedWndCount());
    if (m_nAutoCells != 0 && m_nAutoCells == wanted) {
        return;
    }
    Relayout(repaint);
}

// --- lookups ----------------------------------------------------------------------------------

bool XLayoutManager::IsUsed(ILayoutVideoWnd* window) {
    return window != nullptr && (window->GetUserId() != 0 || window->IsReceiving());
}

int XLayoutManager::GetUsedWndCount() const {
    const bool pip =
        m_bMainDisplayMode == 0 && yav::layout::EffectiveLayoutMode(m_nLayoutMode) == 2;
    int count = 0;
    for (auto& slot : m_slots) {
        if (!IsUsed(slot.get())) {
            continue;
        }
        if (pip && m_wMainUser != 0 && slot->GetUserId() == m_wMainUser) {
            continue;
        }
        ++count;
    }
    return count;
}

int XLayoutManager::LastUsedSlot() {
    for (int slot = kSlots - 1; slot >= 0; --slot) {
        if (IsUsed(m_slots[slot].get())) {
            return slot;
        }
    }
    return -1;
}

ILayoutVideoWnd* XLayoutManager::GetLayoutWnd(int n) {
    return n >= 0 && n < kSlots ? m_slots[n].get() : nullptr;
}

IRoomVideoWindow* XLayoutManager::GetVideoWnd(int index) {
    ILayoutVideoWnd* window = GetLayoutWnd(index);
    return window != nullptr ? window->GetRoomWindow() : nullptr;
}

std::uint16_t XLayoutManager::GetWndMediaId(int index) const {
    return index >= 0 && index < kSlots && m_slots[index] != nullptr ? m_slots[index]->GetUserId()
                                                                     : 0;
}

ILayoutVideoWnd* XLayoutManager::FindVideoWnd(std::uint16_t wMediaId) {
    const int slot = FindWndIndexFrom(0, wMediaId);
    return slot >= 0 ? m_slots[slot].get() : nullptr;
}

int XLayoutManager::FindWndIndexFrom(int start, std::uint16_t wMediaId) const {
    if (wMediaId == 0) {
        return -1;
    }
    for (int slot = std::max(start, 0); slot < kSlots; ++slot) {
        if (m_slots[slot] != nullptr && m_slots[slot]->GetUserId() == wMediaId) {
            return slot;
        }
    }
    return -1;
}

int XLayoutManager::FindNonCycleWndIndex(std::uint16_t wMediaId) {
    if (wMediaId == 0) {
        return -1;
    }
    for (int slot = 0; slot < kSlots; ++slot) {
        ILayoutVideoWnd* window = m_slots[slot].get();
        if (window != nullptr && window->GetUserId() == wMediaId && !IsCycleWindow(window)) {
            return slot;
        }
    }
    return -1;
}

bool XLayoutManager::IsCycleWindow(ILayoutVideoWnd* window) const {
    CVideoCycle* cycle = m_pHost != nullptr ? m_pHost->GetVideoCycle() : nullptr;
    return cycle != nullptr && window != nullptr && window->GetCycleWindow() != nullptr &&
           cycle->IsCycleWindow(window->GetCycleWindow());
}

bool XLayoutManager::IsBusy(const QWidget* window) const {
    return std::find(m_busy.begin(), m_busy.end(), window) != m_busy.end();
}

void XLayoutManager::AddBusy(QWidget* window) {
    if (!IsBusy(window)) {
        m_busy.push_back(window);
    }
}

void XLayoutManager::RemoveBusyWnd(const QWidget* window) {
    m_busy.erase(std::remove(m_busy.begin(), m_busy.end(), window), m_busy.end());
}

// --- received videos --------------------------------------------------------------------------

QWidget* XLayoutManager::AddVideo(std::uint16_t wMediaId, std::uint32_t streamParam,
                                  LayoutRecordView record, LayoutRecordBytes synced) {
    if (wMediaId == 0) {
        return nullptr;
    }
    if (IsMediaChannel(wMediaId)) {
        SetRecordWindowId(record, kSlots - 1, wMediaId);
        return m_pMediaPlayWnd;
    }
    const std::uint16_t lead = m_pHost != nullptr ? m_pHost->GetLeadId() : 0;
    const bool paged = m_pHost != nullptr && m_pHost->IsPagedVideo();
    ILayoutVideoWnd* chosen = nullptr;
    bool alreadyShown = false;

    if (m_pMaxWnd != nullptr && wMediaId == RecordMaxId(record)) {
        chosen = m_pMaxWnd;
        YLOG_DEBUG("XLayoutManager::AddVideo:全屏接收视频wMediaID:%d, n:%d hWnd=0x%x", wMediaId,
                   chosen->GetSlotIndex(), 0);
    }
    if (chosen == nullptr) {
        const int slot = FindNonCycleWndIndex(wMediaId);
        if (slot >= 0) {
            chosen = m_slots[slot].get();
            alreadyShown = true;
            YLOG_DEBUG("XLayoutManager::AddVideo:已接收了该视频wMediaID:%d, n:%d hWnd=0x%x",
                       wMediaId, slot, 0);
        }
    }
    if (chosen == nullptr && !paged && lead != 0) {
        for (int slot = 0; slot < kSlots; ++slot) {
            if (RecordWindowId(synced, slot) != wMediaId) {
                continue;
            }
            ILayoutVideoWnd* window = m_slots[slot].get();
            if (window != nullptr && !IsBusy(window->GetWidget()) && !IsCycleWindow(window) &&
                window->GetUserId() != wMediaId) {
                chosen = window;
                YLOG_DEBUG("同步有该视频wMediaID == m_winLayoutOld.wVideoUserID[n]:%d, wMediaID:%d",
                           RecordWindowId(synced, slot), wMediaId);
            }
            break;
        }
    }
    if (chosen == nullptr) {
        for (int slot = 0; slot < kSlots; ++slot) {
            ILayoutVideoWnd* window = m_slots[slot].get();
            if (window != nullptr && window->GetUserId() == 0 && !IsBusy(window->GetWidget()) &&
                !IsCycleWindow(window)) {
                chosen = window;
                YLOG_DEBUG("XLayoutManager::AddVideo:接收视频wMediaID:%d, n:%d hWnd=0x%x", wMediaId,
                           slot, 0);
                break;
            }
        }
    }
    if (chosen == nullptr) {
        return nullptr;
    }
    if (!alreadyShown) {
        chosen->SetUserId(wMediaId);
    }
    chosen->SetOwnerSlot(streamParam);
    chosen->SetVideoNameVisible(g_AppSettings.ShowDefault != 0);
    SetRecordWindowId(record, chosen->GetSlotIndex(), wMediaId);
    AddBusy(chosen->GetWidget());

    if (wMediaId == lead && chosen->GetSlotIndex() != 0 && m_slots[0] != nullptr) {
        ExchangeDlgVideoEx(m_slots[0].get(), chosen, record);
    }
    if (IsAutoLayout() && !m_bMaxVideo) {
        EnsureAutoLayout(true);
    } else if (m_bMainDisplayMode == 0 && m_nLayoutMode == 2) {
        ApplyLayoutMode();
    }
    return chosen->GetWidget();
}

void XLayoutManager::ClearSlot(int slot, LayoutRecordView record) {
    ILayoutVideoWnd* window = m_slots[slot].get();
    YLOG_INFO("XLayoutManager::DelVideo:停止接收视频wMediaID:%d, nIndex:%d hWnd=0x%x",
              window->GetUserId(), slot, 0);
    window->SetUserId(0);
    window->SetReceiving(false);
    window->SetVideoState(false);
    SetRecordWindowId(record, slot, 0);
    RemoveBusyWnd(window->GetWidget());
}

void XLayoutManager::CloseGap(int freed, LayoutRecordView record) {
    const int last = LastUsedSlot();
    if (freed >= last || m_slots[freed]->IsReceiving()) {
        return;
    }
    if (m_pHost != nullptr && m_pHost->GetLeadId() != 0 && !m_pHost->IsPresenter()) {
        return;
    }
    ExchangeDlgVideoEx(m_slots[freed].get(), m_slots[last].get(), record);
}

void XLayoutManager::RefillPage() {
    CMediaIdList* list = m_pHost->GetReceivedList();
    if (list == nullptr) {
        return;
    }
    std::vector<std::uint16_t> page;
    list->CollectUnflagged(page, m_pHost->GetVideoPageStart(), m_nCapacity);
    if (list->GetCount() == 0) {
        m_pHost->SetVideoPageStart(0);
    }
    for (std::uint16_t id : page) {
        if (FindWndIndexFrom(0, id) < 0) {
            m_pHost->OpenChannel(id);
        }
    }
}

bool XLayoutManager::DelVideo(std::uint16_t wMediaId, LayoutRecordView record, bool repaint) {
    if (wMediaId == 0 || IsMediaChannel(wMediaId)) {
        return false;
    }
    const int slot = FindWndIndexFrom(0, wMediaId);
    if (slot < 0) {
        return false;
    }
    ClearSlot(slot, record);
    const bool paged = m_pHost != nullptr && m_pHost->IsPagedVideo();
    if (paged) {
        m_pHost->SetVideoPageStart(std::max(0, m_pHost->GetVideoPageStart() - 1));
        RefillPage();
    }
    CloseGap(slot, record);
    if (IsAutoLayout() && !m_bMaxVideo) {
        EnsureAutoLayout(repaint);
    }
    return true;
}

void XLayoutManager::RemoveVideoWnd(std::uint16_t wMediaId, std::uint8_t* roomLayout) {
    const int slot = FindNonCycleWndIndex(wMediaId);
    if (slot < 0) {
        return;
    }
    LayoutRecordBytes scratch{};
    const LayoutRecordView record = roomLayout != nullptr  ? LayoutRecordView(roomLayout, 100)
                                    : m_pRecord != nullptr ? LayoutRecordView(*m_pRecord)
                                                           : LayoutRecordView(scratch);
    if (wMediaId == RecordMaxId(record)) {
        SetMaxVideo(false, 0, -1);
    }
    m_slots[slot]->SetVideoState(false);
    int last = -1;
    for (int n = kSlots - 1; n > slot && last < 0; --n) {
        if (m_slots[n]->IsReceiving()) {
            last = n;
        }
    }
    if (last > slot) {
        ExchangeDlgVideoEx(m_slots[slot].get(), m_slots[last].get(), record);
    }
    if (m_bMainDisplayMode == 0 && m_nLayoutMode == 2) {
        m_wMainUser = wMediaId;
        ApplyLayoutMode();
    }
}

void XLayoutManager::SetVideoWndState(std::uint16_t wMediaId, const QString& caption,
                                      kromedia::IMediaStream* stream) {
    if (IsMediaChannel(wMediaId)) {
        // The media-play window renders channel 7 itself.
        return;
    }
    const int slot = FindWndIndexFrom(0, wMediaId);
    if (slot < 0) {
        return;
    }
    // The caption goes to the name overlay only once the window has its stream.
    m_slots[slot]->SetStream(stream);
    m_slots[slot]->UpdateCaption(caption);
}

void XLayoutManager::CloseAllVideo() {
    CVideoCycle* cycle = m_pHost != nullptr ? m_pHost->GetVideoCycle() : nullptr;
    for (int slot = kSlots - 1; slot >= 0; --slot) {
        ILayoutVideoWnd* window = m_slots[slot].get();
        if (window == nullptr || !window->IsReceiving()) {
            continue;
        }
        window->SetReceiving(false);
        if (cycle != nullptr && window->GetCycleWindow() != nullptr &&
            cycle->IsCycleWindow(window->GetCycleWindow())) {
            window->GetCycleWindow()->StopCycling(false);
            cycle->RemoveCycleWindow(window->GetCycleWindow());
        }
    }
    if (IsAutoLayout()) {
        ApplyLayoutMode();
    }
    if (m_pHost != nullptr) {
        m_pHost->SendSyncWndLayout(1);
    }
    m_nCycleWnds = 0;
    m_bCycleOn = false;
    if (m_pParent != nullptr) {
        m_pParent->update();
    }
}

void XLayoutManager::StopAllVideo() {
    for (int slot = 0; slot < kSlots; ++slot) {
        const std::uint16_t id = GetWndMediaId(slot);
        if (id != 0 && m_pHost != nullptr) {
            m_pHost->StopVideoRecv(id);
        }
    }
}

void XLayoutManager::StartVideoCycle() {
    CVideoCycle* cycle = m_pHost != nullptr ? m_pHost->GetVideoCycle() : nullptr;
    if (cycle == nullptr) {
        return;
    }
    const int count = m_pHost->GetBroadcastChannelCount();
    const int limit = m_pHost->GetSpeakerLimit();
    if (cycle->GetQueue().empty()) {
        m_pHost->ShowLayoutMessage(kTextCycleQueueEmpty);
        return;
    }
    if (count >= limit) {
        m_pHost->ShowLayoutMessage(kTextCycleBroadcastFull);
        return;
    }
    const int wanted = std::min(limit - count, static_cast<int>(g_AppSettings.cyclecount));
    m_nCycleWnds = wanted;
    m_bCycleOn = true;
    int handed = 0;
    for (int slot = 0; slot < kSlots && handed < wanted; ++slot) {
        ILayoutVideoWnd* window = m_slots[slot].get();
        if (window == nullptr || window->GetCycleWindow() == nullptr) {
            continue;
        }
        if (window->GetUserId() == 0 || window->IsReceiving()) {
            window->SetReceiving(true);
            cycle->AddCycleWindow(window->GetCycleWindow(), slot);
            ++handed;
        }
    }
    if (IsAutoLayout()) {
        ApplyLayoutMode();
    }
}

// --- swapping and floating --------------------------------------------------------------------

void XLayoutManager::SetPopupStyle(ILayoutVideoWnd* window, bool popup) {
    if (window == nullptr || m_pParent == nullptr) {
        return;
    }
    QWidget* widget = window->GetWidget();
    if (widget->isWindow() == popup) {
        return;
    }
    const QRect global = GlobalRect(widget);
    if (popup) {
        // The room stays the owner, so the floating window goes with it and stays above it.
        widget->setParent(m_pParent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        widget->setAttribute(Qt::WA_ShowWithoutActivating);
        widget->setGeometry(global);
        SetTransparent(widget, 255);
    } else {
        widget->setParent(m_pParent, Qt::Widget);
        widget->setGeometry(QRect(m_pParent->mapFromGlobal(global.topLeft()), global.size()));
        SetTransparent(widget, -1);
    }
    widget->show();
}

bool XLayoutManager::ExchangeDlgVideoEx(ILayoutVideoWnd* first, ILayoutVideoWnd* second,
                                        LayoutRecordView record) {
    if (first == nullptr || second == nullptr || first == second) {
        return false;
    }
    const int slotA = first->GetSlotIndex();
    const int slotB = second->GetSlotIndex();
    const bool zoomA = first->IsZoomed();
    const bool zoomB = second->IsZoomed();
    QWidget* a = first->GetWidget();
    QWidget* b = second->GetWidget();
    const QRect globalA = GlobalRect(a);
    const QRect globalB = GlobalRect(b);
    const bool floatA = a->isWindow();
    const bool floatB = b->isWindow();
    const std::uint16_t idA = first->GetUserId();
    const std::uint16_t idB = second->GetUserId();
    YLOG_DEBUG("CRecvListMgr::ExchangeDlgVideoEx wMediaId1=%d wMediaId1=%d", idA, idB);

    if (floatA != floatB) {
        // The floating one takes the docked one's place in the room and vice versa.
        ILayoutVideoWnd* floating = floatA ? first : second;
        ILayoutVideoWnd* docked = floatA ? second : first;
        const bool wasVisible = floating->GetWidget()->isVisible();
        const QRect floatingGlobal = floatA ? globalA : globalB;
        const QRect dockedGlobal = floatA ? globalB : globalA;
        SetPopupStyle(floating, false);
        floating->GetWidget()->setGeometry(
            QRect(m_pParent->mapFromGlobal(dockedGlobal.topLeft()), dockedGlobal.size()));
        SetPopupStyle(docked, true);
        docked->GetWidget()->setGeometry(floatingGlobal);
        docked->GetWidget()->setVisible(wasVisible);
        if (m_pHost != nullptr) {
            m_pHost->OnVideoPopState(floating->GetUserId(), 1);
            m_pHost->OnVideoPopState(docked->GetUserId(), 0);
        }
    } else {
        // Each takes the other's place, hidden with it when that place is empty.
        auto place = [](QWidget* widget, const QRect& global, bool visible) {
            if (widget->isWindow()) {
                widget->setGeometry(global);
                return;
            }
            widget->setGeometry(
                QRect(widget->parentWidget()->mapFromGlobal(global.topLeft()), global.size()));
            widget->setVisible(visible && !global.isEmpty());
        };
        const bool visibleA = a->isVisible();
        const bool visibleB = b->isVisible();
        place(a, globalB, visibleB);
        place(b, globalA, visibleA);
    }
    if (globalA.size() == globalB.size()) {
        first->RelayoutChildren();
        second->RelayoutChildren();
    }
    if (m_bMainDisplayMode == 0 && m_nLayoutMode == 2) {
        // The window that goes to the inset stands above the main one.
        if (slotB == 1) {
            a->raise();
        } else if (slotA == 1) {
            b->raise();
        }
    }
    first->SetSlotIndex(slotB);
    second->SetSlotIndex(slotA);
    first->SetZoomed(zoomB);
    second->SetZoomed(zoomA);
    if (zoomA || zoomB) {
        m_pMaxWnd = zoomA ? second : first;
        m_nMaxMediaId = m_pMaxWnd->GetUserId();
        SetRecordMaxId(record, static_cast<std::uint16_t>(m_nMaxMediaId));
    }
    if (slotA >= 0 && slotA < kSlots && slotB >= 0 && slotB < kSlots) {
        std::swap(m_slots[slotA], m_slots[slotB]);
        const std::uint16_t recordA = RecordWindowId(record, slotA);
        SetRecordWindowId(record, slotA, RecordWindowId(record, slotB));
        SetRecordWindowId(record, slotB, recordA);
    }
    return true;
}

void XLayoutManager::CompactWindow(int slot) {
    if (slot >= 0 && slot < kSlots && m_slots[slot] != nullptr && m_pRecord != nullptr) {
        CloseGap(slot, *m_pRecord);
    }
}

bool XLayoutManager::ExchangeWndByIndex(int i, int j, LayoutRecordView record) {
    if (i == j || i < 0 || j < 0 || i >= kSlots || j >= kSlots) {
        return false;
    }
    return ExchangeDlgVideoEx(m_slots[i].get(), m_slots[j].get(), record);
}

void XLayoutManager::ExchangeWndByIndex(int first, int second, std::uint8_t* roomLayout) {
    LayoutRecordBytes scratch{};
    ExchangeWndByIndex(
        first, second,
        roomLayout != nullptr ? LayoutRecordView(roomLayout, 100) : LayoutRecordView(scratch));
}

bool XLayoutManager::ExchangeWndAtPoints(int x1, int y1, int x2, int y2, LayoutRecordView record) {
    auto at = [this](int x, int y) -> ILayoutVideoWnd* {
        for (auto& slot : m_slots) {
            QWidget* widget = slot != nullptr ? slot->GetWidget() : nullptr;
            if (widget != nullptr && !widget->isWindow() && widget->isVisible() &&
                widget->geometry().contains(x, y)) {
                return slot.get();
            }
        }
        return nullptr;
    };
    ILayoutVideoWnd* source = at(x1, y1);
    ILayoutVideoWnd* target = at(x2, y2);
    if (!IsUsed(target)) {
        return false;
    }
    return ExchangeDlgVideoEx(source, target, record);
}

// --- maximised video and transparency ---------------------------------------------------------

void XLayoutManager::SetMaxVideo(bool on, std::uint16_t wMediaId, int slot) {
    if (!on) {
        if (m_bMaxVideo && m_pHost != nullptr) {
            m_pHost->SetFullVideo(false);
        }
        if (m_pMaxWnd != nullptr) {
            m_pMaxWnd->SetZoomed(false);
        }
        m_pMaxWnd = nullptr;
        m_nMaxMediaId = 0;
        if (m_pRecord != nullptr) {
            SetRecordMaxId(*m_pRecord, 0);
        }
        const bool wasMax = m_bMaxVideo;
        m_bMaxVideo = false;
        if (wasMax) {
            // Back to the mode's rectangles.
            ApplyLayoutMode();
        }
        return;
    }
    if (m_pHost != nullptr) {
        m_pHost->SetFullVideo(true);
    }
    int chosen = FindWndIndexFrom(0, wMediaId);
    if (chosen < 0 && slot >= 0 && slot < kSlots) {
        chosen = slot;
    }
    for (int n = 0; n < kSlots && chosen < 0; ++n) {
        if (GetWndMediaId(n) == 0) {
            chosen = n;
        }
    }
    chosen = std::max(chosen, 0);
    if (m_slots[static_cast<std::size_t>(chosen)] == nullptr) {
        return;
    }
    m_bMaxVideo = true;
    m_pMaxWnd = m_slots[chosen].get();
    m_pMaxWnd->SetZoomed(true);
    m_nMaxMediaId = m_pMaxWnd->GetUserId();
    if (m_pRecord != nullptr) {
        SetRecordMaxId(*m_pRecord, static_cast<std::uint16_t>(m_nMaxMediaId));
    }
    m_lastLayout.rects.fill({});
    if (m_pParent != nullptr) {
        m_lastLayout.rects[static_cast<std::size_t>(chosen)] = ToEdges(m_pParent->rect());
    }
    ApplyRects();
    if (m_pMaxWnd->GetWidget() != nullptr) {
        m_pMaxWnd->GetWidget()->raise();
    }
}

void XLayoutManager::SetTransparent(QWidget* window, int alpha) {
    if (window == nullptr) {
        return;
    }
    window->setWindowOpacity(alpha < 0 ? 1.0 : std::clamp(alpha, 0, 255) / 255.0);
}

// --- options passed to every window -----------------------------------------------------------

void XLayoutManager::SetVideoOption(int option) {
    for (auto& slot : m_slots) {
        if (slot != nullptr) {
            slot->SetVideoOption(option);
        }
    }
}

void XLayoutManager::SetVideoNameVisible(bool visible) {
    for (auto& slot : m_slots) {
        if (slot != nullptr) {
            slot->SetVideoNameVisible(visible);
        }
    }
}

void XLayoutManager::SetVideoNameColor(std::uint32_t colour) {
    for (auto& slot : m_slots) {
        if (slot != nullptr) {
            slot->SetNameColor(colour);
        }
    }
}

void XLayoutManager::RelayoutChildren() {
    for (auto& slot : m_slots) {
        if (slot != nullptr) {
            slot->RelayoutChildren();
        }
    }
}

void XLayoutManager::ReloadTexts() {
    for (auto& slot : m_slots) {
        if (slot != nullptr) {
            slot->ReloadTexts();
        }
    }
}

void XLayoutManager::PauseAllVideoRender(bool pause) {
    for (int slot = 0; slot < kSlots && m_pHost != nullptr; ++slot) {
        if (const std::uint16_t id = GetWndMediaId(slot); id != 0) {
            m_pHost->EnableRender(id, !pause);
        }
    }
}

void XLayoutManager::EnableDocPages(bool) {
    // The document window's page controls come with the document view.
}

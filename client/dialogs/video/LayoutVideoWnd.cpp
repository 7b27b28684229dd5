#include "LayoutVideoWnd.h"

#include "CDlgVideo.h"
#include "CDlgVideoStatus.h"

LayoutVideoWnd::LayoutVideoWnd(QWidget* room, int slot, int displayMode)
    : m_pWnd(std::make_unique<CDlgVideo>(room)) {
    m_pWnd->SetDisplayMode(displayMode);
    m_pWnd->Create(CDlgVideo::IDD, room);
    m_pWnd->SetSlot(slot);
}

LayoutVideoWnd::~LayoutVideoWnd() = default;

std::unique_ptr<ILayoutVideoWnd> LayoutVideoWnd::Make(QWidget* room, int slot) {
    return std::make_unique<LayoutVideoWnd>(room, slot);
}

QWidget* LayoutVideoWnd::GetWidget() {
    return m_pWnd.get();
}

IVideoWindow* LayoutVideoWnd::GetCycleWindow() {
    return this;
}

std::uint16_t LayoutVideoWnd::GetMediaId() {
    return m_pWnd->GetMediaId();
}

void LayoutVideoWnd::StopCycling(bool leaveCycle) {
    m_pWnd->StopCycling(leaveCycle);
}

bool LayoutVideoWnd::CanShowCaption() {
    return m_pWnd->CanShowCaption();
}

int LayoutVideoWnd::GetClientHeight() {
    return m_pWnd->GetClientHeight();
}

void LayoutVideoWnd::RepostZoom() {
    m_pWnd->RepostZoom();
}

bool LayoutVideoWnd::IsPopupStyle() {
    return m_pWnd->IsPopupStyle() != 0;
}

void LayoutVideoWnd::ShowSpeakState(bool speaking) {
    m_pWnd->ShowSpeakState(speaking ? 1 : 0);
}

void LayoutVideoWnd::SetSpeakIndicator(bool on) {
    m_pWnd->SetSpeakIndicator(on ? 1 : 0);
}

kromedia::IFrameSink* LayoutVideoWnd::GetFrameSink() {
    return m_pWnd->GetFrameSink();
}

std::uint16_t LayoutVideoWnd::GetUserId() {
    return m_pWnd->GetUserId();
}

void LayoutVideoWnd::SetUserId(std::uint16_t wMediaId) {
    m_pWnd->SetUserId(wMediaId);
}

void LayoutVideoWnd::SetMediaId(std::uint16_t wMediaId, bool stop) {
    m_pWnd->SetMediaId(wMediaId, stop);
}

void LayoutVideoWnd::SetOwnerSlot(std::uint32_t value) {
    m_pWnd->SetOwnerSlot(value);
}

bool LayoutVideoWnd::IsReceiving() {
    return m_pWnd->IsCycling() != 0;
}

void LayoutVideoWnd::SetReceiving(bool receiving) {
    m_pWnd->SetCycling(receiving ? 1 : 0);
    if (!receiving && m_pWnd->GetCycleIndicator() != nullptr) {
        m_pWnd->GetCycleIndicator()->ShowWindow(SW_HIDE);
    }
}

void LayoutVideoWnd::SetVideoState(bool on) {
    m_pWnd->ShowStatusOverlay(on ? 1 : 0);
}

void LayoutVideoWnd::SetVideoNameVisible(bool visible) {
    m_pWnd->SetNameVisible(visible ? 1 : 0);
}

void LayoutVideoWnd::UpdateCaption(const QString& caption) {
    m_pWnd->UpdateCaption(caption);
}

void LayoutVideoWnd::SetVideoOption(int option) {
    m_pWnd->ShowNameCaption(option);
}

void LayoutVideoWnd::SetNameColor(std::uint32_t colour) {
    m_pWnd->SetNameColor(colour);
}

void LayoutVideoWnd::ReloadTexts() {
    m_pWnd->ReloadStatusImage();
}

void LayoutVideoWnd::SetStream(kromedia::IMediaStream* stream) {
    m_pWnd->SetVideoState(stream);
}

int LayoutVideoWnd::GetSlotIndex() {
    return m_pWnd->GetSlot();
}

void LayoutVideoWnd::SetSlotIndex(int slot) {
    m_pWnd->SetSlot(slot);
}

bool LayoutVideoWnd::IsZoomed() {
    return m_pWnd->IsZoomed() != 0;
}

void LayoutVideoWnd::SetZoomed(bool zoomed) {
    m_pWnd->SetZoomed(zoomed ? 1 : 0);
}

void LayoutVideoWnd::RelayoutChildren() {
    m_pWnd->ReapplyAspect();
}

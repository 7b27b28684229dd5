// The sub-commands the room sends, the four it handles itself (group audio, dissolution) and
// the synchronisation of the window layout with the leading client.

#include "XMainFrame.h"
#include "platform/core/Log.h"

void XMainFrame::SendSyncWndLayout(int allowed) {
    YLOG_DEBUG("SendSyncWndLayout %d (pending)", allowed);
}
void XMainFrame::SendControlRequest(uint16_t to, uint8_t code) {
    YLOG_DEBUG("SendControlRequest %u %u (pending)", to, code);
}
void XMainFrame::SendControlResponse(uint16_t to, uint8_t code) {
    YLOG_DEBUG("SendControlResponse %u %u (pending)", to, code);
}
void XMainFrame::SendScreenControlReply(uint16_t to, uint8_t code) {
    YLOG_DEBUG("SendScreenControlReply %u %u (pending)", to, code);
}
void XMainFrame::AnswerControlRequest(BYTE accept, WORD userId) {
    YLOG_DEBUG("AnswerControlRequest %u %u (pending)", accept, userId);
}
void XMainFrame::GrantScreenControl(uint16_t userId, uint8_t on) {
    YLOG_DEBUG("GrantScreenControl %u %u (pending)", userId, on);
}
void XMainFrame::StartMediaShare() {
    YLOG_DEBUG("StartMediaShare (pending)");
}
void XMainFrame::StopMediaShare() {
    YLOG_DEBUG("StopMediaShare (pending)");
}
void XMainFrame::HandleSubCommand274(const uint8_t*, uint16_t length) {
    YLOG_DEBUG("HandleSubCommand274 %u (pending)", length);
}
void XMainFrame::HandleSubCommand275() {
    YLOG_DEBUG("HandleSubCommand275 (pending)");
}
void XMainFrame::HandleSubCommand276() {
    YLOG_DEBUG("HandleSubCommand276 (pending)");
}
void XMainFrame::OnConfDissolved(const uint8_t*, uint16_t length) {
    YLOG_DEBUG("OnConfDissolved %u (pending)", length);
}
void XMainFrame::OnClapCommand(const uint8_t*, uint16_t length) {
    YLOG_DEBUG("OnClapCommand %u (pending)", length);
}
void XMainFrame::MoveUserToAudioGroup(uint16_t userId, uint32_t group) {
    YLOG_DEBUG("MoveUserToAudioGroup %u %u (pending)", userId, group);
}
void XMainFrame::DissolveAudioGroup(uint32_t group) {
    YLOG_DEBUG("DissolveAudioGroup %u (pending)", group);
}
void XMainFrame::ApplySyncLayout(const uint8_t*, uint16_t length, uint32_t force) {
    YLOG_DEBUG("ApplySyncLayout %u %u (pending)", length, force);
}
void XMainFrame::ApplyPendingLayout(uint32_t force) {
    YLOG_DEBUG("ApplyPendingLayout %u (pending)", force);
}
void XMainFrame::ApplyLayoutFromNetwork() {
    YLOG_DEBUG("ApplyLayoutFromNetwork (pending)");
}
uint32_t XMainFrame::StartRecvAudio(uint16_t userId, uint32_t param) {
    YLOG_DEBUG("StartRecvAudio %u %u (pending)", userId, param);
    return 0;
}
uint32_t XMainFrame::StopRecvAudio(uint16_t userId) {
    YLOG_DEBUG("StopRecvAudio %u (pending)", userId);
    return 0;
}

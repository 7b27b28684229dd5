#include "Frame.h"

namespace yav::proto {

void FrameAssembler::Append(std::span<const uint8_t> data) {
    // Drop what was consumed before growing, so the buffer holds at most one frame plus
    // the bytes of one read.
    if (readOffset_ > 0 && readOffset_ == buffer_.size()) {
        buffer_.clear();
        readOffset_ = 0;
    } else if (readOffset_ > 65536) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(readOffset_));
        readOffset_ = 0;
    }
    buffer_.insert(buffer_.end(), data.begin(), data.end());
}

FrameAssembler::Result FrameAssembler::Next(Frame& out) {
    const size_t available = buffer_.size() - readOffset_;
    if (available < kFrameLengthBytes) {
        return Result::NeedMore;
    }
    const std::span<const uint8_t> pending(buffer_.data() + readOffset_, available);
    const uint32_t length = LoadU32(pending, 0);
    if (length < kFrameTypeBytes || length > maxFrameBytes_) {
        return Result::Malformed;
    }
    if (available - kFrameLengthBytes < length) {
        return Result::NeedMore;
    }
    out.type = static_cast<MsgType>(LoadU16(pending, kFrameLengthBytes));
    const auto body =
        pending.subspan(kFrameLengthBytes + kFrameTypeBytes, length - kFrameTypeBytes);
    out.body.assign(body.begin(), body.end());
    readOffset_ += kFrameLengthBytes + length;
    return Result::Frame;
}

Bytes MakeFrame(MsgType type, std::span<const uint8_t> body) {
    ByteWriter out(kFrameLengthBytes + kFrameTypeBytes + body.size());
    out.U32(static_cast<uint32_t>(kFrameTypeBytes + body.size()));
    out.U16(static_cast<uint16_t>(type));
    out.Raw(body);
    return out.Take();
}

const char* MsgTypeName(MsgType type) {
    switch (type) {
        case MsgType::Hello:
            return "Hello";
        case MsgType::HelloAck:
            return "HelloAck";
        case MsgType::Heartbeat:
            return "Heartbeat";
        case MsgType::Refused:
            return "Refused";
        case MsgType::Shutdown:
            return "Shutdown";
        case MsgType::ConfListRequest:
            return "ConfListRequest";
        case MsgType::ConfListResponse:
            return "ConfListResponse";
        case MsgType::CsServersRequest:
            return "CsServersRequest";
        case MsgType::CsServersResponse:
            return "CsServersResponse";
        case MsgType::MediaServerRequest:
            return "MediaServerRequest";
        case MsgType::MediaServerResponse:
            return "MediaServerResponse";
        case MsgType::LoginRequest:
            return "LoginRequest";
        case MsgType::LoginResponse:
            return "LoginResponse";
        case MsgType::UpgradeQuery:
            return "UpgradeQuery";
        case MsgType::UpgradeInfo:
            return "UpgradeInfo";
        case MsgType::Logout:
            return "Logout";
        case MsgType::SetConfOptions:
            return "SetConfOptions";
        case MsgType::ApplyPresenter:
            return "ApplyPresenter";
        case MsgType::CancelPresenterApply:
            return "CancelPresenterApply";
        case MsgType::SetPresenter:
            return "SetPresenter";
        case MsgType::ApplySpeak:
            return "ApplySpeak";
        case MsgType::AwardSpeak:
            return "AwardSpeak";
        case MsgType::ApplyChair:
            return "ApplyChair";
        case MsgType::GiveUpChair:
            return "GiveUpChair";
        case MsgType::ModifyPassword:
            return "ModifyPassword";
        case MsgType::SetConfSetting:
            return "SetConfSetting";
        case MsgType::KickUser:
            return "KickUser";
        case MsgType::RequestVideo:
            return "RequestVideo";
        case MsgType::BroadcastVideo:
            return "BroadcastVideo";
        case MsgType::SetConfSettingByte:
            return "SetConfSettingByte";
        case MsgType::Transmit:
            return "Transmit";
        case MsgType::SetUserAttribute:
            return "SetUserAttribute";
        case MsgType::SetUserData:
            return "SetUserData";
        case MsgType::RollCallRequest:
            return "RollCallRequest";
        case MsgType::RollCallResponse:
            return "RollCallResponse";
        case MsgType::SetTempAdmin:
            return "SetTempAdmin";
        case MsgType::SetServerRecord:
            return "SetServerRecord";
        case MsgType::ConfDurationAck:
            return "ConfDurationAck";
        case MsgType::UsersJoined:
            return "UsersJoined";
        case MsgType::UsersChanged:
            return "UsersChanged";
        case MsgType::UsersLeft:
            return "UsersLeft";
        case MsgType::LeadingStatus:
            return "LeadingStatus";
        case MsgType::UserKind:
            return "UserKind";
        case MsgType::AudioStatus:
            return "AudioStatus";
        case MsgType::BroadcastState:
            return "BroadcastState";
        case MsgType::VideoOpenResult:
            return "VideoOpenResult";
        case MsgType::RoomAttr:
            return "RoomAttr";
        case MsgType::PrivateData:
            return "PrivateData";
        case MsgType::Relay:
            return "Relay";
        case MsgType::Notice:
            return "Notice";
        case MsgType::ServerNotice:
            return "ServerNotice";
        case MsgType::ConfExtra:
            return "ConfExtra";
    }
    return "unknown";
}

}  // namespace yav::proto

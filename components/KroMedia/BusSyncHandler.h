#pragma once
// A pipeline's bus messages handled on the thread that posts them (a streaming thread, mostly),
// never queued: each message goes to the handler, which must copy what it keeps, and is freed
// right after it. A bus that queued or leaked them would grow with every level reading.

typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

namespace kromedia {

using BusMessageHandler = void (*)(GstMessage* message, void* user);

// Replaces the bus's synchronous handler; the binding lives as long as the bus keeps it.
void HandleBusSynchronously(GstBus* bus, BusMessageHandler handler, void* user);

}  // namespace kromedia

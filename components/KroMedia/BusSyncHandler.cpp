#include "BusSyncHandler.h"

#include <gst/gst.h>

namespace kromedia {
namespace {

struct Binding {
    BusMessageHandler handler;
    void* user;
};

GstBusSyncReply Dispatch(GstBus* /*bus*/, GstMessage* message, gpointer data) {
    const auto* binding = static_cast<const Binding*>(data);
    binding->handler(message, binding->user);
    // A synchronous handler that drops a message owns it: the bus does not free it.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

}  // namespace

void HandleBusSynchronously(GstBus* bus, BusMessageHandler handler, void* user) {
    gst_bus_set_sync_handler(bus, &Dispatch, new Binding{handler, user},
                             [](gpointer data) { delete static_cast<Binding*>(data); });
}

}  // namespace kromedia

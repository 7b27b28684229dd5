// The life of a received stream's decoding branch. rtpbin makes a jitter buffer and a payload
// demultiplexer for every SSRC that reaches it and hands us a pad, to which the channel links a
// decoding bin named "rx<ssrc>". Nothing of that went away by itself: a stopped stream kept its
// decoder, buffers and last picture for the channel's life. Here a branch is made only for a
// stream this channel asked for, and it goes (rtpbin's part with "clear-ssrc", ours by name)
// when the stream is stopped or its sender says bye or falls silent.
#include <gst/gst.h>
#include <malloc.h>

#include <string>

#include "GstLoop.h"
#include "KroMedia.h"
#include "MediaChannel.h"

namespace kromedia {

namespace {

guint SessionOf(relay::Kind kind) {
    return kind == relay::Kind::Video ? 0U : 1U;
}

void CountInto(GstElement* element, int* count) {
    ++*count;
    if (!GST_IS_BIN(element)) {
        return;
    }
    for (GList* child = GST_BIN_CHILDREN(GST_BIN(element)); child != nullptr; child = child->next) {
        CountInto(GST_ELEMENT(child->data), count);
    }
}

}  // namespace

// rtpbin makes a jitter buffer for the sender of every RTCP compound that reaches its SSRC
// demultiplexer, also for a participant that only reports on our own streams. Past the RTCP
// session (which has taken the reports and key-frame requests in by then), only the compounds
// of streams this channel receives go on to it.
void MediaChannel::KeepReportsOfWantedStreams() {
    GstElement* rb = Element("rb");
    if (rb == nullptr) {
        return;
    }
    for (guint session = 0; session < (m_kind == kKindMain ? 2U : 1U); ++session) {
        GstElement* rtpSession = nullptr;
        g_signal_emit_by_name(rb, "get-session", session, &rtpSession);
        if (rtpSession == nullptr) {
            continue;
        }
        if (GstPad* toDemux = gst_element_get_static_pad(rtpSession, "sync_src")) {
            gst_pad_add_probe(
                toDemux, GST_PAD_PROBE_TYPE_BUFFER,
                +[](GstPad*, GstPadProbeInfo* info, gpointer self) -> GstPadProbeReturn {
                    GstMapInfo map;
                    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
                    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                        return GST_PAD_PROBE_OK;
                    }
                    const auto sender = relay::SenderSsrc(map.data, map.size);
                    gst_buffer_unmap(buffer, &map);
                    return sender && !static_cast<MediaChannel*>(self)->Wanted(*sender)
                               ? GST_PAD_PROBE_DROP
                               : GST_PAD_PROBE_OK;
                },
                this, nullptr);
            gst_object_unref(toDemux);
        }
        gst_object_unref(rtpSession);
    }
    gst_object_unref(rb);
}

bool MediaChannel::Wanted(uint32_t ssrc) const {
    const auto named = relay::ParseSsrc(ssrc);
    return named && !IsOwnId(named->first) && m_session->IsSubscribed(named->first, named->second);
}

void MediaChannel::FreeBranchLocked(uint32_t ssrc) {
    const auto named = relay::ParseSsrc(ssrc);
    if (m_pipeline == nullptr || !named) {
        return;
    }
    // rtpbin drops its jitter buffer and demultiplexer of the SSRC and the pad we linked.
    if (GstElement* rb = Element("rb")) {
        g_signal_emit_by_name(rb, "clear-ssrc", SessionOf(named->second), ssrc);
        gst_object_unref(rb);
    }
    const std::string name = "rx" + std::to_string(ssrc);
    if (GstElement* branch = Element(name.c_str())) {
        // A sound branch feeds the mixer through a pad of its own, which goes with it.
        if (GstPad* out = gst_element_get_static_pad(branch, "src")) {
            if (GstPad* mixerPad = gst_pad_get_peer(out)) {
                gst_pad_unlink(out, mixerPad);
                if (GstElement* mixer = gst_pad_get_parent_element(mixerPad)) {
                    gst_element_release_request_pad(mixer, mixerPad);
                    gst_object_unref(mixer);
                }
                gst_object_unref(mixerPad);
            }
            gst_object_unref(out);
        }
        gst_element_set_locked_state(branch, TRUE);
        gst_element_set_state(branch, GST_STATE_NULL);
        gst_bin_remove(GST_BIN(m_pipeline), branch);
        gst_object_unref(branch);
    }
    std::lock_guard<std::mutex> lock(m_stateMutex);
    m_remotes.erase(ssrc);
}

void MediaChannel::FreeBranch(uint32_t ssrc) {
    {
        std::lock_guard<std::mutex> lock(m_buildMutex);
        FreeBranchLocked(ssrc);
    }
    // The decoder's buffers went back to the allocator of the thread that made them; a
    // conference that goes through many streams would keep each arena's highest level.
    malloc_trim(0);
}

// rtpbin reports pads and a sender's bye or time-out on its own threads, where its locks may
// be held: the branch is freed on the loop thread. A branch made for a stream nobody asked for
// stays when the stream was asked for meanwhile; one whose sender is gone goes (the sender's
// next packet, should it come back, makes a new one).
void MediaChannel::FreeBranchLater(uint32_t ssrc, bool senderGone) {
    InvokeAsync([this, gate = m_loopGate, ssrc, senderGone] {
        GateScope scope(*gate);
        if (scope && (senderGone || !Wanted(ssrc))) {
            FreeBranch(ssrc);
        }
    });
}

int MediaChannel::CountElements() {
    std::lock_guard<std::mutex> lock(m_buildMutex);
    int count = 0;
    if (m_pipeline != nullptr) {
        CountInto(m_pipeline, &count);
    }
    return count;
}

GstElement* MediaChannel::TakeElement(const char* name) {
    std::lock_guard<std::mutex> lock(m_buildMutex);
    return Element(name);
}

}  // namespace kromedia

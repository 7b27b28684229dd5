#pragma once
// The decoders the fuzzers drive, by family. Each Decode* takes a selector byte and a body,
// decodes it with the chosen decoder and, when that succeeds, checks that encoding the
// result and decoding it again gives the same bytes (a decoder that accepts what it cannot
// reproduce is a fault). A violated check aborts, which the fuzzer reports.

#include <cstddef>
#include <cstdint>
#include <span>

namespace yav::fuzz {

// Number of decoders in each family (the selector is taken modulo this).
size_t RecordDecoderCount();
size_t DataServerDecoderCount();
size_t ConferenceRequestDecoderCount();
size_t ConferenceEventDecoderCount();

void DecodeRecord(uint8_t selector, std::span<const uint8_t> body);
void DecodeDataServerMessage(uint8_t selector, std::span<const uint8_t> body);
void DecodeConferenceRequest(uint8_t selector, std::span<const uint8_t> body);
void DecodeConferenceEvent(uint8_t selector, std::span<const uint8_t> body);
// Cuts the bytes into frames as a connection does and decodes every frame by its type.
void DecodeStream(std::span<const uint8_t> stream);

// The media relay's packets: the first byte sets the size of the pieces a TCP stream of RFC 4571
// frames arrives in; the rest is taken both as that stream and as one datagram, which goes
// through every check the relay makes (control round trip, RTP header, RTCP compound).
void DecodeMediaRelay(std::span<const uint8_t> input);
// Decodes a chat block; an accepted text must hold no zero unit or lone surrogate, stay within
// the cut, and survive being sent on.
void DecodeChatPayload(std::span<const uint8_t> block);

// Writes one encoded sample per decoder of every family into folder/<family>/ (seed corpora).
void WriteSeeds(const char* folder);

}  // namespace yav::fuzz

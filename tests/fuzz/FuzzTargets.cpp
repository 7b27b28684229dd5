// One libFuzzer entry point; the build compiles it once per family with YAV_FUZZ_FAMILY set,
// so each family is its own fuzzer. The first input byte chooses the decoder in the family.
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
#if YAV_FUZZ_FAMILY == 0
    yav::fuzz::DecodeStream(input);
#elif YAV_FUZZ_FAMILY == 5
    yav::fuzz::DecodeMediaRelay(input);
#elif YAV_FUZZ_FAMILY == 6
    yav::fuzz::DecodeChatPayload(input);
#else
    if (input.empty()) {
        return 0;
    }
    const uint8_t selector = input[0];
    const auto body = input.subspan(1);
#if YAV_FUZZ_FAMILY == 1
    yav::fuzz::DecodeRecord(selector, body);
#elif YAV_FUZZ_FAMILY == 2
    yav::fuzz::DecodeDataServerMessage(selector, body);
#elif YAV_FUZZ_FAMILY == 3
    yav::fuzz::DecodeConferenceRequest(selector, body);
#else
    yav::fuzz::DecodeConferenceEvent(selector, body);
#endif
#endif
    return 0;
}

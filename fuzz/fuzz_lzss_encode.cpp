// SPDX-License-Identifier: MIT
// Any bytes encode to a stream that decodes to exactly those bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/lzss.h"
#include "archive/lzss_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> stream = LzssEncode(data, size);
    const auto length = static_cast<uint32_t>(stream.size());
    if (LzssDecodedSize(stream.data(), length) != size) {
        std::abort();
    }
    std::vector<uint8_t> out(size);
    if (LzssDecode(stream.data(), length, out.data(), static_cast<uint32_t>(size)) != size ||
        (size != 0 && std::memcmp(out.data(), data, size) != 0)) {
        std::abort();
    }
    return 0;
}

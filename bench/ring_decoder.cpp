// SPDX-License-Identifier: MIT
// The simple way to unpack a field entry's stream, as a program: read the stream file
// whole, run it through the textbook 4,096-byte ring decoder, and write the output to
// standard output through a 64 KiB buffer. The baseline of the whole-process extraction
// benchmark.
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::vector<unsigned char> ReadAll(const char* path) {
    std::vector<unsigned char> bytes;
    if (std::FILE* in = std::fopen(path, "rb")) {
        unsigned char chunk[65536];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        std::fclose(in);
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ring_decoder STREAM\n");
        return 2;
    }
    const std::vector<unsigned char> src = ReadAll(argv[1]);
    unsigned char ring[4096];
    std::memset(ring, 0, sizeof ring);
    static unsigned char out[65536];
    size_t held = 0;
    auto put = [&](unsigned char c) {
        out[held++] = c;
        if (held == sizeof out) {
            std::fwrite(out, 1, held, stdout);
            held = 0;
        }
    };
    unsigned r = 0xFEE;
    unsigned flags = 0;
    size_t in = 0;
    const size_t len = src.size();
    while (in < len) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            flags = src[in++] | 0xFF00u;
            if (in >= len) {
                break;
            }
        }
        if (flags & 1) {
            const unsigned char c = src[in++];
            put(c);
            ring[r] = c;
            r = (r + 1) & 0xFFF;
            continue;
        }
        if (len - in < 2) {
            break;
        }
        const unsigned offset = src[in] | ((src[in + 1] & 0xF0u) << 4);
        const unsigned length = (src[in + 1] & 0x0Fu) + 3;
        in += 2;
        for (unsigned k = 0; k < length; ++k) {
            const unsigned char c = ring[(offset + k) & 0xFFF];
            put(c);
            ring[r] = c;
            r = (r + 1) & 0xFFF;
        }
    }
    std::fwrite(out, 1, held, stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// SPDX-License-Identifier: MIT
// FLAC through libsndfile, written into memory through its virtual I/O so the bytes can
// go to disk through the atomic writer like every other file. The library (and the
// codecs it brings) is loaded when the first FLAC is written, not at every start.
#include <dlfcn.h>
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

#define LUMO_SNDFILE_CALLS(X) X(sf_close) X(sf_open_virtual) X(sf_strerror) X(sf_writef_short)

struct SndfileCalls {
#define LUMO_SNDFILE_FIELD(name) decltype(&::name) name = nullptr;
    LUMO_SNDFILE_CALLS(LUMO_SNDFILE_FIELD)
#undef LUMO_SNDFILE_FIELD
    bool loaded = false;
};

SndfileCalls LoadSndfile() {
    SndfileCalls calls;
    void* library = dlopen(LUMO_SNDFILE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    calls.loaded = library != nullptr;
#define LUMO_SNDFILE_LOAD(name)                                                          \
    if (calls.loaded) {                                                                  \
        calls.name = reinterpret_cast<decltype(calls.name)>(dlsym(library, #name));      \
        calls.loaded = calls.name != nullptr;                                            \
    }
    LUMO_SNDFILE_CALLS(LUMO_SNDFILE_LOAD)
#undef LUMO_SNDFILE_LOAD
    return calls;  // the library stays loaded for the rest of the run
}

const SndfileCalls& Sndfile() {
    static const SndfileCalls calls = LoadSndfile();
    return calls;
}

struct Sink {
    std::vector<uint8_t>* bytes;
    sf_count_t at = 0;
};

sf_count_t Length(void* user) {
    return static_cast<sf_count_t>(static_cast<Sink*>(user)->bytes->size());
}

sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    Sink* sink = static_cast<Sink*>(user);
    const sf_count_t base = whence == SEEK_CUR ? sink->at : whence == SEEK_END ? Length(user) : 0;
    if (base + offset < 0) {
        return -1;
    }
    sink->at = base + offset;
    return sink->at;
}

sf_count_t Read(void* to, sf_count_t count, void* user) {
    Sink* sink = static_cast<Sink*>(user);
    const sf_count_t have = std::max<sf_count_t>(0, Length(user) - sink->at);
    const sf_count_t n = std::min(count, have);
    if (n > 0) {
        std::memcpy(to, sink->bytes->data() + sink->at, static_cast<size_t>(n));
        sink->at += n;
    }
    return n;
}

sf_count_t Write(const void* from, sf_count_t count, void* user) {
    Sink* sink = static_cast<Sink*>(user);
    const auto end = static_cast<size_t>(sink->at + count);
    if (end > sink->bytes->size()) {
        sink->bytes->resize(end);
    }
    std::memcpy(sink->bytes->data() + sink->at, from, static_cast<size_t>(count));
    sink->at += count;
    return count;
}

sf_count_t Tell(void* user) {
    return static_cast<Sink*>(user)->at;
}

}  // namespace

// Built with libsndfile: offered, and loaded only when the first FLAC is written (the
// music kind asks at start). Encoding says so if the library is gone after all.
bool FlacAvailable() {
    return true;
}

bool EncodeFlac(const int16_t* samples, size_t frames, int channels, int rate,
                std::vector<uint8_t>& out, std::string* error) {
    out.clear();
    if (!Sndfile().loaded) {
        if (error) {
            *error = "cannot encode FLAC: " LUMO_SNDFILE_LIBRARY " cannot be loaded";
        }
        return false;
    }
    const SndfileCalls& sf = Sndfile();
    Sink sink{&out};
    SF_VIRTUAL_IO io{Length, Seek, Read, Write, Tell};
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* file = sf.sf_open_virtual(&io, SFM_WRITE, &info, &sink);
    if (file == nullptr) {
        if (error) {
            *error = std::string("cannot encode FLAC: ") + sf.sf_strerror(nullptr);
        }
        return false;
    }
    const auto count = static_cast<sf_count_t>(frames);
    const bool written = sf.sf_writef_short(file, samples, count) == count;
    const bool closed = sf.sf_close(file) == 0;
    if (!written || !closed) {
        if (error) {
            *error = "cannot encode FLAC";
        }
        return false;
    }
    return true;
}

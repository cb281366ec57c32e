// SPDX-License-Identifier: MIT
#pragma once
// The desktop's audio output for the music player: Qt Multimedia's QAudioSink pulling
// 16-bit frames from a source. It is made by a module of its own (audio_output_sink.cpp),
// loaded with the first music window, so that the program starts without Qt Multimedia
// and the sound server's libraries.
#include <QString>
#include <cstdint>
#include <functional>

class QIODevice;

class AudioOutput {
public:
    enum class State { Active, Suspended, Stopped, Idle };
    virtual ~AudioOutput() = default;
    // Plays what the source gives until Stop; the source stays the caller's.
    virtual void Start(QIODevice* source) = 0;
    virtual void Suspend() = 0;
    virtual void Resume() = 0;
    virtual void Stop() = 0;
    virtual State GetState() const = 0;
    // Microseconds played since Start.
    virtual int64_t Processed() const = 0;
    // 0 (silent) to 1.
    virtual void SetVolume(double volume) = 0;
};

enum class AudioDevice { Ready, Missing, FormatRefused };

struct AudioOutputModule {
    // Whether the default output device plays 16-bit frames at this rate.
    AudioDevice (*check)(int sampleRate, int channels);
    // An output on the default device; `changed` is called whenever its state changes.
    AudioOutput* (*open)(int sampleRate, int channels, std::function<void()> changed);
};

// The module's functions, or null with the reason when it cannot be loaded.
const AudioOutputModule* LoadAudioOutput(QString* error);

// The module's one entry point, by this name.
using AudioOutputModuleCall = const AudioOutputModule* (*)();
constexpr const char* kAudioOutputModule = "lumo-audio-output";
constexpr const char* kAudioOutputSymbol = "LumoAudioOutput";

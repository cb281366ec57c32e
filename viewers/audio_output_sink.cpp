// SPDX-License-Identifier: MIT
// The audio output module: QAudioSink on the default device (see audio_output.h).
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <memory>

#include "viewers/audio_output.h"

namespace {

QAudioFormat Format(int sampleRate, int channels) {
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

class SinkOutput : public AudioOutput {
public:
    SinkOutput(int sampleRate, int channels, std::function<void()> changed)
        : m_sink(QMediaDevices::defaultAudioOutput(), Format(sampleRate, channels)) {
        QObject::connect(&m_sink, &QAudioSink::stateChanged, &m_sink,
                         [changed = std::move(changed)] { changed(); });
    }
    ~SinkOutput() override {
        m_sink.disconnect();
        m_sink.stop();
    }
    void Start(QIODevice* source) override { m_sink.start(source); }
    void Suspend() override { m_sink.suspend(); }
    void Resume() override { m_sink.resume(); }
    void Stop() override { m_sink.stop(); }
    State GetState() const override {
        switch (m_sink.state()) {
            case QAudio::ActiveState:
                return State::Active;
            case QAudio::SuspendedState:
                return State::Suspended;
            case QAudio::IdleState:
                return State::Idle;
            default:
                return State::Stopped;
        }
    }
    int64_t Processed() const override { return m_sink.processedUSecs(); }
    void SetVolume(double volume) override { m_sink.setVolume(volume); }

private:
    QAudioSink m_sink;
};

AudioDevice Check(int sampleRate, int channels) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return AudioDevice::Missing;
    }
    return device.isFormatSupported(Format(sampleRate, channels)) ? AudioDevice::Ready
                                                                  : AudioDevice::FormatRefused;
}

AudioOutput* Open(int sampleRate, int channels, std::function<void()> changed) {
    return new SinkOutput(sampleRate, channels, std::move(changed));
}

const AudioOutputModule kModule{Check, Open};

}  // namespace

extern "C" Q_DECL_EXPORT const AudioOutputModule* LumoAudioOutput() {
    return &kModule;
}

// SPDX-License-Identifier: MIT
#include "viewers/music_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>

#include "audio/synth.h"
#include "environment/sound_font.h"

namespace {

CMusicPlayer* s_playing = nullptr;
std::string s_soundFont;
bool s_pretendNoDevice = false;

// The synthesizer as a stream of interleaved 16-bit stereo frames; it ends when the
// sequence and its release tail have played.
class SynthSource : public QIODevice {
public:
    explicit SynthSource(MidiSynth& synth) : m_synth(synth) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        return m_synth.Finished() ? 0 : kSynthSampleRate * kFrameBytes;
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const auto frames = static_cast<size_t>(maxSize / kFrameBytes);
        return static_cast<qint64>(m_synth.Render(reinterpret_cast<int16_t*>(data), frames)) *
               kFrameBytes;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    static constexpr qint64 kFrameBytes = 2 * kSynthChannels;
    MidiSynth& m_synth;
};

QAudioFormat SynthFormat() {
    QAudioFormat format;
    format.setSampleRate(kSynthSampleRate);
    format.setChannelCount(kSynthChannels);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

}  // namespace

CMusicPlayer::CMusicPlayer(std::vector<uint8_t> midi, const MidiInfo& info, QObject* parent)
    : QObject(parent), m_midi(std::move(midi)), m_info(info) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (s_pretendNoDevice || device.isNull()) {
        m_problem =
            tr("There is no audio device, so the music cannot be played here. "
               "File > Export audio... still writes it to a file.");
    } else if (!device.isFormatSupported(SynthFormat())) {
        m_problem = tr("The audio device does not play 44.1 kHz 16-bit stereo.");
    }
}

CMusicPlayer::~CMusicPlayer() {
    if (s_playing == this) {
        s_playing = nullptr;
    }
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
    }
}

QString CMusicPlayer::Problem() const {
    return m_problem.isEmpty() ? m_synthProblem : m_problem;
}

double CMusicPlayer::Position() const {
    if (m_sink && m_sink->state() != QAudio::StoppedState) {
        return m_base + static_cast<double>(m_sink->processedUSecs()) / 1e6;
    }
    return m_base;
}

bool CMusicPlayer::StartSynth() {
    if (m_synth) {
        return true;
    }
    std::string error;
    const std::string font = FindSoundFont(s_soundFont, &error);
    if (!font.empty()) {
        m_synth = MidiSynth::Open(m_midi.data(), m_midi.size(), font, &error);
    }
    if (!m_synth) {
        m_synthProblem = QString::fromStdString(error);
        emit stateChanged();
        return false;
    }
    m_synth->Seek(m_info.TickAt(m_base));
    m_source = std::make_unique<SynthSource>(*m_synth);
    m_source->open(QIODevice::ReadOnly);
    return true;
}

void CMusicPlayer::Play() {
    if (!Problem().isEmpty() || m_playing || !StartSynth()) {
        return;
    }
    if (s_playing && s_playing != this) {
        s_playing->Pause();
    }
    s_playing = this;
    m_playing = true;
    if (m_sink && m_sink->state() == QAudio::SuspendedState) {
        m_sink->resume();
    } else {
        m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), SynthFormat());
        m_sink->setVolume(m_volume);
        connect(m_sink.get(), &QAudioSink::stateChanged, this, &CMusicPlayer::OnSinkState);
        m_sink->start(m_source.get());
    }
    emit stateChanged();
}

void CMusicPlayer::Pause() {
    if (!m_playing) {
        return;
    }
    m_playing = false;
    if (m_sink) {
        m_sink->suspend();
    }
    if (s_playing == this) {
        s_playing = nullptr;
    }
    emit stateChanged();
}

void CMusicPlayer::Stop() {
    m_playing = false;
    if (s_playing == this) {
        s_playing = nullptr;
    }
    Seek(0);
    emit stateChanged();
}

void CMusicPlayer::Reload() {
    Stop();
    m_source.reset();
    m_synth.reset();
    m_synthProblem.clear();
    emit stateChanged();
}

void CMusicPlayer::Seek(double seconds) {
    const bool playing = m_playing;
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink.reset();
    }
    m_base = std::clamp(seconds, 0.0, m_info.lengthSeconds);
    if (m_synth) {
        m_synth->Seek(m_info.TickAt(m_base));
    }
    m_playing = false;
    if (playing) {
        Play();
    }
}

void CMusicPlayer::SetVolume(double volume) {
    m_volume = std::clamp(volume, 0.0, 1.0);
    if (m_sink) {
        m_sink->setVolume(m_volume);
    }
}

// The source ran dry: the sequence and its tail are over, so the next Play starts again.
void CMusicPlayer::OnSinkState() {
    if (m_sink && m_sink->state() == QAudio::IdleState && m_synth && m_synth->Finished()) {
        Stop();
    }
}

void CMusicPlayer::SetSoundFont(const std::string& path) {
    s_soundFont = path;
}

const std::string& CMusicPlayer::ChosenSoundFont() {
    return s_soundFont;
}

CMusicPlayer* CMusicPlayer::Playing() {
    return s_playing;
}

void CMusicPlayer::PretendNoAudioDevice(bool pretend) {
    s_pretendNoDevice = pretend;
}

// SPDX-License-Identifier: MIT
#include "viewers/music_player.h"

#include <QIODevice>
#include <algorithm>

#include "audio/synth.h"
#include "environment/sound_font.h"
#include "viewers/audio_output.h"

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

}  // namespace

CMusicPlayer::CMusicPlayer(std::vector<uint8_t> midi, const MidiInfo& info, QObject* parent)
    : QObject(parent), m_midi(std::move(midi)), m_info(info) {
    if (s_pretendNoDevice) {
        m_problem = NoDeviceText();
        return;
    }
    m_output = LoadAudioOutput(&m_problem);
    if (m_output == nullptr) {
        return;
    }
    switch (m_output->check(kSynthSampleRate, kSynthChannels)) {
        case AudioDevice::Missing:
            m_problem = NoDeviceText();
            break;
        case AudioDevice::FormatRefused:
            m_problem = tr("The audio device does not play 44.1 kHz 16-bit stereo.");
            break;
        case AudioDevice::Ready:
            break;
    }
}

CMusicPlayer::~CMusicPlayer() {
    if (s_playing == this) {
        s_playing = nullptr;
    }
    m_sink.reset();  // stops, and calls back no more
}

QString CMusicPlayer::NoDeviceText() {
    return tr(
        "There is no audio device, so the music cannot be played here. "
        "File > Export audio... still writes it to a file.");
}

QString CMusicPlayer::Problem() const {
    return m_problem.isEmpty() ? m_synthProblem : m_problem;
}

double CMusicPlayer::Position() const {
    if (m_sink && m_sink->GetState() != AudioOutput::State::Stopped) {
        return m_base + static_cast<double>(m_sink->Processed()) / 1e6;
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
    if (m_sink && m_sink->GetState() == AudioOutput::State::Suspended) {
        m_sink->Resume();
    } else {
        m_sink.reset(m_output->open(kSynthSampleRate, kSynthChannels, [this] { OnSinkState(); }));
        m_sink->SetVolume(m_volume);
        m_sink->Start(m_source.get());
    }
    emit stateChanged();
}

void CMusicPlayer::Pause() {
    if (!m_playing) {
        return;
    }
    m_playing = false;
    if (m_sink) {
        m_sink->Suspend();
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
    m_sink.reset();
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
        m_sink->SetVolume(m_volume);
    }
}

// The source ran dry: the sequence and its tail are over, so the next Play starts again.
void CMusicPlayer::OnSinkState() {
    if (m_sink && m_sink->GetState() == AudioOutput::State::Idle && m_synth &&
        m_synth->Finished()) {
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

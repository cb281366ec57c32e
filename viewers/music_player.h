// SPDX-License-Identifier: MIT
#pragma once
// Plays a music entry through the desktop's audio output. The synthesizer renders
// blocks as the output asks for them (Qt Multimedia's QAudioSink in pull mode, see
// audio_output.h), so the
// music starts at once, seeks anywhere, and never needs the whole rendering in memory.
// QAudioSink rather than FluidSynth's own audio driver: it goes through the same
// PulseAudio/PipeWire output as the rest of the desktop with no second audio stack to
// configure, tells plainly when there is no device, and keeps position and volume with
// the window's other controls.
//
// Only one player plays at a time: starting one pauses whichever played before.
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/midi_reader.h"

class AudioOutput;
struct AudioOutputModule;
class MidiSynth;
class QIODevice;

class CMusicPlayer : public QObject {
    Q_OBJECT
public:
    CMusicPlayer(std::vector<uint8_t> midi, const MidiInfo& info, QObject* parent = nullptr);
    ~CMusicPlayer() override;

    // Why the music cannot be played here ("" when it can): no audio device, no
    // SoundFont, a synthesizer that does not start.
    QString Problem() const;
    bool IsPlaying() const { return m_playing; }
    // Seconds into the sequence: what has been heard, or where the next Play starts.
    double Position() const;

    void Play();
    void Pause();
    void Stop();
    void Seek(double seconds);
    // Stops and starts the synthesizer afresh at the next Play, with the SoundFont
    // chosen by then.
    void Reload();
    // 0 (silent) to 1 (as rendered).
    void SetVolume(double volume);

    // The SoundFont every player uses from now on ("" for the installed default).
    static void SetSoundFont(const std::string& path);
    static const std::string& ChosenSoundFont();
    // The player playing now, or null.
    static CMusicPlayer* Playing();
    // Tests run without a sound card on some machines and with one on others; this
    // makes every player behave as without one.
    static void PretendNoAudioDevice(bool pretend);

signals:
    // Playing, paused or stopped, or the end was reached.
    void stateChanged();

private:
    static QString NoDeviceText();
    bool StartSynth();
    void OnSinkState();

    std::vector<uint8_t> m_midi;
    MidiInfo m_info;
    std::unique_ptr<MidiSynth> m_synth;
    std::unique_ptr<QIODevice> m_source;
    const AudioOutputModule* m_output = nullptr;  // null when the module is missing
    std::unique_ptr<AudioOutput> m_sink;
    double m_base = 0;  // seconds at which the sink last started
    double m_volume = 1;
    bool m_playing = false;
    QString m_problem;       // of the device, for good
    QString m_synthProblem;  // of the SoundFont or synthesizer, until Reload
};

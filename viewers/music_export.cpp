// SPDX-License-Identifier: MIT
#include "viewers/music_export.h"

#include <QCoreApplication>

#include "audio/audio_file.h"
#include "audio/midi_reader.h"
#include "audio/synth.h"
#include "environment/sound_font.h"
#include "platform/atomic_file.h"
#include "platform/file_output.h"
#include "platform/prompts.h"
#include "viewers/music_player.h"

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("CMusicViewer", text);
}

void Report(QWidget* owner, const std::string& text) {
    platform::MessageRequest message;
    message.text = text;
    message.icon = platform::MessageIcon::Exclamation;
    message.owner = owner;
    platform::Prompts().ShowMessage(message);
}

std::optional<std::string> AskPath(QWidget* owner, const std::string& name) {
    platform::SaveFileRequest request;
    const size_t dot = name.rfind('.');
    request.fileName = (dot == std::string::npos ? name : name.substr(0, dot)) + ".wav";
    request.defaultExtension = "wav";
    request.filter = Tr("WAV audio (*.wav)|*.wav|").toStdString();
    if (FlacAvailable()) {
        request.filter += Tr("FLAC audio (*.flac)|*.flac|").toStdString();
    }
    request.owner = owner;
    return platform::Prompts().SaveFile(request);
}

}  // namespace

bool ExportMusic(QWidget* owner, const std::vector<uint8_t>& midi, const std::string& name,
                 const FileIdentity& source) {
    const std::optional<std::string> path = AskPath(owner, name);
    if (!path) {
        return false;
    }
    AudioFileKind kind;
    std::string error;
    const std::string font = FindSoundFont(CMusicPlayer::ChosenSoundFont(), &error);
    if (!AudioFileKindFor(*path, kind, &error) || font.empty()) {
        Report(owner, error);
        return false;
    }
    platform::ProgressRequest request;
    request.title = Tr("Exporting audio").toStdString();
    MidiInfo info;
    ReadMidi(midi.data(), midi.size(), info);
    // Steps are tenths of a second of music, the tail included.
    request.total = static_cast<size_t>((info.lengthSeconds + kMaxReleaseSeconds) * 10);
    request.owner = owner;
    std::unique_ptr<platform::IProgress> progress = platform::Prompts().BeginProgress(request);
    const std::string text = Tr("Rendering %1").arg(QString::fromStdString(name)).toStdString();
    auto step = [&](double done, double) {
        return progress->Step(static_cast<size_t>(done * 10), text);
    };
    std::vector<int16_t> pcm;
    if (!RenderMidi(midi.data(), midi.size(), font, step, pcm, &error)) {
        if (error != "cancelled") {
            Report(owner, error);
        }
        return false;
    }
    progress.reset();
    std::vector<uint8_t> file;
    PlaceRules rules;
    rules.protect = source;
    const size_t frames = pcm.size() / kSynthChannels;
    if (!EncodeAudio(kind, pcm.data(), frames, kSynthChannels, kSynthSampleRate, file, &error) ||
        !WriteFileAtomically(*path, file.data(), file.size(), &error, rules)) {
        Report(owner, error);
        return false;
    }
    return true;
}

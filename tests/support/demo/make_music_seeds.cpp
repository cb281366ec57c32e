// SPDX-License-Identifier: MIT
// Writes the seed inputs of the MIDI and camera/tutorial fuzz targets with the music
// builder: lumo_make_music_seeds fuzz/seeds
#include <iostream>
#include <string>

#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"
#include "tests/support/music_builder.h"

using namespace lumo::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " SEED-ROOT\n";
        return 2;
    }
    const std::string midi = std::string(argv[1]) + "/fuzz_midi/";
    const std::string other = std::string(argv[1]) + "/fuzz_camera_tutorial/";
    WriteFile(midi + "song", BuildSong(4, 3));
    MidiTrackWriter track;
    track.Name("x").Tempo(0, 400000).Program(0, 1, 5).NoteOn(10, 1, 60, 9).Raw(0, {61, 9});
    track.Raw(0, {0xF0, 0x02, 0x7E, 0xF7}).Tempo(100, 900000).End(5);
    WriteFile(midi + "events", BuildMidi({track, MidiTrackWriter().End()}));
    MidiFileOptions smpte;
    smpte.format = 0;
    smpte.division = 0xE728;
    WriteFile(midi + "smpte", BuildMidi({track}, smpte));
    WriteFile(other + "camera", BuildCameraTrack(3));
    WriteFile(other + "camera-counted", BuildCameraTrack(2, true));
    WriteFile(other + "tutorial", BuildTutorial({"Press OK.", "Menu"}));
    WriteFile(other + "tutorial-lzss", LzssCompressEntry(BuildTutorial({"Press OK to go on."})));
    return 0;
}

// SPDX-License-Identifier: MIT
#pragma once
// The music viewer: a ".mid" entry's title, length and tracks (names and instruments),
// with Play/Pause (Space), Stop, a position slider that seeks, and volume; File > Export
// audio... writes it as WAV or FLAC. An entry the MIDI reader refuses is shown as hex
// with the reason.
#include <QString>
#include <cstdint>
#include <vector>

#include "audio/midi_reader.h"
#include "viewers/child_frame.h"

class CHexView;
class CMusicPlayer;
class QLabel;
class QPushButton;
class QSlider;
class QTreeWidget;

class CMusicViewer : public CChildFrame {
    Q_OBJECT
public:
    explicit CMusicViewer(QWidget* parent = nullptr);
    ~CMusicViewer() override;

    bool OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) override;
    void PaintFrame() override {}
    // Any bytes show: a readable sequence with its player, others as hex. Always true.
    bool LoadEntryData(const unsigned char* pData, uint32_t nSize) override;

    // Null for an entry the reader refused.
    CMusicPlayer* GetPlayer() const { return m_pPlayer; }
    const MidiInfo& GetInfo() const { return m_info; }
    QTreeWidget* GetTrackList() const { return m_pTracks; }
    QSlider* GetPositionSlider() const { return m_pPosition; }
    QPushButton* GetPlayButton() const { return m_pPlay; }
    // What the window says above the controls: the problem, or "".
    QString GetNotice() const;

    void OnPlayPause();
    void OnStop();
    void OnChooseSoundFont();
    void OnFileExportAudio();
    void OnUpdateExportAudio(CCmdUI* pCmdUI);

private:
    void ShowSequence();
    void ShowUnreadable(MidiError error);
    void UpdateControls();

    std::vector<uint8_t> m_data;
    MidiInfo m_info;
    CMusicPlayer* m_pPlayer = nullptr;
    CHexView* m_pHex = nullptr;
    QLabel* m_pTitle;
    QLabel* m_pNotice;
    QLabel* m_pTime;
    QTreeWidget* m_pTracks;
    QPushButton* m_pPlay;
    QPushButton* m_pStop;
    QPushButton* m_pSoundFont;
    QSlider* m_pPosition;
    QSlider* m_pVolume;
    bool m_bDragging = false;
};

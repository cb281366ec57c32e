// SPDX-License-Identifier: MIT
#pragma once
// The camera viewer: a ".cam" entry's frames as a table of their ten values, beside a
// small plot of the first three values as a path seen from above and from the side.
// An entry whose size does not fit the frame layout is shown as hex with the reason.
#include <cstdint>
#include <vector>

#include "formats/camera.h"
#include "viewers/child_frame.h"

class CHexView;
class QLabel;
class QTableView;

class CCameraViewer : public CChildFrame {
    Q_OBJECT
public:
    explicit CCameraViewer(QWidget* parent = nullptr);
    ~CCameraViewer() override;

    void PaintFrame() override {}
    // Any bytes show; always true.
    bool LoadEntryData(const unsigned char* pData, uint32_t nSize) override;

    const CameraTrack& GetTrack() const { return m_track; }
    // Null when the entry had no frame table.
    QTableView* GetTable() const { return m_pTable; }
    QString GetNotice() const;

private:
    std::vector<uint8_t> m_data;
    CameraTrack m_track;
    QLabel* m_pNotice;
    QTableView* m_pTable = nullptr;
    CHexView* m_pHex = nullptr;
};

// SPDX-License-Identifier: MIT
#pragma once
// The tutorial viewer: a ".tut" entry's text runs, decoded from the game's encoding,
// beside its bytes in hex (decompressed first when it is compressed). Choosing a run
// marks its bytes in the hex.
#include <cstdint>

#include "formats/tutorial.h"
#include "viewers/child_frame.h"

class CHexView;
class QLabel;
class QListWidget;

class CTutorialViewer : public CChildFrame {
    Q_OBJECT
public:
    explicit CTutorialViewer(QWidget* parent = nullptr);
    ~CTutorialViewer() override;

    void PaintFrame() override {}
    // Any bytes show; always true.
    bool LoadEntryData(const unsigned char* pData, uint32_t nSize) override;

    const Tutorial& GetTutorial() const { return m_tutorial; }
    QListWidget* GetRuns() const { return m_pRuns; }
    CHexView* GetHex() const { return m_pHex; }
    QString GetNotice() const;

private:
    Tutorial m_tutorial;
    QLabel* m_pNotice;
    QListWidget* m_pRuns;
    CHexView* m_pHex;
};

// SPDX-License-Identifier: MIT
#include "viewers/tutorial_viewer.h"

#include <QLabel>
#include <QListWidget>
#include <QSplitter>
#include <QVBoxLayout>

#include "viewers/hex_viewer.h"

CTutorialViewer::CTutorialViewer(QWidget* parent)
    : CChildFrame(parent), m_pNotice(new QLabel), m_pRuns(new QListWidget), m_pHex(new CHexView) {
    auto* layout = new QVBoxLayout(GetClientWidget());
    auto* splitter = new QSplitter(Qt::Horizontal);
    m_pNotice->setWordWrap(true);
    splitter->addWidget(m_pRuns);
    splitter->addWidget(m_pHex);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(m_pNotice);
    layout->addWidget(splitter, 1);
    connect(m_pRuns, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && static_cast<size_t>(row) < m_tutorial.runs.size()) {
            const TutorialText& run = m_tutorial.runs[static_cast<size_t>(row)];
            m_pHex->ShowRange(run.offset, run.length);
        }
    });
}

CTutorialViewer::~CTutorialViewer() = default;

bool CTutorialViewer::LoadEntryData(const unsigned char* pData, uint32_t nSize) {
    std::string reason;
    const bool ok = ReadTutorial(pData, pData ? nSize : 0, m_tutorial, &reason);
    QString notice = tr("%n text run(s)", nullptr, static_cast<int>(m_tutorial.runs.size()));
    if (m_tutorial.compressed) {
        notice += tr(", decompressed (%1 bytes)").arg(m_tutorial.bytes.size());
    } else if (!ok) {
        notice += tr("; not decompressed: %1").arg(QString::fromStdString(reason));
    }
    m_pNotice->setText(notice);
    for (const TutorialText& run : m_tutorial.runs) {
        m_pRuns->addItem(QString("%1  %2")
                             .arg(run.offset, 6, 16, QChar('0'))
                             .arg(QString::fromLatin1(run.text.c_str())));
    }
    m_pHex->SetData(m_tutorial.bytes.data(), m_tutorial.bytes.size());
    return true;
}

QString CTutorialViewer::GetNotice() const {
    return m_pNotice->text();
}

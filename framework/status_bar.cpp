// SPDX-License-Identifier: MIT
#include "framework/status_bar.h"

#include "res/resource.h"
#include "res/resource_tables.h"

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent) {}

bool CStatusBar::SetIndicators(const int* ids, int count) {
    for (QLabel* pane : m_panes) {
        removeWidget(pane);
        delete pane;
    }
    m_panes.clear();
    m_ids.clear();
    for (int i = 0; i < count; ++i) {
        const char* text = ids[i] == ID_SEPARATOR ? "" : LoadResString(ids[i]);
        if (!text) {
            return false;
        }
        auto* pane = new QLabel(QString::fromUtf8(text), this);
        pane->setTextFormat(Qt::PlainText);
        pane->setMinimumWidth(1);  // long texts are clipped, never widen the pane
        if (ids[i] == ID_SEPARATOR) {
            pane->setFrameShape(QFrame::NoFrame);
            addWidget(pane, 1);
        } else {
            pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            addWidget(pane, 0);
        }
        m_panes.push_back(pane);
        m_ids.push_back(ids[i]);
    }
    return true;
}

void CStatusBar::SetPaneInfo(int index, int id, int width) {
    QLabel* pane = GetPane(index);
    if (!pane) {
        return;
    }
    m_ids[static_cast<size_t>(index)] = id;
    pane->setFixedWidth(width);
}

void CStatusBar::SetPaneText(int index, const QString& text, bool update) {
    QLabel* pane = GetPane(index);
    if (!pane) {
        return;
    }
    pane->setText(text);
    if (update && pane->isVisible()) {
        pane->repaint();
    }
}

QString CStatusBar::GetPaneText(int index) const {
    QLabel* pane = GetPane(index);
    return pane ? pane->text() : QString();
}

QLabel* CStatusBar::GetPane(int index) const {
    if (index < 0 || index >= GetPaneCount()) {
        return nullptr;
    }
    return m_panes[static_cast<size_t>(index)];
}

// SPDX-License-Identifier: MIT
#include "framework/command_target.h"

#include <QAction>

void CCmdUI::Enable(bool enable) {
    m_bEnabled = enable;
    if (m_pAction) {
        m_pAction->setEnabled(enable);
    }
}

void CCmdUI::SetCheck(bool check) {
    if (m_pAction) {
        m_pAction->setCheckable(true);
        m_pAction->setChecked(check);
    }
}

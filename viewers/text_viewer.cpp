// SPDX-License-Identifier: MIT
#include "viewers/text_viewer.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include "formats/text.h"
#include "res/resource.h"
#include "viewers/find_prompt.h"

namespace {

const CommandMapEntry<CTextViewer> kTextCommands[] = {
    {ID_EDIT_FIND, &CTextViewer::OnEditFind, nullptr},
    {ID_EDIT_COPY, &CTextViewer::OnEditCopy, &CTextViewer::OnUpdateEditCopy},
};

}  // namespace

CTextViewer::CTextViewer(QWidget* parent) : CChildFrame(parent), m_pEdit(new QPlainTextEdit) {
    auto* layout = new QVBoxLayout(GetClientWidget());
    layout->setContentsMargins(0, 0, 0, 0);
    m_pEdit->setReadOnly(true);
    m_pEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(m_pEdit);
}

CTextViewer::~CTextViewer() = default;

bool CTextViewer::OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) {
    // With the keyboard in the index list, Copy copies its names instead.
    if (id == ID_EDIT_COPY && FocusElsewhere()) {
        return false;
    }
    return DispatchCommand(*this, kTextCommands, id, query, ui) ||
           CChildFrame::OnCmdMsg(id, query, ui);
}

bool CTextViewer::LoadEntryData(const unsigned char* pData, uint32_t nSize) {
    const std::string text = pData ? NormaliseLineEndings(pData, nSize) : std::string();
    m_pEdit->setPlainText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    return true;
}

bool CTextViewer::FindNext(const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    if (m_pEdit->find(text)) {
        return true;
    }
    const QTextCursor kept = m_pEdit->textCursor();
    m_pEdit->moveCursor(QTextCursor::Start);
    if (m_pEdit->find(text)) {
        return true;
    }
    m_pEdit->setTextCursor(kept);
    return false;
}

void CTextViewer::OnEditFind() {
    m_lastFind = AskAndFind(this, tr("Find what:"), m_lastFind,
                            [this](const QString& text) { return FindNext(text); });
}

void CTextViewer::OnEditCopy() {
    m_pEdit->copy();
}

void CTextViewer::OnUpdateEditCopy(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_pEdit->textCursor().hasSelection());
}

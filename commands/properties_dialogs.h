// SPDX-License-Identifier: MIT
#pragma once
// Properties of entries (one row per entry when several are selected) and of the
// archive, with Verify: the same facts lumo-cli's info and verify print.
#include <QDialog>
#include <cstdint>
#include <vector>

#include "formats/entry_report.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

class CPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    CPropertiesDialog(const CLgpArchive& archive, const std::vector<uint16_t>& entries,
                      QWidget* parent = nullptr);
    QTableWidget* GetTable() const { return m_pTable; }

private:
    QTableWidget* m_pTable;
};

class CArchivePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit CArchivePropertiesDialog(const CLgpArchive& archive, QWidget* parent = nullptr);
    // Reads every entry with a progress dialog that can cancel, then lists the problems.
    void Verify();
    QTableWidget* GetTable() const { return m_pTable; }
    QListWidget* GetProblemList() const { return m_pProblems; }
    QLabel* GetVerdict() const { return m_pVerdict; }
    QPushButton* GetVerifyButton() const { return m_pVerify; }

private:
    const CLgpArchive& m_archive;
    QTableWidget* m_pTable;
    QPushButton* m_pVerify;
    QLabel* m_pVerdict;
    QListWidget* m_pProblems;
};

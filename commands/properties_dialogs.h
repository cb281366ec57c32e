// SPDX-License-Identifier: MIT
#pragma once
// Properties of entries (one row per entry when several are selected) and of the
// archive, with Verify: the same facts lumo-cli's info and verify print. Both read the
// entry source they are given, which they hold while they are up.
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
    // The entries as `source` has them: a change list's source describes an entry as the
    // next save will write it.
    CPropertiesDialog(EntrySourcePtr source, const std::vector<EntryId>& entries,
                      QWidget* parent = nullptr);
    QTableWidget* GetTable() const { return m_pTable; }

private:
    QTableWidget* m_pTable;
};

class CArchivePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    // `source` is the archive's file as it is on disk. With `unsavedChanges` the dialog
    // says that changes not saved yet are not part of what it shows and verifies.
    explicit CArchivePropertiesDialog(EntrySourcePtr source, bool unsavedChanges = false,
                                      QWidget* parent = nullptr);
    // Reads every entry with a progress dialog that can cancel, then lists the problems.
    void Verify();
    QTableWidget* GetTable() const { return m_pTable; }
    QListWidget* GetProblemList() const { return m_pProblems; }
    QLabel* GetVerdict() const { return m_pVerdict; }
    QPushButton* GetVerifyButton() const { return m_pVerify; }

private:
    void ListFaults(const std::vector<EntryFault>& faults);

    EntrySourcePtr m_source;
    bool m_unsavedChanges;
    QTableWidget* m_pTable;
    QPushButton* m_pVerify;
    QLabel* m_pVerdict;
    QListWidget* m_pProblems;
};

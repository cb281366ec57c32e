// SPDX-License-Identifier: MIT
#include "commands/properties_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <utility>

#include "models/model_properties.h"

#include "commands/run_reason_text.h"

namespace {

QString Text(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// A property's name as the user reads it. The report is shared with lumo-cli and names
// its properties in English; a translation of the desktop program gives them under the
// "EntryReport" context.
QString Key(const std::string& key) {
    return QCoreApplication::translate("EntryReport", key.c_str());
}

QTableWidget* NewTable(int rows, const QStringList& columns) {
    auto* table = new QTableWidget(rows, static_cast<int>(columns.size()));
    table->setHorizontalHeaderLabels(columns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

// Key / value rows, for one entry or the archive.
QTableWidget* KeyValueTable(const PropertyList& list) {
    QTableWidget* table =
        NewTable(static_cast<int>(list.size()), {QObject::tr("Property"), QObject::tr("Value")});
    for (size_t i = 0; i < list.size(); ++i) {
        table->setItem(static_cast<int>(i), 0, new QTableWidgetItem(Key(list[i].first)));
        table->setItem(static_cast<int>(i), 1, new QTableWidgetItem(Text(list[i].second)));
    }
    table->resizeColumnToContents(0);
    return table;
}

// One row per entry; the columns are every property any of them has, in order of
// first appearance, so a texture's depth and a field's tiles each get their column.
QTableWidget* EntryRowsTable(const std::vector<PropertyList>& lists) {
    QStringList columns;
    for (const PropertyList& list : lists) {
        for (const auto& [key, value] : list) {
            if (!columns.contains(Key(key))) {
                columns << Key(key);
            }
        }
    }
    QTableWidget* table = NewTable(static_cast<int>(lists.size()), columns);
    for (size_t row = 0; row < lists.size(); ++row) {
        for (const auto& [key, value] : lists[row]) {
            table->setItem(static_cast<int>(row), static_cast<int>(columns.indexOf(Key(key))),
                           new QTableWidgetItem(Text(value)));
        }
    }
    table->resizeColumnsToContents();
    return table;
}

void AddJoined(PropertyList& list, const char* key, const std::vector<std::string>& items,
               const char* separator) {
    std::string text;
    for (const std::string& item : items) {
        text += (text.empty() ? "" : separator) + item;
    }
    if (!text.empty()) {
        list.emplace_back(key, text);
    }
}

// A model entry's properties add what the model holds and, for a skeleton, the names
// of the animations that fit it, each list on one row.
void AddModelRows(SourceModelFacts& models, EntryId entry, PropertyList& list) {
    const ModelFacts facts = models.Describe(entry);
    list.insert(list.end(), facts.properties.begin(), facts.properties.end());
    AddJoined(list, "animations", facts.fittingAnimations, ", ");
    AddJoined(list, "missing", facts.warnings, "; ");
}

// What Archive properties and Verify say while changes wait for a save: they are about
// the file, which is what the archive is until the changes are saved into it.
QString OnDiskNote() {
    return QCoreApplication::translate("CArchivePropertiesDialog",
                                       "The file as saved on disk; changes not saved yet are "
                                       "not part of it.");
}

QDialogButtonBox* CloseButton(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

CPropertiesDialog::CPropertiesDialog(EntrySourcePtr source, const std::vector<EntryId>& entries,
                                     QWidget* parent)
    : QDialog(parent) {
    setObjectName("PropertiesDialog");
    setWindowTitle(tr("Properties"));
    std::vector<PropertyList> lists;
    SourceModelFacts models(*source);
    for (EntryId entry : entries) {
        lists.push_back(EntryProperties(*source, entry));
        AddModelRows(models, entry, lists.back());
    }
    m_pTable = lists.size() == 1 ? KeyValueTable(lists.front()) : EntryRowsTable(lists);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTable);
    layout->addWidget(CloseButton(this));
    resize(lists.size() == 1 ? 420 : 760, 360);
}

CArchivePropertiesDialog::CArchivePropertiesDialog(EntrySourcePtr source, bool unsavedChanges,
                                                   QWidget* parent)
    : QDialog(parent),
      m_source(std::move(source)),
      m_unsavedChanges(unsavedChanges),
      m_pTable(KeyValueTable(ArchiveProperties(*m_source))),
      m_pVerify(new QPushButton(tr("&Verify"))),
      m_pVerdict(new QLabel(tr("Verify reads every entry and decodes fields and textures."))),
      m_pProblems(new QListWidget) {
    if (m_unsavedChanges) {
        m_pVerdict->setText(OnDiskNote());
    }
    setObjectName("ArchivePropertiesDialog");
    setWindowTitle(tr("Archive properties"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTable);
    layout->addWidget(m_pVerify, 0, Qt::AlignLeft);
    layout->addWidget(m_pVerdict);
    layout->addWidget(m_pProblems);
    layout->addWidget(CloseButton(this));
    connect(m_pVerify, &QPushButton::clicked, this, &CArchivePropertiesDialog::Verify);
    resize(480, 480);
}

void CArchivePropertiesDialog::Verify() {
    const int total = static_cast<int>(m_source->Count());
    QProgressDialog progress(tr("Verifying entries..."), tr("Cancel"), 0, total, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    bool cancelled = false;
    RunHooks run;
    run.progress = [&progress](size_t done, size_t, EntryId) {
        progress.setValue(static_cast<int>(done));
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    const std::vector<EntryFault> faults = VerifyArchive(*m_source, run, &cancelled);
    progress.reset();
    ListFaults(faults);
    QString verdict = faults.empty() ? tr("Every entry is whole and decodes.")
                                     : tr("%n entries have problems:", "", int(faults.size()));
    if (cancelled) {
        verdict = tr("Cancelled before the end. ") + verdict;
    }
    if (m_unsavedChanges) {
        verdict = OnDiskNote() + ' ' + verdict;
    }
    m_pVerdict->setText(verdict);
}

void CArchivePropertiesDialog::ListFaults(const std::vector<EntryFault>& faults) {
    m_pProblems->clear();
    // Damage first: entries the archive does not hold whole; then the whole entries whose
    // bytes only do not decode as their type suggests.
    for (bool damage : {true, false}) {
        const auto count =
            std::count_if(faults.begin(), faults.end(),
                          [damage](const EntryFault& f) { return f.damage == damage; });
        if (count == 0) {
            continue;
        }
        auto* heading = new QListWidgetItem(
            damage ? tr("Damaged (%1), not held whole by the archive:").arg(count)
                   : tr("Warnings (%1), whole but not decoding as their type suggests:").arg(count),
            m_pProblems);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        heading->setFlags(Qt::ItemIsEnabled);
        for (const EntryFault& fault : faults) {
            if (fault.damage == damage && fault.wholeArchive) {
                m_pProblems->addItem(tr("Archive: %1").arg(Text(fault.problem)));
            } else if (fault.damage == damage) {
                m_pProblems->addItem(tr("#%1 %2: %3")
                                         .arg(fault.index)
                                         .arg(Text(m_source->Name(fault.entry)))
                                         .arg(RunReasonText(fault.code, fault.problem)));
            }
        }
    }
}

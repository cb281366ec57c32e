// SPDX-License-Identifier: MIT
// The archive index with a full archive of 65,535 entries: filling the list and painting
// it once, sorting it by name, and filtering it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cstdio>
#include <memory>

#include "archive/archive_document.h"
#include "archive/lgp_archive.h"
#include "archive/lgp_snapshot.h"
#include "indexbar/index_bar.h"
#include "indexbar/index_sort.h"
#include "tests/support/lgp_writer.h"

namespace {

// A catalogue of the largest size an archive can have, names in no particular order.
struct FullArchive {
    FullArchive() {
        path = dir.Write("full.lgp", lumo::test::FullArchiveInNoOrder(12345, ""));
        archive.Load(path.c_str());
    }
    lumo::test::TempDir dir;
    std::string path;
    CLgpArchive archive;
};

FullArchive& Archive() {
    static FullArchive full;
    return full;
}

std::vector<IndexRow> RowsOf(const CLgpArchive& archive) {
    std::vector<IndexRow> rows;
    rows.reserve(archive.GetEntryCount());
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        rows.push_back({i, QString::fromLatin1(archive.GetEntryName(i)), archive.GetEntrySize(i),
                        archive.GetEntryType(i)});
    }
    return rows;
}

std::unique_ptr<CIndexBar> MakeBar() {
    auto bar = std::make_unique<CIndexBar>();
    bar->Create(nullptr);
    bar->resize(205, 600);
    bar->GetListCtrl()->setEnabled(true);
    return bar;
}

void BM_FillAndPaint(benchmark::State& state) {
    const CLgpArchive& archive = Archive().archive;
    auto bar = MakeBar();
    CListCtrl* list = bar->GetListCtrl();
    QImage image(list->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        list->DeleteAllItems();
        list->AppendRows(RowsOf(archive));
        list->render(&image);
    }
    state.counters["rows"] = list->GetItemCount();
}
BENCHMARK(BM_FillAndPaint)->Unit(benchmark::kMillisecond);

// The rows as File > Open built them before the index followed the document: straight
// from the catalogue, with the index's size texts.
void BM_FillFromCatalogueAndPaint(benchmark::State& state) {
    const CLgpArchive& archive = Archive().archive;
    auto bar = MakeBar();
    CListCtrl* list = bar->GetListCtrl();
    QImage image(list->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        std::vector<IndexRow> rows(archive.GetEntryCount());
        for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
            rows[i] = {i, QString::fromLatin1(archive.GetEntryName(i)), archive.GetEntrySize(i),
                       archive.GetEntryType(i)};
        }
        list->DeleteAllItems();
        list->AppendRows(std::move(rows));
        list->render(&image);
    }
    state.counters["rows"] = list->GetItemCount();
}
BENCHMARK(BM_FillFromCatalogueAndPaint)->Unit(benchmark::kMillisecond);

// The same fill as File > Open does it now: the bar follows the document, which hands it
// the catalogue's snapshot, and builds its rows through the entry source. Against
// BM_FillFromCatalogueAndPaint, the cost of reading through the source.
void BM_FollowDocumentAndPaint(benchmark::State& state) {
    const EntrySourcePtr source = Archive().archive.Snapshot();
    auto bar = MakeBar();
    ArchiveDocument document;
    document.AddObserver(bar.get());
    CListCtrl* list = bar->GetListCtrl();
    QImage image(list->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        document.SetSource(source);
        list->render(&image);
    }
    document.RemoveObserver(bar.get());
    state.counters["rows"] = list->GetItemCount();
}
BENCHMARK(BM_FollowDocumentAndPaint)->Unit(benchmark::kMillisecond);

void BM_SortByName(benchmark::State& state) {
    const CLgpArchive& archive = Archive().archive;
    auto bar = MakeBar();
    bar->SetCatalogue(&archive);
    bar->GetListCtrl()->AppendRows(RowsOf(archive));
    for (auto _ : state) {
        state.PauseTiming();
        bar->m_nSortMode = SORTMODE_ORIGINAL;
        bar->SortList();
        bar->m_nSortMode = SORTMODE_NAME;
        state.ResumeTiming();
        bar->SortList();
    }
}
BENCHMARK(BM_SortByName)->Unit(benchmark::kMillisecond);

// Typing in the find field: the filter applied to every name and the list painted once,
// from the whole list to a narrow one and back, as consecutive keystrokes would.
void BM_FilterAndPaint(benchmark::State& state) {
    const CLgpArchive& archive = Archive().archive;
    auto bar = MakeBar();
    CListCtrl* list = bar->GetListCtrl();
    list->AppendRows(RowsOf(archive));
    QImage image(list->size(), QImage::Format_RGB32);
    const QString texts[] = {QStringLiteral("a*1?"), QString()};
    size_t next = 0;
    for (auto _ : state) {
        bar->SetFilterText(texts[next++ % 2]);
        list->render(&image);
    }
    bar->SetFilterText(texts[0]);
    state.counters["shown"] = list->GetItemCount();
}
BENCHMARK(BM_FilterAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace

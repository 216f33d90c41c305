// Editing speed with the platform's fonts on a 10 MB document: one typed
// character in a 5,000-character paragraph in its middle, end to end (the
// operation, the paragraph laid out again, pagination of what changed, the
// caret and the repaint list); undo and redo of a whole-document format
// change; and the memory the history holds after 10,000 typed characters.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "editing/DocumentEditor.h"
#include "editing/EditingHost.h"
#include "editing/OperationManager.h"
#include "layout/LineLayout.h"
#include "layout/Pagination.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/KerningPairs.h"
#include "model/TextStream.h"
#include "platform/FontSystem.h"

namespace {

using namespace quillane;

long PeakMemoryKb() {
    long kb = 0;
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            if (std::strncmp(line, "VmHWM:", 6) == 0) {
                kb = std::strtol(line + 6, nullptr, 10);
            }
        }
        std::fclose(status);
    }
    return kb;
}

void FillParagraph(TParagraph& p, std::mt19937& random, int32_t characters) {
    static const char* const words[] = {"the",   "layout", "of",       "a",    "paragraph", "measures", "every",
                                        "line",  "with",   "kerning,", "tabs", "and",       "justified", "text."};
    int32_t written = 0;
    while (written < characters) {
        if (random() % 100 < 3) {
            p.AppendAttributeTag(caBold, static_cast<int32_t>(random() % 2));
        }
        const char* word = words[random() % (sizeof words / sizeof words[0])];
        p.AppendChars(reinterpret_cast<const uint8_t*>(word), static_cast<int32_t>(std::strlen(word)));
        p.AppendChars(reinterpret_cast<const uint8_t*>(" "), 1);
        written += static_cast<int32_t>(std::strlen(word)) + 1;
    }
    p.AppendSpecial(spParagraphEnd);
}

struct TEditSetup {
    std::unique_ptr<TFontSystem> System = CreateFontSystem();
    TFontManager Fonts{*System};
    TKerningPairsManager Kerning;
    TLineLayout Layout{Fonts, Kerning, 96};
    TEditingHost Host;
    std::unique_ptr<TDocument> Document;
    std::unique_ptr<TDocumentEditor> Editor;
    int32_t Middle = 0;

    // 10 MB of 5,000-character paragraphs, paginated up to its middle.
    explicit TEditSetup(int64_t characters = 10'000'000) {
        Document = std::make_unique<TDocument>(TModelDefaults::BuiltIn(Fonts.TimesNewRomanIndex()), &Host);
        Document->SetLayouter(&Layout);
        std::mt19937 random(21);
        int64_t total = 0;
        while (total < characters) {
            TParagraph& p = total == 0 ? Document->Paragraph(0) : Document->AddParagraph();
            FillParagraph(p, random, 5000);
            total += p.PositionCount();
        }
        Middle = Document->ParagraphCount() / 2;
        PaginateUntil(*Document, Middle, 0, TPaginationOptions{});
        Editor = std::make_unique<TDocumentEditor>(*Document, OperationManagerOf(*Document));
    }
    TOperationManager& Manager() { return *OperationManagerOf(*Document); }
};

void TypeInTheMiddle(benchmark::State& state) {
    TEditSetup setup;
    TDocument& d = *setup.Document;
    const TTextPosition at{setup.Middle, 2500};
    d.View.Caret.Position = d.View.SelectionStart = d.View.SelectionEnd = at;
    setup.Editor->UpdateSelectionAttrs();
    TTypeRequest request;
    request.Text = "e";
    for (auto _ : state) {
        setup.Editor->PerformEditAction(14, request);
    }
    state.counters["paragraphs"] = d.ParagraphCount();
    state.counters["pages"] = d.PageCount();
    state.counters["peak_MB"] = static_cast<double>(PeakMemoryKb()) / 1024.0;
}
BENCHMARK(TypeInTheMiddle)->Unit(benchmark::kMicrosecond)->Iterations(2000);

void FormatWholeDocumentUndoRedo(benchmark::State& state) {
    TEditSetup setup;
    TDocument& d = *setup.Document;
    d.View.SelectionStart = {0, 0};
    d.View.SelectionEnd = {d.ParagraphCount() - 1, d.LastParagraph().PositionCount()};
    d.View.Caret.Position = d.View.SelectionEnd;
    TCharFormatRequest request;
    request.Attrs.Slots.fill(UndefinedAttr);
    request.Attrs[caItalic] = 1;
    setup.Editor->PerformEditAction(2, request);
    for (auto _ : state) {
        setup.Manager().Undo();
        setup.Manager().Redo();
    }
    state.counters["history_KB"] = static_cast<double>(setup.Manager().MemoryUsed()) / 1024.0;
    state.counters["peak_MB"] = static_cast<double>(PeakMemoryKb()) / 1024.0;
}
BENCHMARK(FormatWholeDocumentUndoRedo)->Unit(benchmark::kMillisecond)->Iterations(5);

void HistoryOfTenThousandCharacters(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        TEditSetup setup(200'000);
        TDocument& d = *setup.Document;
        const TTextPosition at{1, 10};
        d.View.Caret.Position = d.View.SelectionStart = d.View.SelectionEnd = at;
        setup.Editor->UpdateSelectionAttrs();
        TTypeRequest request;
        state.ResumeTiming();
        for (int i = 0; i < 10'000; ++i) {
            request.Text = i % 6 == 5 ? " " : "w";
            setup.Editor->PerformEditAction(14, request);
        }
        state.counters["operations"] = setup.Manager().Count();
        state.counters["history_KB"] = static_cast<double>(setup.Manager().MemoryUsed()) / 1024.0;
    }
}
BENCHMARK(HistoryOfTenThousandCharacters)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();

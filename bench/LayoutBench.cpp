// Line layout speed with the platform's fonts: every paragraph of a
// generated 10 MB document, and one keystroke in a 5,000-character
// paragraph laid out again in place.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "layout/LineLayout.h"
#include "layout/Pagination.h"
#include "layout/Painting.h"
#include "model/ColorManager.h"
#include "model/Units.h"
#include "platform/Canvas.h"
#include "platform/ColorSystem.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/KerningPairs.h"
#include "model/ParLine.h"
#include "model/TextStream.h"
#include "platform/FontSystem.h"

namespace {

using namespace quillane;

struct TLayoutSetup {
    std::unique_ptr<TFontSystem> System = CreateFontSystem();
    TFontManager Fonts{*System};
    TKerningPairsManager Kerning;
    TLineLayout Layout{Fonts, Kerning, 96};
};

// Words of ordinary prose with now and then a change of font, size, bold or
// italic, and a tab.
void FillParagraph(TParagraph& p, std::mt19937& random, int32_t characters, const TFontManager& fonts) {
    static const char* const words[] = {"the",     "layout", "of",    "a",        "paragraph", "measures",
                                        "every",   "line",   "with",  "kerning,", "tabs",      "and",
                                        "justified", "text.", "Quill", "document", "page",      "words"};
    int32_t written = 0;
    while (written < characters) {
        const uint32_t r = random() % 100;
        if (r < 3) {
            p.AppendAttributeTag(caBold, static_cast<int32_t>(random() % 2));
        } else if (r < 5) {
            p.AppendAttributeTag(caItalic, static_cast<int32_t>(random() % 2));
        } else if (r < 6) {
            p.AppendAttributeTag(caSize, 16 + static_cast<int32_t>(random() % 5) * 4);
        } else if (r < 7) {
            p.AppendAttributeTag(caFont, random() % 2 == 0 ? fonts.ArialIndex() : fonts.TimesNewRomanIndex());
        } else if (r < 8) {
            p.AppendSpecial(spTab);
            ++written;
        }
        const char* word = words[random() % (sizeof words / sizeof words[0])];
        p.AppendChars(reinterpret_cast<const uint8_t*>(word), static_cast<int32_t>(std::strlen(word)));
        p.AppendChars(reinterpret_cast<const uint8_t*>(" "), 1);
        written += static_cast<int32_t>(std::strlen(word)) + 1;
    }
    p.AppendSpecial(spParagraphEnd);
}

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

void LayOutDocument(benchmark::State& state) {
    TLayoutSetup setup;
    TDocument document(TModelDefaults::BuiltIn(setup.Fonts.TimesNewRomanIndex()));
    std::mt19937 random(10);
    int64_t characters = 0;
    while (characters < 10'000'000) {
        TParagraph& p = document.ParagraphCount() == 1 && document.Paragraph(0).PositionCount() == 0
                            ? document.Paragraph(0)
                            : document.AddParagraph();
        FillParagraph(p, random, 200 + static_cast<int32_t>(random() % 1800), setup.Fonts);
        characters += p.PositionCount();
    }
    int64_t lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
            setup.Layout.LayoutParagraph(document.Paragraph(i));
            lines += document.Paragraph(i).LineCount();
        }
    }
    state.counters["chars/s"] =
        benchmark::Counter(static_cast<double>(characters), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["paragraphs"] = document.ParagraphCount();
    state.counters["peak_MB"] = static_cast<double>(PeakMemoryKb()) / 1024.0;
}
BENCHMARK(LayOutDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

void RelayoutKeystroke(benchmark::State& state) {
    TLayoutSetup setup;
    TDocument document(TModelDefaults::BuiltIn(setup.Fonts.TimesNewRomanIndex()));
    std::mt19937 random(11);
    TParagraph& p = document.Paragraph(0);
    FillParagraph(p, random, 5000, setup.Fonts);
    setup.Layout.LayoutParagraph(p);
    // A line with room for one more letter.
    int32_t chosen = p.LineCount() / 2;
    while (chosen + 1 < p.LineCount() && p.Width - p.Line(chosen).X(p.Line(chosen).PositionCount - 1) < 200) {
        ++chosen;
    }
    TParLine& line = p.Line(chosen);
    const int32_t position = line.FirstPosition + 3;
    const int32_t offset = PositionToOffset(p.Text, p.PositionCount(), position);
    const uint8_t typed = 'i';
    bool inserted = false;
    for (auto _ : state) {
        // Typing and then deleting the character: two keystrokes, each laid
        // out in place.
        if (!inserted) {
            p.Text.InsertBytes(offset, &typed, 1);
            p.Positions.InsertBytes(position, &typed, 1);
            ++line.ByteLength;
        } else {
            p.Text.DeleteBytes(offset, 1);
            p.Positions.DeleteBytes(position, 1);
            --line.ByteLength;
        }
        inserted = !inserted;
        if (!setup.Layout.RelayoutLine(line)) {
            state.SkipWithError("the keystroke did not fit the line");
            break;
        }
    }
    state.counters["paragraph_chars"] = p.PositionCount();
    state.counters["line_positions"] = line.PositionCount;
}
BENCHMARK(RelayoutKeystroke)->Unit(benchmark::kMicrosecond);

// Pagination of a document of about 2,000 pages whose paragraphs are laid
// out already: only the fit tests and the page bookkeeping are timed.
void PaginateDocument(benchmark::State& state) {
    TLayoutSetup setup;
    TDocument document(TModelDefaults::BuiltIn(setup.Fonts.TimesNewRomanIndex()));
    document.SetLayouter(&setup.Layout);
    std::mt19937 random(12);
    int64_t characters = 0;
    while (characters < 6'700'000) {
        TParagraph& p = characters == 0 ? document.Paragraph(0) : document.AddParagraph();
        FillParagraph(p, random, 100 + static_cast<int32_t>(random() % 1500), setup.Fonts);
        p.Attributes[paWidowControl] = 1;
        p.Attributes[paKeepWithNext] = random() % 20 == 0 ? 1 : 0;
        p.Attributes[paSpaceAfter] = 120;
        characters += p.PositionCount();
        p.DropLayout(true);
    }
    const TPaginationOptions options;
    for (auto _ : state) {
        Paginate(document, 0, INT32_MAX, 0, options);
    }
    state.counters["pages"] = document.PageCount();
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(document.PageCount()),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_MB"] = static_cast<double>(PeakMemoryKb()) / 1024.0;
}
BENCHMARK(PaginateDocument)->Unit(benchmark::kMillisecond)->Iterations(5);

// One page of prose painted into an image and written as a file, as
// quillane-convert --to png does for each page.
void RenderPage(benchmark::State& state) {
    TLayoutSetup setup;
    TDocument document(TModelDefaults::BuiltIn(setup.Fonts.TimesNewRomanIndex()));
    document.SetLayouter(&setup.Layout);
    std::mt19937 random(13);
    for (int i = 0; i < 60; ++i) {
        TParagraph& p = i == 0 ? document.Paragraph(0) : document.AddParagraph();
        FillParagraph(p, random, 300 + static_cast<int32_t>(random() % 600), setup.Fonts);
    }
    Paginate(document, 0, INT32_MAX, 0, TPaginationOptions{});
    std::unique_ptr<TColorSystem> system = CreateColorSystem();
    TColorManager colors(*system);
    colors.UsePrintPalette();
    TPainter painter(setup.Fonts, setup.Kerning, setup.Layout, colors, 96);
    TPaintContext context;
    context.Device = true;
    const int32_t width = TwipsToPixels(document.PageSettings().PaperWidth, 96);
    const int32_t height = TwipsToPixels(document.PageSettings().PaperHeight, 96);
    const std::string path = std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp") +
                             "/quillane-bench-page." + SurfaceImageExtension();
    for (auto _ : state) {
        std::unique_ptr<TSurface> surface = CreateSurface(width, height, TResolution{96, 96});
        painter.PaintPage(surface->Canvas(), document.Page(1), 0, 0, -1, context);
        WriteSurfaceImage(*surface, path);
    }
    std::remove(path.c_str());
    state.counters["lines_on_page"] = document.Page(1).LineCount();
}
BENCHMARK(RenderPage)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

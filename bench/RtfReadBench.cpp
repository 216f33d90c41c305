// RTF read throughput on one large generated file (see
// bench/rtf_throughput.sh): from the file through the refilling buffer, as
// the open workflow reads it, and from memory, as the clipboard hands it
// over; and the UTF-8 export of the document read. The file comes from
// QUILLANE_BENCH_RTF.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "formats/DocumentLoader.h"
#include "formats/Utf8Text.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "platform/CodePages.h"
#include "platform/File.h"
#include "platform/FontSystem.h"
#include "platform/MessageBox.h"

namespace {

using namespace quillane;

struct TRtfBenchSetup {
    std::string Path;
    std::string Bytes;
    std::unique_ptr<TCodePageConverter> CodePages = CreateCodePageConverter(437, 1252);
    TSilentMessageBox Messages;
    std::unique_ptr<TFontSystem> FontSystem = CreateFontSystem();
    std::unique_ptr<TFontManager> Fonts = std::make_unique<TFontManager>(*FontSystem);
    TFormatServices Services{Messages, *CodePages, nullptr, Fonts.get()};

    TRtfBenchSetup() {
        const char* path = std::getenv("QUILLANE_BENCH_RTF");
        Path = path != nullptr ? path : "";
        TFileOpenResult opened = OpenFile(Path, TFileMode::Read);
        if (opened.File) {
            Bytes.resize(static_cast<size_t>(opened.File->Size()));
            opened.File->Read(Bytes.data(), static_cast<int32_t>(Bytes.size()));
        }
    }
    std::unique_ptr<TDocument> NewDocument() const {
        return std::make_unique<TDocument>(TModelDefaults::BuiltIn(Fonts->TimesNewRomanIndex()));
    }
};

TRtfBenchSetup& Setup() {
    static TRtfBenchSetup setup;
    return setup;
}

void BM_ReadRtfFile(benchmark::State& state) {
    TRtfBenchSetup& setup = Setup();
    if (setup.Bytes.empty()) {
        state.SkipWithError("set QUILLANE_BENCH_RTF to a readable RTF file");
        return;
    }
    for (auto _ : state) {
        auto document = setup.NewDocument();
        TDocOpeningOptions options;
        options.FileName = setup.Path;
        if (!LoadDocument(*document, options, setup.Services)) {
            state.SkipWithError("the file did not load");
            return;
        }
        benchmark::DoNotOptimize(document->ParagraphCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(setup.Bytes.size()));
}
BENCHMARK(BM_ReadRtfFile)->Unit(benchmark::kMillisecond);

void BM_ReadRtfMemory(benchmark::State& state) {
    TRtfBenchSetup& setup = Setup();
    if (setup.Bytes.empty()) {
        state.SkipWithError("set QUILLANE_BENCH_RTF to a readable RTF file");
        return;
    }
    for (auto _ : state) {
        auto document = setup.NewDocument();
        TDocOpeningOptions options;
        options.FromMemory = true;
        options.MemoryData = reinterpret_cast<const uint8_t*>(setup.Bytes.data());
        options.MemorySize = static_cast<int32_t>(setup.Bytes.size());
        LoadDocument(*document, options, setup.Services);
        benchmark::DoNotOptimize(document->ParagraphCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(setup.Bytes.size()));
}
BENCHMARK(BM_ReadRtfMemory)->Unit(benchmark::kMillisecond);

void BM_ExportUtf8(benchmark::State& state) {
    TRtfBenchSetup& setup = Setup();
    auto document = setup.NewDocument();
    TDocOpeningOptions options;
    options.FileName = setup.Path;
    if (setup.Bytes.empty() || !LoadDocument(*document, options, setup.Services)) {
        state.SkipWithError("set QUILLANE_BENCH_RTF to a readable RTF file");
        return;
    }
    int64_t produced = 0;
    for (auto _ : state) {
        const std::string text = DocumentToUtf8(*document, *setup.Fonts, 1252);
        produced += static_cast<int64_t>(text.size());
    }
    state.SetBytesProcessed(produced);
}
BENCHMARK(BM_ExportUtf8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

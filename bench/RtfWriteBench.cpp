// RTF write throughput on one large generated file (see
// bench/rtf_throughput.sh): the document read from QUILLANE_BENCH_RTF is
// written to memory, as the clipboard and undo do, and to a file through the
// sink's 64 KB blocks, as saving does, with and without super-compact
// output; then what was written is read back. Bytes per second count the
// RTF written (or read).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "formats/DocumentLoader.h"
#include "formats/WriteSink.h"
#include "formats/DocumentPictureSink.h"
#include "formats/rtf/RtfWriter.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "platform/CodePages.h"
#include "platform/File.h"
#include "platform/FontSystem.h"
#include "platform/MessageBox.h"

namespace {

using namespace quillane;

struct TWriteBenchSetup {
    std::string Path;
    std::unique_ptr<TCodePageConverter> CodePages = CreateCodePageConverter(437, 1252);
    TSilentMessageBox Messages;
    std::unique_ptr<TFontSystem> FontSystem = CreateFontSystem();
    std::unique_ptr<TFontManager> Fonts = std::make_unique<TFontManager>(*FontSystem);
    TDocumentPictureSink Pictures;
    TFormatServices Services{Messages, *CodePages, nullptr, Fonts.get(), nullptr, &Pictures};
    std::unique_ptr<TDocument> Document;

    TWriteBenchSetup() {
        const char* path = std::getenv("QUILLANE_BENCH_RTF");
        Path = path != nullptr ? path : "";
        Document = NewDocument();
        TDocOpeningOptions options;
        options.FileName = Path;
        if (Path.empty() || !LoadDocument(*Document, options, Services)) {
            Document.reset();
        }
    }
    std::unique_ptr<TDocument> NewDocument() const {
        return std::make_unique<TDocument>(TModelDefaults::BuiltIn(Fonts->TimesNewRomanIndex()));
    }
    // The whole document into memory.
    TFlexibleString WriteToMemory(bool superCompact) const {
        TFlexibleString out;
        TWriteSink sink(out);
        TDocSavingOptions options = TDocSavingOptions::WholeDocument(*Document, dfRtf);
        options.ToMemory = true;
        options.Memory = &out;
        WriteRtf(*Document, sink, options, Services, TRtfWriterOptions{superCompact, false});
        return out;
    }
};

TWriteBenchSetup& Setup() {
    static TWriteBenchSetup setup;
    return setup;
}

bool Ready(benchmark::State& state) {
    if (!Setup().Document) {
        state.SkipWithError("set QUILLANE_BENCH_RTF to a readable RTF file");
        return false;
    }
    return true;
}

void BM_WriteRtfMemory(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    const bool superCompact = state.range(0) != 0;
    int64_t written = 0;
    for (auto _ : state) {
        const TFlexibleString out = Setup().WriteToMemory(superCompact);
        written += out.Length();
    }
    state.SetBytesProcessed(written);
    state.SetLabel(superCompact ? "super-compact" : "escaped");
}
BENCHMARK(BM_WriteRtfMemory)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_WriteRtfFile(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    TWriteBenchSetup& setup = Setup();
    const bool superCompact = state.range(0) != 0;
    const std::string path = (std::filesystem::temp_directory_path() / "quillane-bench-write.rtf").string();
    int64_t written = 0;
    for (auto _ : state) {
        TFileOpenResult opened = OpenFile(path, TFileMode::CreateAlways);
        if (!opened.File) {
            state.SkipWithError("cannot create the temporary file");
            return;
        }
        TWriteSink sink(*opened.File, path, dfRtf, setup.Services);
        const TDocSavingOptions options = TDocSavingOptions::WholeDocument(*setup.Document, dfRtf);
        WriteRtf(*setup.Document, sink, options, setup.Services, TRtfWriterOptions{superCompact, false});
        written += sink.BytesWritten();
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(written);
    state.SetLabel(superCompact ? "super-compact" : "escaped");
}
BENCHMARK(BM_WriteRtfFile)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ReadWrittenRtf(benchmark::State& state) {
    if (!Ready(state)) {
        return;
    }
    TWriteBenchSetup& setup = Setup();
    const TFlexibleString written = setup.WriteToMemory(state.range(0) != 0);
    for (auto _ : state) {
        auto document = setup.NewDocument();
        TDocOpeningOptions options;
        options.FromMemory = true;
        options.MemoryData = written.Data();
        options.MemorySize = written.Length();
        LoadDocument(*document, options, setup.Services);
        benchmark::DoNotOptimize(document->ParagraphCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(written.Length()));
    state.SetLabel(state.range(0) != 0 ? "super-compact" : "escaped");
}
BENCHMARK(BM_ReadWrittenRtf)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

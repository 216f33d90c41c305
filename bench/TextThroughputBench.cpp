// Read and write throughput of the plain-text path on one large file, the
// way a user opens and saves it: through the file layer, the refilling input
// buffer, the paragraph model and the output sink. The file comes from
// QUILLANE_BENCH_TEXT (see bench/text_throughput.sh).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "formats/DocumentLoader.h"
#include "formats/PlainText.h"
#include "model/Document.h"
#include "platform/CodePages.h"
#include "platform/File.h"
#include "platform/MessageBox.h"

namespace {

using namespace quillane;

// What every benchmark here needs: the file, and the services a load or
// save takes (US code pages, no questions asked).
struct TBenchSetup {
    std::string Path;
    std::unique_ptr<TCodePageConverter> CodePages = CreateCodePageConverter(437, 1252);
    TSilentMessageBox Messages;
    TFormatServices Services{Messages, *CodePages, nullptr};

    explicit TBenchSetup(benchmark::State& state) {
        const char* path = std::getenv("QUILLANE_BENCH_TEXT");
        Path = path != nullptr ? path : "";
        if (Path.empty()) {
            state.SkipWithError("set QUILLANE_BENCH_TEXT to a text file");
        }
    }

    bool Load(TDocument& document, int32_t format, benchmark::State& state) {
        TDocOpeningOptions options;
        options.FileName = Path;
        options.Format = format;
        if (!LoadDocument(document, options, Services)) {
            state.SkipWithError("load failed");
            return false;
        }
        return true;
    }
};

void Read(benchmark::State& state, int32_t format) {
    TBenchSetup setup(state);
    if (setup.Path.empty()) {
        return;
    }
    int32_t paragraphs = 0;
    for (auto _ : state) {
        auto document = std::make_unique<TDocument>();
        if (!setup.Load(*document, format, state)) {
            return;
        }
        paragraphs = document->ParagraphCount();
        state.PauseTiming();  // closing the document is not part of reading it
        document.reset();
        state.ResumeTiming();
    }
    state.counters["paragraphs"] = paragraphs;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(setup.Path)));
}

void Write(benchmark::State& state, int32_t format) {
    TBenchSetup setup(state);
    TDocument document;
    if (setup.Path.empty() || !setup.Load(document, format, state)) {
        return;
    }
    const std::string target = setup.Path + ".bench-out";
    int64_t bytes = 0;
    for (auto _ : state) {
        TFileOpenResult created = OpenFile(target, TFileMode::CreateAlways);
        const TDocSavingOptions saving = TDocSavingOptions::WholeDocument(document, format);
        if (WriteDocument(document, created.File.get(), target, saving, setup.Services) != WriteSucceeded) {
            state.SkipWithError("write failed");
            return;
        }
        bytes = created.File->Size();
    }
    std::filesystem::remove(target);
    state.SetBytesProcessed(state.iterations() * bytes);
}

BENCHMARK_CAPTURE(Read, Ansi, dfAnsiText)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(Read, Dos, dfDosText)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(Write, Ansi, dfAnsiText)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(Write, Dos, dfDosText)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();

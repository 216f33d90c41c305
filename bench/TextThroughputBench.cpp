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

std::string BenchFile() {
    const char* path = std::getenv("QUILLANE_BENCH_TEXT");
    return path != nullptr ? path : "";
}

void Read(benchmark::State& state, int32_t format) {
    const std::string path = BenchFile();
    if (path.empty()) {
        state.SkipWithError("set QUILLANE_BENCH_TEXT to a text file");
        return;
    }
    const auto codePages = CreateCodePageConverter(437, 1252);
    TSilentMessageBox messages;
    const TFormatServices services{messages, *codePages, nullptr};
    int32_t paragraphs = 0;
    for (auto _ : state) {
        auto document = std::make_unique<TDocument>();
        TDocOpeningOptions options;
        options.FileName = path;
        options.Format = format;
        if (!LoadDocument(*document, options, services)) {
            state.SkipWithError("load failed");
            return;
        }
        paragraphs = document->ParagraphCount();
        state.PauseTiming();  // closing the document is not part of reading it
        document.reset();
        state.ResumeTiming();
    }
    state.counters["paragraphs"] = paragraphs;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(path)));
}

void Write(benchmark::State& state, int32_t format) {
    const std::string path = BenchFile();
    if (path.empty()) {
        state.SkipWithError("set QUILLANE_BENCH_TEXT to a text file");
        return;
    }
    const auto codePages = CreateCodePageConverter(437, 1252);
    TSilentMessageBox messages;
    const TFormatServices services{messages, *codePages, nullptr};
    TDocument document;
    TDocOpeningOptions options;
    options.FileName = path;
    options.Format = format;
    if (!LoadDocument(document, options, services)) {
        state.SkipWithError("load failed");
        return;
    }
    const std::string target = path + ".bench-out";
    int64_t bytes = 0;
    for (auto _ : state) {
        TFileOpenResult created = OpenFile(target, TFileMode::CreateAlways);
        const TDocSavingOptions saving = TDocSavingOptions::WholeDocument(document, format);
        if (WriteDocument(document, created.File.get(), target, saving, services) != WriteSucceeded) {
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

// Opening MS Word documents the way a user does: the compound file through
// the platform's reader, the FIB, piece table, formatted pages and style
// sheet, into the paragraph model. The documents are the largest Word 6.0/95
// and 97/2000 files of the corpus (QUILLANE_CORPUS, else ../shared/corpus).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "formats/DocumentLoader.h"
#include "model/Document.h"
#include "platform/CodePages.h"
#include "platform/MessageBox.h"

namespace {

using namespace quillane;

std::string CorpusPath(const char* relative) {
    const char* root = std::getenv("QUILLANE_CORPUS");
    return (std::filesystem::path(root != nullptr && *root != 0 ? root : QUILLANE_BENCH_CORPUS) / relative).string();
}

void ReadWord(benchmark::State& state, const char* relative) {
    const std::string path = CorpusPath(relative);
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("corpus file missing");
        return;
    }
    const auto codePages = CreateCodePageConverter(437, 1252);
    TSilentMessageBox messages;
    const TFormatServices services{messages, *codePages, nullptr};
    int32_t characters = 0;
    for (auto _ : state) {
        TDocument document;
        TDocOpeningOptions options;
        options.FileName = path;
        if (!LoadDocument(document, options, services)) {
            state.SkipWithError("load failed");
            return;
        }
        characters = options.CharacterCount;
        benchmark::DoNotOptimize(document.ParagraphCount());
    }
    state.SetItemsProcessed(state.iterations() * characters);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(path)));
    state.counters["characters"] = characters;
}

}  // namespace

BENCHMARK_CAPTURE(ReadWord, Word95FastSaved600K, "doc95/poi__document_Bug50955.doc")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadWord, Word97Text135K, "doc97/nwe__bigfile-01.doc")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadWord, Word97Pictures1M, "doc97/poi__document_Bug46220.doc")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

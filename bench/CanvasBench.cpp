// What painting costs on this platform's canvas: a text run of a typical
// line, and a whole screen line the way line painting draws it (background,
// runs, a selection, then one copy of the off-screen line to the window).
#include <benchmark/benchmark.h>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "platform/Canvas.h"
#include "platform/FontSystem.h"

namespace {

using namespace quillane;

constexpr int32_t LineWidth = 800;
constexpr int32_t LineHeight = 24;

struct TBenchFonts {
    std::unique_ptr<TFontSystem> System = CreateFontSystem();
    std::unique_ptr<TPlatformFont> Font;
    std::string Text = "Quillane measures every line once, then again when the zoom changes; painting follows.";
    std::vector<int32_t> Advances;

    TBenchFonts() {
        TFontRequest request;
        request.Face = "Liberation Serif";
        request.Height = -16;
        request.CharSet = AnsiCharSet;
        Font = System->CreatePlatformFont(request);
        const TCharWidths widths = Font->Widths();
        for (char c : Text) {
            Advances.push_back(widths[static_cast<unsigned char>(c)]);
        }
    }
};

void BM_TextRun(benchmark::State& state) {
    TBenchFonts fonts;
    auto line = CreateSurface(LineWidth, LineHeight, TResolution{96, 96});
    for (auto _ : state) {
        line->Canvas().DrawText(TTextRun{fonts.Font.get(), {4, 2}, fonts.Text, fonts.Advances, 0, std::nullopt});
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(fonts.Text.size()));
}
BENCHMARK(BM_TextRun);

void BM_ScreenLine(benchmark::State& state) {
    TBenchFonts fonts;
    auto window = CreateSurface(1024, 768, TResolution{96, 96});
    auto line = window->Canvas().CreateSurface(LineWidth, LineHeight);
    const size_t half = fonts.Text.size() / 2;
    const std::string_view text = fonts.Text;
    const std::span<const int32_t> advances = fonts.Advances;
    const int32_t halfWidth = std::accumulate(fonts.Advances.begin(), fonts.Advances.begin() + half, 0);
    int32_t y = 0;
    for (auto _ : state) {
        TCanvas& canvas = line->Canvas();
        canvas.FillRect({0, 0, LineWidth, LineHeight}, 0xFFFFFF);
        canvas.DrawText(TTextRun{fonts.Font.get(), {40, 2}, text.substr(0, half), advances.first(half), 0, std::nullopt});
        canvas.DrawText(TTextRun{fonts.Font.get(), {40 + halfWidth, 2}, text.substr(half), advances.subspan(half),
                                 0x800000, std::nullopt});
        canvas.DrawLine({20, 0}, {20, LineHeight}, TPen{0x0000FF, 1, {0b00101, 5, 0}});
        canvas.InvertRect({100, 0, 300, LineHeight});
        window->Canvas().DrawSurface(*line, {0, 0, LineWidth, LineHeight}, {100, y});
        y = (y + LineHeight) % (768 - LineHeight);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScreenLine);

}  // namespace

BENCHMARK_MAIN();

// PNG decoding and encoding speed on a large generated picture (2048 x 2048,
// 24-bit: smooth gradients with some noise, like a photograph saved as PNG,
// and an RGBA variant). Throughput is counted in decoded pixel bytes, so the
// figures of both directions compare directly.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "pictures/PngImage.h"

namespace {

using namespace quillane;

constexpr int32_t Side = 2048;

TBitmap MakePicture(bool alpha) {
    TBitmap bitmap(Side, Side, alpha ? 32 : 24);
    uint32_t noise = 12345;
    const int32_t pixelBytes = alpha ? 4 : 3;
    for (int32_t y = 0; y < Side; ++y) {
        uint8_t* row = bitmap.Row(y);
        for (int32_t x = 0; x < Side; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int jitter = static_cast<int>((noise >> 16) & 7);
            uint8_t* p = row + x * pixelBytes;
            p[0] = static_cast<uint8_t>((x / 8 + jitter) & 0xFF);
            p[1] = static_cast<uint8_t>((y / 8 + jitter) & 0xFF);
            p[2] = static_cast<uint8_t>(((x + y) / 16) & 0xFF);
            if (alpha) {
                p[3] = static_cast<uint8_t>(255 - ((x * y) >> 14));
            }
        }
    }
    return bitmap;
}

TBytes Encoded(bool alpha) {
    TPNGImage png;
    png.AssignBitmap(MakePicture(alpha));
    return png.SaveToBytes();
}

void Decode(benchmark::State& state, bool alpha) {
    const TBytes file = Encoded(alpha);
    int64_t pixelBytes = 0;
    for (auto _ : state) {
        TPNGImage png;
        png.LoadFromBytes(file);
        pixelBytes = int64_t{Side} * Side * (alpha ? 4 : 3);
        benchmark::DoNotOptimize(png.Bitmap.Row(0));
    }
    state.SetBytesProcessed(state.iterations() * pixelBytes);
    state.counters["file_bytes"] = static_cast<double>(file.size());
}

void Encode(benchmark::State& state, bool alpha, int level, uint8_t filters = DefaultPngFilters) {
    TPNGImage png;
    png.AssignBitmap(MakePicture(alpha));
    png.CompressionLevel = level;
    png.AllowedFilters = filters;
    size_t size = 0;
    for (auto _ : state) {
        const TBytes file = png.SaveToBytes();
        size = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{Side} * Side * (alpha ? 4 : 3));
    state.counters["file_bytes"] = static_cast<double>(size);
}

BENCHMARK_CAPTURE(Decode, rgb, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, rgba, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Encode, rgb_default_level, false, DefaultCompressionLevel)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Encode, rgb_level_2, false, 2)->Unit(benchmark::kMillisecond);
// The share of zlib: the same without choosing filters.
BENCHMARK_CAPTURE(Encode, rgb_default_level_no_filters, false, DefaultCompressionLevel, FilterBit(pfNone))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Encode, rgba_default_level, true, DefaultCompressionLevel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

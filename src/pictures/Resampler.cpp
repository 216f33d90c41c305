#include "pictures/Resampler.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "pictures/PictureError.h"

namespace quillane {

namespace {

constexpr double B = 1.0 / 3.0;
constexpr double C = 1.0 / 3.0;
constexpr double Support = 2.0;

struct TTap {
    int32_t Index;  // source pixel (or row)
    float Weight;
};

// For every output position along one axis, the source positions it reads
// and their weights, summing to 1. Edges repeat the outermost pixel.
std::vector<std::vector<TTap>> AxisWeights(int32_t sourceSize, int32_t targetSize) {
    const double scale = static_cast<double>(targetSize) / sourceSize;
    const double stretch = scale < 1.0 ? 1.0 / scale : 1.0;
    const double radius = Support * stretch;
    std::vector<std::vector<TTap>> taps(static_cast<size_t>(targetSize));
    for (int32_t i = 0; i < targetSize; ++i) {
        const double centre = (i + 0.5) / scale - 0.5;
        const auto first = static_cast<int64_t>(std::floor(centre - radius)) + 1;
        const auto last = static_cast<int64_t>(std::ceil(centre + radius)) - 1;
        std::vector<TTap>& list = taps[static_cast<size_t>(i)];
        double sum = 0;
        for (int64_t j = first; j <= last; ++j) {
            const double w = MitchellFilter((static_cast<double>(j) - centre) / stretch);
            if (w == 0) {
                continue;
            }
            const auto index = static_cast<int32_t>(std::clamp<int64_t>(j, 0, sourceSize - 1));
            if (!list.empty() && list.back().Index == index) {
                list.back().Weight += static_cast<float>(w);
            } else {
                list.push_back({index, static_cast<float>(w)});
            }
            sum += w;
        }
        if (list.empty() || sum == 0) {
            list.assign(1, {static_cast<int32_t>(std::clamp<int64_t>(std::llround(centre), 0, sourceSize - 1)), 1.0f});
            continue;
        }
        for (TTap& t : list) {
            t.Weight = static_cast<float>(t.Weight / sum);
        }
    }
    return taps;
}

// One source row as premultiplied R, G, B, A floats in 0..1.
void ReadRow(const TBitmap& source, int32_t y, std::vector<float>& out) {
    for (int32_t x = 0; x < source.Width(); ++x) {
        const TRgba p = source.PixelAt(x, y);
        const float a = p.Alpha / 255.0f;
        float* o = &out[static_cast<size_t>(x) * 4];
        o[0] = p.Red / 255.0f * a;
        o[1] = p.Green / 255.0f * a;
        o[2] = p.Blue / 255.0f * a;
        o[3] = a;
    }
}

uint8_t ToByte(float v) { return static_cast<uint8_t>(std::clamp(std::lround(v * 255.0f), 0L, 255L)); }

}  // namespace

double MitchellFilter(double x) {
    x = std::fabs(x);
    if (x < 1) {
        return ((12 - 9 * B - 6 * C) * x * x * x + (-18 + 12 * B + 6 * C) * x * x + (6 - 2 * B)) / 6;
    }
    if (x < 2) {
        return ((-B - 6 * C) * x * x * x + (6 * B + 30 * C) * x * x + (-12 * B - 48 * C) * x + (8 * B + 24 * C)) / 6;
    }
    return 0;
}

TBitmap ResampleMitchell(const TBitmap& source, int32_t width, int32_t height) {
    if (source.Empty()) {
        throw TPictureError("no picture to resample");
    }
    if (width < 1 || height < 1 || int64_t{width} * height > MaxResampledPixels) {
        throw TPictureError("cannot resample to " + std::to_string(width) + " x " + std::to_string(height));
    }
    const bool alpha = source.HasTransparency();
    TBitmap target(width, height, alpha ? 32 : 24);  // checks the size
    const auto columns = AxisWeights(source.Width(), width);
    const auto rows = AxisWeights(source.Height(), height);

    // Each source row is read and filtered along x once, then added into
    // every output row that uses it.
    std::vector<std::vector<TTap>> users(static_cast<size_t>(source.Height()));
    for (int32_t y = 0; y < height; ++y) {
        for (const TTap& t : rows[static_cast<size_t>(y)]) {
            users[static_cast<size_t>(t.Index)].push_back({y, t.Weight});
        }
    }
    std::vector<float> accumulated(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0.0f);
    std::vector<float> sourceRow(static_cast<size_t>(source.Width()) * 4);
    std::vector<float> filteredRow(static_cast<size_t>(width) * 4);
    for (int32_t sy = 0; sy < source.Height(); ++sy) {
        if (users[static_cast<size_t>(sy)].empty()) {
            continue;
        }
        ReadRow(source, sy, sourceRow);
        for (int32_t x = 0; x < width; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (const TTap& t : columns[static_cast<size_t>(x)]) {
                const float* s = &sourceRow[static_cast<size_t>(t.Index) * 4];
                for (int c = 0; c < 4; ++c) {
                    sum[c] += s[c] * t.Weight;
                }
            }
            std::copy(sum, sum + 4, &filteredRow[static_cast<size_t>(x) * 4]);
        }
        for (const TTap& use : users[static_cast<size_t>(sy)]) {
            float* out = &accumulated[static_cast<size_t>(use.Index) * static_cast<size_t>(width) * 4];
            for (size_t i = 0; i < filteredRow.size(); ++i) {
                out[i] += filteredRow[i] * use.Weight;
            }
        }
    }

    const int32_t pixelBytes = alpha ? 4 : 3;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* out = target.Row(y);
        const float* in = &accumulated[static_cast<size_t>(y) * static_cast<size_t>(width) * 4];
        for (int32_t x = 0; x < width; ++x) {
            const float* p = in + static_cast<size_t>(x) * 4;
            // The filter's negative lobes can overshoot; alpha is clamped
            // first and colours are taken back out of it.
            const float a = std::clamp(p[3], 0.0f, 1.0f);
            const float divide = alpha ? (a > 0 ? a : 1.0f) : 1.0f;
            uint8_t* o = out + static_cast<size_t>(x) * static_cast<size_t>(pixelBytes);
            o[0] = a > 0 || !alpha ? ToByte(p[2] / divide) : 0;
            o[1] = a > 0 || !alpha ? ToByte(p[1] / divide) : 0;
            o[2] = a > 0 || !alpha ? ToByte(p[0] / divide) : 0;
            if (alpha) {
                o[3] = ToByte(a);
            }
        }
    }
    return target;
}

}  // namespace quillane

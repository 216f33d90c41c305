#include "platform/win32/Win32Font.h"

#include <algorithm>

#include "platform/win32/GdiSelection.h"
#include "platform/win32/WideText.h"

namespace quillane {

TWin32Font::TWin32Font(HDC dc, TFontHandle font) : dc_(dc), font_(std::move(font)) {
    TGdiSelection selected(dc_, font_.get());
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc_, LF_FACESIZE, face);
    face_ = WideToUtf8(face);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    metrics_.Height = tm.tmHeight;
    metrics_.Ascent = tm.tmAscent;
    metrics_.Descent = tm.tmDescent;
    metrics_.InternalLeading = tm.tmInternalLeading;
    metrics_.ExternalLeading = tm.tmExternalLeading;
    metrics_.AverageCharWidth = tm.tmAveCharWidth;
    metrics_.MaxCharWidth = tm.tmMaxCharWidth;
    metrics_.CharSet = tm.tmCharSet;
    INT widths[256] = {};
    if (GetCharWidth32A(dc_, 0, 255, widths)) {
        std::copy(std::begin(widths), std::end(widths), widths_.begin());
    }
}

std::vector<TKerningPair> TWin32Font::KerningPairs() const {
    TGdiSelection selected(dc_, font_.get());
    std::vector<TKerningPair> pairs;
    const DWORD count = GetKerningPairsA(dc_, 0, nullptr);
    if (count == 0) {
        return pairs;
    }
    std::vector<KERNINGPAIR> raw(count);
    const DWORD got = GetKerningPairsA(dc_, count, raw.data());
    for (DWORD i = 0; i < got && i < count; ++i) {
        if (raw[i].iKernAmount != 0) {
            pairs.push_back(TKerningPair{raw[i].wFirst, raw[i].wSecond, raw[i].iKernAmount});
        }
    }
    // GDI gives the pairs in the order of the font's table, which follows
    // glyph numbers; lookups need them by character.
    std::sort(pairs.begin(), pairs.end(), [](const TKerningPair& a, const TKerningPair& b) {
        return a.First != b.First ? a.First < b.First : a.Second < b.Second;
    });
    pairs.erase(std::unique(pairs.begin(), pairs.end(),
                            [](const TKerningPair& a, const TKerningPair& b) {
                                return a.First == b.First && a.Second == b.Second;
                            }),
                pairs.end());
    return pairs;
}

}  // namespace quillane

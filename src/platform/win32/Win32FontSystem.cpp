// Fonts on Windows: GDI on a memory device context compatible with the
// screen, kept for the life of the font system. Byte codes are measured and
// kerned through the ANSI entry points, which read them in the code page of
// the font's character set.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <stdexcept>

#include "platform/FontSystem.h"
#include "platform/win32/WideText.h"

namespace quillane {

namespace {

// Selects a GDI object into a device context for the life of the scope.
class TSelection {
public:
    TSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~TSelection() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Owns a GDI font, so that it is deleted however its owner's construction ends.
struct TFontDeleter {
    void operator()(HFONT font) const noexcept { DeleteObject(font); }
};
using TFontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, TFontDeleter>;

class TWin32Font final : public TPlatformFont {
public:
    // dc is the font system's and outlives the font.
    TWin32Font(HDC dc, TFontHandle font) : dc_(dc), font_(std::move(font)) {
        TSelection selected(dc_, font_.get());
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

    std::string FaceName() const override { return face_; }
    TFontMetrics Metrics() const override { return metrics_; }
    TCharWidths Widths() const override { return widths_; }

    std::vector<TKerningPair> KerningPairs() const override {
        TSelection selected(dc_, font_.get());
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

private:
    HDC dc_;
    TFontHandle font_;
    std::string face_;
    TFontMetrics metrics_;
    TCharWidths widths_{};
};

struct TEnumeration {
    std::vector<TFaceInfo> Faces;
    bool Failed = false;
};

// No exception may leave this callback: a failure stops the enumeration.
int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD fontType, LPARAM data) {
    auto& enumeration = *reinterpret_cast<TEnumeration*>(data);
    try {
        // "@" names are the vertical-writing twins of East Asian faces.
        if (font->lfFaceName[0] == L'@') {
            return 1;
        }
        const bool scalable = (fontType & TRUETYPE_FONTTYPE) != 0 || (metrics->tmPitchAndFamily & TMPF_VECTOR) != 0;
        enumeration.Faces.push_back(
            TFaceInfo{WideToUtf8(font->lfFaceName), font->lfCharSet, font->lfPitchAndFamily, scalable});
        return 1;
    } catch (...) {
        enumeration.Failed = true;
        return 0;
    }
}

class TWin32FontSystem final : public TFontSystem {
public:
    TWin32FontSystem() : dc_(CreateCompatibleDC(nullptr)) {
        if (dc_ == nullptr) {
            throw std::runtime_error("GDI: no memory device context for measuring text");
        }
    }
    ~TWin32FontSystem() override { DeleteDC(dc_); }

    std::vector<TFaceInfo> EnumerateFaces() override {
        LOGFONTW all{};
        all.lfCharSet = DEFAULT_CHARSET;
        TEnumeration enumeration;
        EnumFontFamiliesExW(dc_, &all, reinterpret_cast<FONTENUMPROCW>(CollectFace),
                            reinterpret_cast<LPARAM>(&enumeration), 0);
        if (enumeration.Failed) {
            throw std::runtime_error("GDI: the font enumeration failed");
        }
        return std::move(enumeration.Faces);
    }

    std::unique_ptr<TPlatformFont> CreatePlatformFont(const TFontRequest& request) override {
        LOGFONTW font{};
        font.lfHeight = request.Height;
        font.lfWeight = request.Weight;
        font.lfItalic = request.Italic ? TRUE : FALSE;
        font.lfUnderline = request.Underline ? TRUE : FALSE;
        font.lfStrikeOut = request.StrikeOut ? TRUE : FALSE;
        font.lfCharSet = static_cast<BYTE>(request.CharSet);
        font.lfOutPrecision = OUT_DEFAULT_PRECIS;
        font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        font.lfQuality = DEFAULT_QUALITY;
        font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
        const std::wstring face = Utf8ToWide(request.Face).substr(0, LF_FACESIZE - 1);
        std::copy(face.begin(), face.end(), font.lfFaceName);
        TFontHandle handle(CreateFontIndirectW(&font));
        if (!handle) {
            throw std::runtime_error("GDI: cannot create the font \"" + request.Face + "\"");
        }
        return std::make_unique<TWin32Font>(dc_, std::move(handle));
    }

    int32_t SystemCharSet() const override {
        CHARSETINFO info{};
        if (TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<uintptr_t>(GetACP())), &info, TCI_SRCCODEPAGE)) {
            return static_cast<int32_t>(info.ciCharset);
        }
        return AnsiCharSet;
    }

private:
    HDC dc_;
};

}  // namespace

std::unique_ptr<TFontSystem> CreateFontSystem() { return std::make_unique<TWin32FontSystem>(); }

}  // namespace quillane

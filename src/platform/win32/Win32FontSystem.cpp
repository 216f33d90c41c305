// Fonts on Windows: GDI on a memory device context compatible with the
// screen, kept for the life of the font system. Byte codes are measured and
// kerned through the ANSI entry points, which read them in the code page of
// the font's character set.
#include <windows.h>

#include <memory>
#include <stdexcept>

#include "platform/FontSystem.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Font.h"

namespace quillane {

namespace {

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

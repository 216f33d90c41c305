// libFuzzer target: arbitrary bytes through the RTF reader, from memory (as
// the clipboard hands it) and through the refilling file buffer, then out
// as UTF-8. Any crash, sanitizer report, hang or malformed paragraph is a
// finding.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "formats/DocumentLoader.h"
#include "formats/Utf8Text.h"
#include "formats/rtf/RtfReader.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/TextStream.h"
#include "platform/CodePages.h"
#include "platform/MessageBox.h"
#include "support/FakeFontSystem.h"

namespace {

using namespace quillane;

class TBytesFile final : public TFile {
public:
    TBytesFile(const uint8_t* data, size_t size) : data_(data), size_(static_cast<int64_t>(size)) {}
    int64_t Size() const override { return size_; }
    int32_t Read(void* buffer, int32_t count) override {
        const int64_t n = std::min<int64_t>(count, size_ - at_);
        std::memcpy(buffer, data_ + at_, static_cast<size_t>(n));
        at_ += n;
        return static_cast<int32_t>(n);
    }
    bool Write(const void*, int32_t) override { return false; }
    bool Seek(int64_t offset) override {
        at_ = offset;
        return true;
    }
    int64_t Tell() const override { return at_; }
    bool Truncate() override { return false; }

private:
    const uint8_t* data_;
    int64_t size_;
    int64_t at_ = 0;
};

void Check(TDocument& document) {
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        TParagraph& p = document.Paragraph(i);
        CheckTextStream(p.Text, p.Positions);  // throws on a malformed stream
        if (!p.EndsWithParagraphEnd()) {
            std::abort();
        }
    }
}

struct TFuzzServices {
    std::unique_ptr<TCodePageConverter> CodePages = CreateCodePageConverter(437, 1252);
    TSilentMessageBox Messages;
    test::TFakeFontSystem FontSystem;
    std::unique_ptr<TFontManager> Fonts;
    TFormatServices Services{Messages, *CodePages, nullptr};

    TFuzzServices() {
        FontSystem.Faces = test::StandardFakeFaces();
        Fonts = std::make_unique<TFontManager>(FontSystem);
        Services.Fonts = Fonts.get();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TFuzzServices fuzz;
    const TFormatServices& services = fuzz.Services;
    const int32_t n = static_cast<int32_t>(std::min<size_t>(size, INT32_MAX));
    {
        TDocument document(TModelDefaults::BuiltIn(fuzz.Fonts->TimesNewRomanIndex()));
        TDocOpeningOptions options;
        options.FromMemory = true;
        options.Format = dfRtf;
        options.MemoryData = data;
        options.MemorySize = n;
        if (LoadDocument(document, options, services)) {
            Check(document);
            DocumentToUtf8(document, *fuzz.Fonts, 1252);
        }
    }
    TBytesFile file(data, size);
    TReadBuffer in(file, "fuzz.rtf", dfRtf, services);
    in.Fill();
    TDocument document(TModelDefaults::BuiltIn(fuzz.Fonts->TimesNewRomanIndex()));
    TDocOpeningOptions options;
    if (ReadRtf(document, in, options, services)) {
        FinishLoadedDocument(document, options);
        Check(document);
    }
    return 0;
}

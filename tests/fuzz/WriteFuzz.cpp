// libFuzzer target: arbitrary bytes through the Windows Write reader, once
// directly and once through the open path's detection (from memory), with
// pictures placed in the document and the text exported as UTF-8. Any
// crash, sanitizer report, hang or malformed paragraph is a finding, and so
// is a failed load that leaves anything in the document.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "formats/DocumentLoader.h"
#include "formats/DocumentPictureSink.h"
#include "formats/Utf8Text.h"
#include "formats/write/WriteReader.h"
#include "FuzzChecks.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "platform/CodePages.h"
#include "platform/MessageBox.h"
#include "support/FakeFontSystem.h"

namespace {

using namespace quillane;

struct TFuzzServices {
    std::unique_ptr<TCodePageConverter> CodePages = CreateCodePageConverter(437, 1252);
    TSilentMessageBox Messages;
    test::TFakeFontSystem FontSystem;
    std::unique_ptr<TFontManager> Fonts;
    TDocumentPictureSink Pictures;
    TFormatServices Services{Messages, *CodePages, nullptr};

    TFuzzServices() {
        FontSystem.Faces = test::StandardFakeFaces();
        Fonts = std::make_unique<TFontManager>(FontSystem);
        Services.Fonts = Fonts.get();
        Services.Pictures = &Pictures;
    }
};

void CheckFailed(const TDocument& document) {
    if (document.ParagraphCount() != 1 || document.Paragraph(0).PositionCount() != 0 ||
        document.OpenedWithDataLosses) {
        std::abort();  // a refused file leaves the document as it was
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TFuzzServices fuzz;
    {
        TDocument document(TModelDefaults::BuiltIn(fuzz.Fonts->TimesNewRomanIndex()));
        TDocOpeningOptions options;
        options.FileName = "fuzz.wri";
        if (ReadWrite(document, TByteView(data, size), options, fuzz.Services)) {
            FinishLoadedDocument(document, options);
            fuzz::CheckDocument(document);
            DocumentToUtf8(document, *fuzz.Fonts, 1252);
        } else {
            CheckFailed(document);
        }
    }
    TDocument document(TModelDefaults::BuiltIn(fuzz.Fonts->TimesNewRomanIndex()));
    TDocOpeningOptions options;
    options.FromMemory = true;
    options.Format = dfDetect;
    options.MemoryData = data;
    options.MemorySize = static_cast<int32_t>(std::min<size_t>(size, INT32_MAX));
    if (LoadDocument(document, options, fuzz.Services)) {
        fuzz::CheckDocument(document);
    }
    return 0;
}

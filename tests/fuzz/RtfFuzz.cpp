// libFuzzer target: arbitrary bytes through the RTF reader, from memory (as
// the clipboard hands it) and through the refilling file buffer, then out
// as UTF-8. Any crash, sanitizer report, hang or malformed paragraph is a
// finding.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "formats/DocumentLoader.h"
#include "formats/Utf8Text.h"
#include "formats/rtf/RtfReader.h"
#include "FuzzChecks.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/TextStream.h"
#include "platform/CodePages.h"
#include "platform/MessageBox.h"
#include "support/MemoryFile.h"
#include "support/FakeFontSystem.h"

namespace {

using namespace quillane;

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
            fuzz::CheckDocument(document);
            DocumentToUtf8(document, *fuzz.Fonts, 1252);
        }
    }
    test::TMemoryFile file(std::string(reinterpret_cast<const char*>(data), size));
    TReadBuffer in(file, "fuzz.rtf", dfRtf, services);
    in.Fill();
    TDocument document(TModelDefaults::BuiltIn(fuzz.Fonts->TimesNewRomanIndex()));
    TDocOpeningOptions options;
    if (ReadRtf(document, in, options, services)) {
        FinishLoadedDocument(document, options);
        fuzz::CheckDocument(document);
    }
    return 0;
}

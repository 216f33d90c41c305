// libFuzzer target: arbitrary bytes through the RTF reader, from memory (as
// the clipboard hands it) and through the refilling file buffer, then out
// as UTF-8 and through the RTF writer and back. Any crash, sanitizer
// report, hang or malformed paragraph is a finding, and so is a written
// document that reads back with another paragraph count or does not write
// the same way twice.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "formats/DocumentLoader.h"
#include "formats/Utf8Text.h"
#include "formats/rtf/RtfReader.h"
#include "formats/rtf/RtfWriter.h"
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

bool LoadMemory(TDocument& document, const uint8_t* data, int32_t n, const TFormatServices& services) {
    TDocOpeningOptions options;
    options.FromMemory = true;
    options.Format = dfRtf;
    options.MemoryData = data;
    options.MemorySize = n;
    return LoadDocument(document, options, services);
}

std::string WriteMemory(const TDocument& document, const TFormatServices& services, bool compact) {
    TFlexibleString memory;
    TWriteSink sink(memory);
    TRtfWriterOptions writer;
    writer.SuperCompact = compact;
    if (WriteRtf(document, sink, TDocSavingOptions::WholeDocument(document, dfRtf), services, writer) !=
        WriteSucceeded) {
        std::abort();  // writing to memory cannot fail
    }
    return std::string(reinterpret_cast<const char*>(memory.Data()), static_cast<size_t>(memory.Length()));
}

// Written and read back twice: the second reading writes what the first did.
void CheckWriter(const TDocument& document, const TFuzzServices& fuzz, bool compact) {
    const std::string first = WriteMemory(document, fuzz.Services, compact);
    TDocument back(TModelDefaults::BuiltIn(fuzz.Fonts->TimesNewRomanIndex()));
    if (!LoadMemory(back, reinterpret_cast<const uint8_t*>(first.data()), static_cast<int32_t>(first.size()),
                    fuzz.Services) ||
        back.ParagraphCount() != document.ParagraphCount()) {
        std::abort();
    }
    fuzz::CheckDocument(back);
    const std::string second = WriteMemory(back, fuzz.Services, compact);
    TDocument again(TModelDefaults::BuiltIn(fuzz.Fonts->TimesNewRomanIndex()));
    if (!LoadMemory(again, reinterpret_cast<const uint8_t*>(second.data()), static_cast<int32_t>(second.size()),
                    fuzz.Services) ||
        WriteMemory(again, fuzz.Services, compact) != second) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TFuzzServices fuzz;
    const TFormatServices& services = fuzz.Services;
    const int32_t n = static_cast<int32_t>(std::min<size_t>(size, INT32_MAX));
    {
        TDocument document(TModelDefaults::BuiltIn(fuzz.Fonts->TimesNewRomanIndex()));
        if (LoadMemory(document, data, n, services)) {
            fuzz::CheckDocument(document);
            DocumentToUtf8(document, *fuzz.Fonts, 1252);
            CheckWriter(document, fuzz, (size & 1) == 0);
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

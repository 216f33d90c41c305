// libFuzzer target: arbitrary bytes through the text reader, from a file-like
// source (with the refilling buffer) and from memory, as ANSI and DOS text,
// then written back. Any crash, sanitizer report or malformed paragraph is a
// finding.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "formats/DocumentLoader.h"
#include "formats/PlainText.h"
#include "FuzzChecks.h"
#include "model/Document.h"
#include "model/TextStream.h"
#include "platform/CodePages.h"
#include "platform/MessageBox.h"
#include "support/MemoryFile.h"

using namespace quillane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto codePages = CreateCodePageConverter(437, 1252);
    static TSilentMessageBox messages;
    const TFormatServices services{messages, *codePages, nullptr};
    for (int32_t format : {dfAnsiText, dfDosText}) {
        test::TMemoryFile file(std::string(reinterpret_cast<const char*>(data), size));
        TReadBuffer in(file, "fuzz", format, services);
        in.Fill();
        TDocument document;
        TDocOpeningOptions options;
        if (!ReadPlainText(document, in, options, services)) {
            std::abort();
        }
        FinishLoadedDocument(document, options);
        fuzz::CheckDocument(document);
        TFlexibleString memory;
        TDocSavingOptions saving = TDocSavingOptions::WholeDocument(document, format);
        saving.ToMemory = true;
        saving.Memory = &memory;
        if (WriteDocument(document, nullptr, "", saving, services) != WriteSucceeded) {
            std::abort();
        }
    }
    TReadBuffer memory(data, static_cast<int32_t>(std::min<size_t>(size, INT32_MAX)));
    TDocument document;
    TDocOpeningOptions options;
    options.FromMemory = true;
    ReadPlainText(document, memory, options, services);
    FinishLoadedDocument(document, options);
    fuzz::CheckDocument(document);
    return 0;
}

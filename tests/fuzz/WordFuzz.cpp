// libFuzzer target: the Word reader above the compound-file seam, over
// streams taken from the input (see WordFuzzInput.h), with its pictures
// decoded into the document. Any crash, sanitizer report, hang or malformed
// paragraph is a finding; failing to read is not.
#include <cstdint>
#include <cstdlib>

#include "WordFuzzInput.h"
#include "formats/DocumentLoader.h"
#include "formats/DocumentPictureSink.h"
#include "formats/word/WordReader.h"
#include "model/Document.h"
#include "model/TextStream.h"
#include "platform/CodePages.h"
#include "platform/MessageBox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillane;
    static const auto codePages = CreateCodePageConverter(437, 1252);
    static TSilentMessageBox messages;
    static TDocumentPictureSink pictures;
    TFormatServices services{messages, *codePages, nullptr};
    services.Pictures = &pictures;
    test::TMemoryStorage storage = fuzz::StorageFromInput(data, size);
    TDocument document;
    TDocOpeningOptions options;
    options.FileName = "fuzz.doc";
    if (!ReadWord(document, storage, options, services)) {
        return 0;
    }
    FinishLoadedDocument(document, options);
    for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
        TParagraph& p = document.Paragraph(i);
        CheckTextStream(p.Text, p.Positions);  // throws on a malformed stream
        if (!p.EndsWithParagraphEnd()) {
            std::abort();
        }
    }
    return 0;
}

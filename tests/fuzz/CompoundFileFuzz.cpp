// libFuzzer target: raw bytes as a compound file through the program's own
// tolerant reader: the listing, every stream read to its end (in uneven
// pieces, with seeks), and the Word reader over what it opens. Any crash,
// sanitizer report or hang is a finding; refusing the file is not. A stream
// must give exactly the bytes its size promises.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "formats/DocumentLoader.h"
#include "formats/word/WordReader.h"
#include "model/Document.h"
#include "model/TextStream.h"
#include "platform/CodePages.h"
#include "platform/CompoundFileReader.h"
#include "platform/MessageBox.h"

namespace {

void ReadToEnd(quillane::TStorageStream& stream) {
    std::vector<uint8_t> block(777);
    const int64_t size = stream.Size();
    if (size < 0 || !stream.Seek(size) || stream.Read(block.data(), 1) != 0 || !stream.Seek(0)) {
        std::abort();
    }
    int64_t done = 0;
    for (;;) {
        const int32_t n = stream.Read(block.data(), static_cast<int32_t>(block.size()));
        if (n < 0) {
            std::abort();  // a stream of this reader never fails inside its size
        }
        if (n == 0) {
            break;
        }
        done += n;
    }
    if (done != size) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillane;
    static const auto codePages = CreateCodePageConverter(437, 1252);
    static TSilentMessageBox messages;
    TCompoundOpenResult opened = ReadCompoundFile(MemoryCompoundSource(data, size));
    if (!opened.File) {
        return 0;
    }
    const TStreamListResult listing = opened.File->ListStreams();
    for (const TStreamEntry& entry : listing.Streams) {
        TStreamOpenResult stream = opened.File->OpenStream(entry.Path);
        if (!stream.Stream || stream.Stream->Size() != entry.Size) {
            std::abort();  // every listed stream opens, with its listed size
        }
        ReadToEnd(*stream.Stream);
    }
    const TFormatServices services{messages, *codePages, nullptr};
    TDocument document;
    TDocOpeningOptions options;
    options.FileName = "fuzz.doc";
    if (ProbeWordFormat(*opened.File) != dfFailed && ReadWord(document, *opened.File, options, services)) {
        FinishLoadedDocument(document, options);
        for (int32_t i = 0; i < document.ParagraphCount(); ++i) {
            TParagraph& p = document.Paragraph(i);
            CheckTextStream(p.Text, p.Positions);  // throws on a malformed stream
        }
    }
    return 0;
}

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
#include "model/Document.h"
#include "model/TextStream.h"
#include "platform/CodePages.h"
#include "platform/MessageBox.h"

namespace {

using namespace quillane;

// A read-only file over the fuzzer's bytes.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto codePages = CreateCodePageConverter(437, 1252);
    static TSilentMessageBox messages;
    const TFormatServices services{messages, *codePages, nullptr};
    for (int32_t format : {dfAnsiText, dfDosText}) {
        TBytesFile file(data, size);
        TReadBuffer in(file, "fuzz", format, services);
        in.Fill();
        TDocument document;
        TDocOpeningOptions options;
        if (!ReadPlainText(document, in, options, services)) {
            std::abort();
        }
        FinishLoadedDocument(document, options);
        Check(document);
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
    Check(document);
    return 0;
}

#include "formats/DocumentLoader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "formats/PlainText.h"
#include "formats/WriteSink.h"
#include "formats/rtf/RtfReader.h"
#include "formats/rtf/RtfWriter.h"
#include "formats/word/WordReader.h"
#include "formats/write/WriteHeader.h"
#include "formats/write/WriteReader.h"
#include "model/Document.h"
#include "model/TextStream.h"

namespace quillane {

namespace {

bool LooksLikeRtf(const TReadBuffer& in) {
    if (in.End() <= 5) {
        return false;
    }
    const uint8_t* p = in.Data();
    return p[0] == '{' && p[1] == '\\' && std::tolower(p[2]) == 'r' && std::tolower(p[3]) == 't' &&
           std::tolower(p[4]) == 'f';
}

// The page count may be 0: Word for DOS wrote files of the same layout
// without one. The reader checks the page numbers against the file and
// refuses a file they do not fit, so such a file never opens as text.
bool LooksLikeWrite(const TReadBuffer& in) {
    if (in.Size() <= 0 || in.Size() % WritePageSize != 0 || in.End() < 98) {
        return false;
    }
    return HasWriteSignature(in.Data(), static_cast<size_t>(in.End()));
}

// Word files live in compound files: the first bytes show the container,
// the Word probe below looks inside.
bool LooksLikeCompoundFile(const TReadBuffer& in) { return HasCompoundSignature(in.Data(), in.End()); }

bool IsWordFormat(int32_t format) { return format == dfWord6 || format == dfWord97; }

// A compound file that no reader can open: the Word reader's first stream
// fails, and the load ends with its message, not with the container's
// bytes shown as text.
class TUnreadableStorage final : public TCompoundFile {
public:
    explicit TUnreadableStorage(std::string message) : message_(std::move(message)) {}
    TStreamOpenResult OpenStream(const std::string&) override {
        return {nullptr, TStorageError::Damaged, message_};
    }
    TStreamListResult ListStreams() override { return {{}, TStorageError::Damaged, message_}; }

private:
    std::string message_;
};

// The Word probe opens the file as a compound file and looks for the Word
// magic in its "WordDocument" stream. It runs at most once per open; the
// open compound file is kept for the reader. Memory sources have no file to
// open and are never Word documents.
class TWordProbe {
public:
    int32_t Run(const TDocOpeningOptions& options) {
        if (!done_) {
            done_ = true;
            if (!options.FromMemory) {
                TCompoundOpenResult opened = OpenCompoundFile(options.FileName);
                if (opened.File) {
                    format_ = ProbeWordFormat(*opened.File);
                    if (format_ != dfFailed) {
                        storage_ = std::move(opened.File);
                    }
                } else if (opened.Error == TStorageError::Damaged) {
                    format_ = dfWord6;  // the reader finds out no more
                    storage_ = std::make_unique<TUnreadableStorage>(opened.Message);
                }
            }
        }
        return format_;
    }
    TCompoundFile* Storage() const { return storage_.get(); }
    void Release() { storage_.reset(); }

private:
    bool done_ = false;
    int32_t format_ = dfFailed;
    std::unique_ptr<TCompoundFile> storage_;
};

int32_t DetectWithProbe(const TReadBuffer& in, const TDocOpeningOptions& options, TWordProbe& probe) {
    const int32_t format = DetectFormat(in);
    if (IsWordFormat(format)) {
        const int32_t word = probe.Run(options);
        return word != dfFailed ? word : dfAnsiText;
    }
    return format;
}

}  // namespace

int32_t DetectFormat(const TReadBuffer& in) {
    if (LooksLikeRtf(in)) {
        return dfRtf;
    }
    if (LooksLikeWrite(in)) {
        return dfWrite;
    }
    if (LooksLikeCompoundFile(in)) {
        return dfWord6;
    }
    return dfAnsiText;
}

bool LooksLikeFormat(const TReadBuffer& in, int32_t format) {
    switch (format) {
        case dfRtf: return LooksLikeRtf(in);
        case dfWord6:
        case dfWord97: return LooksLikeCompoundFile(in);
        case dfWrite: return LooksLikeWrite(in);
        case dfAnsiText:
        case dfDosText: return true;
        default: return false;
    }
}

bool CanReadFormat(int32_t format) {
    return format == dfRtf || IsWordFormat(format) || format == dfWrite || format == dfAnsiText ||
           format == dfDosText;
}

void FinishLoadedDocument(TDocument& document, TDocOpeningOptions& options) {
    if (document.ParagraphCount() > 1 && document.LastParagraph().PositionCount() == 0) {
        document.RemoveParagraph(document.ParagraphCount() - 1);
    }
    TParagraph& last = document.LastParagraph();
    options.LastParagraphComplete = last.EndsWithParagraphEnd();
    if (!last.EndsWithParagraphEnd()) {
        last.AppendSpecial(spParagraphEnd);
    }
    options.ParagraphCount = document.ParagraphCount();
}

void PlaceStoredCaret(TDocument& document, const TDocOpeningOptions& options) {
    const int32_t paragraph = std::clamp(options.StoredCaret.Paragraph, 0, document.ParagraphCount() - 1);
    const int32_t last = std::max(document.Paragraph(paragraph).PositionCount() - 1, 0);
    document.View.Caret.Position = {paragraph, std::clamp(options.StoredCaret.Offset, 0, last)};
    document.View.ScrollX = std::max(options.StoredScrollX, 0);
    document.View.ScrollY = std::max(options.StoredScrollY, 0);
}

bool LoadDocument(TDocument& document, TDocOpeningOptions& options, const TFormatServices& services) {
    TFileOpenResult opened;
    std::unique_ptr<TReadBuffer> in;
    const int32_t requested = options.Format;
    if (options.FromMemory) {
        in = std::make_unique<TReadBuffer>(options.MemoryData, options.MemorySize);
    } else {
        for (;;) {
            opened = OpenFile(options.FileName, TFileMode::Read);
            if (opened.File) {
                break;
            }
            const std::string text = FormatMessageText("Cannot open file \"%s\"", {options.FileName});
            if (services.Messages.Show(text, TMessageKind::Error, TMessageButtons::RetryCancel) !=
                TMessageAnswer::Retry) {
                options.Format = dfFailed;
                return false;
            }
        }
        if (services.Progress != nullptr) {
            services.Progress->SetRange(opened.File->Size());
        }
        in = std::make_unique<TReadBuffer>(*opened.File, options.FileName,
                                           requested == dfDetect ? dfAnsiText : requested, services);
        try {
            in->Fill();
        } catch (const TSilentAbort&) {
            options.Format = dfFailed;
            return false;
        }
    }

    TWordProbe probe;
    int32_t format = requested;
    const bool valid = IsValidFormat(format) && LooksLikeFormat(*in, format) &&
                       (!IsWordFormat(format) || probe.Run(options) != dfFailed);
    if (format == dfDetect) {
        format = DetectWithProbe(*in, options, probe);
    } else if (!valid) {
        const char* name = IsValidFormat(format) ? DocumentFormats[format].Name : "?";
        const std::string text = FormatMessageText(
            "File \"%s\" is not a valid file in format \"%s\". Attempt to detect real format of the file?",
            {options.FileName, name});
        if (options.FromMemory ||
            services.Messages.Show(text, TMessageKind::Warning, TMessageButtons::YesNo) != TMessageAnswer::Yes) {
            options.Format = dfFailed;
            return false;
        }
        format = DetectWithProbe(*in, options, probe);
    }
    if (!CanReadFormat(format)) {
        if (!options.FromMemory) {
            services.Messages.Show(
                FormatMessageText("File \"%s\" is in format \"%s\", which this version of Quillane cannot read.",
                                  {options.FileName, DocumentFormats[format].Name}),
                TMessageKind::Error, TMessageButtons::Ok);
        }
        options.Format = dfFailed;
        return false;
    }
    // The first buffer was read without the OEM conversion; read it again.
    if (format != in->Format() && IsOemFormat(format)) {
        try {
            in->Restart(format);
        } catch (const TSilentAbort&) {
            options.Format = dfFailed;
            return false;
        }
    }
    if (IsWordFormat(format) && probe.Storage() != nullptr) {
        options.Format = format;
        document.Format = format;
        // The reader tells 6.0/95 from 97/2000 and sets the format.
        const bool read = ReadWord(document, *probe.Storage(), options, services);
        probe.Release();
        if (!read) {
            options.Format = dfFailed;
            return false;
        }
        FinishLoadedDocument(document, options);
        document.FileName = options.FileName;
        return true;
    }
    probe.Release();
    options.Format = format;
    document.Format = format;
    const TDocument* templateDocument = format == dfRtf ? nullptr : options.Template;
    if (templateDocument != nullptr) {
        // The built-in templates' styles use no tab tables, so their
        // indexes need no translation between the two documents.
        document.ApplyPageSettings(templateDocument->PageSettings(), false);
        document.Styles().AssignFrom(templateDocument->Styles());
    }
    bool read = false;
    if (format == dfWrite) {
        // The Write reader holds the whole file: its tables lie behind the text.
        read = options.FromMemory
                   ? ReadWrite(document, TByteView(options.MemoryData, static_cast<size_t>(std::max(options.MemorySize, 0))),
                               options, services)
                   : ReadWriteFile(document, *opened.File, options, services);
    } else if (format == dfRtf) {
        read = ReadRtf(document, *in, options, services);
    } else {
        read = ReadPlainText(document, *in, options, services, templateDocument);
    }
    if (!read) {
        options.Format = dfFailed;
        return false;
    }
    FinishLoadedDocument(document, options);
    if (options.NormalizeStyles) {
        NormalizeStyleList(document);
    }
    // A safe copy names the file it stands for; any other file is itself.
    if (!options.FromMemory && document.FileName.empty()) {
        document.FileName = options.FileName;
    }
    return true;
}

int32_t WriteDocument(const TDocument& document, TFile* file, const std::string& fileName,
                      const TDocSavingOptions& options,
                      const TFormatServices& services, const TRtfWriterOptions& rtfOptions) {
    const bool rtf = options.Format == dfRtf;
    if (!rtf && !IsTextFormat(options.Format)) {
        return WriteFailed;  // Word and Write files are only read
    }
    auto write = [&](TWriteSink& sink) {
        return rtf ? WriteRtf(document, sink, options, services, rtfOptions)
                   : WritePlainText(document, sink, options, services.Progress);
    };
    if (options.ToMemory) {
        if (options.Memory == nullptr) {
            return WriteFailed;
        }
        TWriteSink sink(*options.Memory);
        return write(sink);
    }
    if (file == nullptr || !file->Seek(0)) {
        return WriteFailed;
    }
    TWriteSink sink(*file, fileName, options.Format, services);
    const int32_t result = write(sink);
    if (result == WriteSucceeded && !file->Truncate()) {
        return WriteFailed;
    }
    return result;
}

}  // namespace quillane

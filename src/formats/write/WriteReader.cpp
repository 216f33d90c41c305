#include "formats/write/WriteReader.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/CharClasses.h"
#include "formats/DocumentFormat.h"
#include "formats/ImportedPicture.h"
#include "formats/write/WriteFonts.h"
#include "formats/write/WriteHeader.h"
#include "formats/write/WritePicture.h"
#include "formats/write/WriteProperties.h"
#include "formats/write/WriteRuns.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/PageSettings.h"
#include "model/TextStream.h"

namespace quillane {

namespace {

constexpr uint8_t CR = 13;
constexpr uint8_t LF = 10;
constexpr uint32_t ProgressStep = 4096;
const char* const ReadError = "Error reading the file";

// Bytes that go into the text as they are: not controls, not the bytes that
// stand for specials (dashes, the no-break space).
bool PlainByte(uint8_t byte) { return byte >= 32 && TextSpecialMap[byte] == 0; }

class TWriteReader {
public:
    TWriteReader(TDocument& document, TByteView file, const TWriteHeader& header, TDocOpeningOptions& options,
                 const TFormatServices& services)
        : document_(document), file_(file), header_(header), options_(options), services_(services),
          chars_(file, header.PnChar, header.PnPara, header.FcMac, DefaultWriteCharRecord()),
          pars_(file, header.PnPara, header.PnFntb, header.FcMac, DefaultWriteParRecord()) {}

    void Run();

private:
    void ReadFonts();
    void PrepareText();
    void AdvanceCharRun();
    void AdvanceParRun();
    void SkipSpecialParagraphs();
    void GraphicsParagraph(uint32_t from, uint32_t to);
    void SyncAttributes(const TCharAttrs& attrs);
    void EndParagraph(const TParAttrs& format);
    void ReportProgress();

    TDocument& document_;
    TByteView file_;
    const TWriteHeader& header_;
    TDocOpeningOptions& options_;
    const TFormatServices& services_;
    TWriteRunCursor chars_;
    TWriteRunCursor pars_;
    std::vector<int32_t> fonts_;   // registry index by Write font number
    std::vector<uint8_t> dosText_; // Word for DOS: the text in the ANSI page
    TByteView text_;               // the whole file, or a copy with the text converted

    TWriteRun charRun_;
    TCharAttrs charAttrs_;
    TWriteRun parRun_;
    TWriteParFormat parFormat_;
    uint32_t pos_ = WritePageSize;

    TParagraph* paragraph_ = nullptr;
    TCharAttrs streamAttrs_;  // the state at the end of the paragraph's stream
    int64_t characters_ = 0;
    uint32_t nextProgress_ = 0;
};

void TWriteReader::ReadFonts() {
    const std::vector<TWriteFont> fonts = ParseWriteFonts(file_, header_);
    if (services_.Fonts == nullptr) {
        return;  // without a registry every run keeps the default font
    }
    const int32_t fallback = document_.DefaultCharAttrs[caFont];
    for (const TWriteFont& font : fonts) {
        // The number is the entry's position, so a nameless entry still
        // takes its place.
        fonts_.push_back(font.Name.empty() ? fallback
                                           : services_.Fonts->Register(font.Name, UndefinedAttr, true, font.Family));
    }
}

// Word for DOS wrote its text in the PC's code page: the bytes above ASCII
// are converted to the ANSI page before anything reads them. A byte that
// would come out as a control stays a visible stand-in.
void TWriteReader::PrepareText() {
    if (!header_.WordForDos) {
        text_ = file_;
        return;
    }
    dosText_.assign(file_.Data(), file_.Data() + header_.FcMac);
    for (uint32_t i = WritePageSize; i < header_.FcMac; ++i) {
        uint8_t& byte = dosText_[i];
        if (byte >= 128) {
            services_.CodePages.OemToAnsi(&byte, 1);
            if (byte < 32) {
                byte = '?';
            }
        }
    }
    text_ = TByteView(dosText_);
}

// Runs are taken until one covers the position; every run ends at the text's
// end at most, so this stops while the position lies inside the text.
void TWriteReader::AdvanceCharRun() {
    if (charRun_.End > pos_) {
        return;
    }
    while (charRun_.End <= pos_ && charRun_.End < header_.FcMac) {
        charRun_ = chars_.Next();
    }
    charAttrs_ = WriteCharAttrs(charRun_.Record, document_.DefaultCharAttrs, fonts_);
}

void TWriteReader::AdvanceParRun() {
    if (parRun_.End > pos_) {
        return;
    }
    while (parRun_.End <= pos_ && parRun_.End < header_.FcMac) {
        parRun_ = pars_.Next();
    }
    TParAttrs defaults = document_.DefaultParAttrs;
    defaults[paWidowControl] = document_.WidowControl;
    parFormat_ = WriteParFormat(parRun_.Record, defaults, document_.Tabs());
    // Word for DOS had no picture paragraphs; the bit means something else
    // there, and such a paragraph (a diagram drawn with box characters, say)
    // is text like any other.
    if (header_.WordForDos) {
        parFormat_.Graphics = false;
    }
}

void TWriteReader::SyncAttributes(const TCharAttrs& attrs) {
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (attrs[slot] != streamAttrs_[slot]) {
            paragraph_->AppendAttributeTag(slot, attrs[slot]);
            streamAttrs_[slot] = attrs[slot];
        }
    }
}

void TWriteReader::EndParagraph(const TParAttrs& format) {
    paragraph_->AppendSpecial(spParagraphEnd);
    paragraph_->Attributes = format;
    characters_ += paragraph_->PositionCount() - 1;
    paragraph_ = &document_.AddParagraph();
    streamAttrs_ = document_.DefaultCharAttrs;
}

void TWriteReader::ReportProgress() {
    if (services_.Progress != nullptr && pos_ >= nextProgress_) {
        services_.Progress->SetPosition(pos_);
        nextProgress_ = pos_ + ProgressStep;
    }
}

// Each picture of a graphics run becomes a paragraph of its own, as it is
// in Write: the picture and a paragraph end, with the run's format moved
// right by the picture's offset. A picture that is not kept leaves no
// paragraph behind.
void TWriteReader::GraphicsParagraph(uint32_t from, uint32_t to) {
    uint32_t at = from;
    while (at < to) {
        TWritePicture read = ReadWritePicture(text_.Sub(at, to - at));
        bool placed = false;
        if (read.Picture && services_.Pictures != nullptr) {
            placed = services_.Pictures->AddPicture(document_, *paragraph_, std::move(*read.Picture));
        }
        if (placed) {
            TParAttrs format = parFormat_.Attrs;
            format[paLeftIndent] = std::clamp(format[paLeftIndent] + read.Offset, -MaxPaperSize, MaxPaperSize);
            EndParagraph(format);
        } else {
            document_.OpenedWithDataLosses = true;
        }
        // Pictures that share a run follow each other; whatever is too
        // short to be one ends the run.
        if (read.Size == 0 || to - at - read.Size < WritePictureHeaderSize) {
            return;
        }
        at += read.Size;
    }
}

// Headers, footers and graphics paragraphs are not text paragraphs: they
// are passed over (a graphics paragraph leaves its picture) until a text
// paragraph starts. Each step moves to the end of a run that lies beyond
// the position.
void TWriteReader::SkipSpecialParagraphs() {
    while (pos_ < header_.FcMac) {
        AdvanceParRun();
        if (!parFormat_.RunningHead && !parFormat_.Graphics) {
            return;
        }
        if (parFormat_.Graphics) {
            GraphicsParagraph(pos_, parRun_.End);
        } else {
            document_.OpenedWithDataLosses = true;  // headers and footers are not kept
        }
        pos_ = parRun_.End;
    }
}

void TWriteReader::Run() {
    ReadFonts();
    PrepareText();
    if (services_.Progress != nullptr) {
        services_.Progress->SetRange(header_.FcMac);
    }
    const uint8_t* text = text_.Data();
    const uint32_t end = header_.FcMac;
    paragraph_ = &document_.LastParagraph();
    streamAttrs_ = document_.DefaultCharAttrs;
    SkipSpecialParagraphs();
    while (pos_ < end) {
        AdvanceCharRun();
        const uint8_t byte = text[pos_];
        if (byte == CR) {
            // The paragraph takes the format of the run its end lies in.
            AdvanceParRun();
            SyncAttributes(charAttrs_);
            EndParagraph(parFormat_.Attrs);
            ++pos_;
            if (pos_ < end && text[pos_] == LF) {
                ++pos_;
            }
            SkipSpecialParagraphs();
            ReportProgress();
        } else if (const uint8_t special = TextSpecialMap[byte]) {
            SyncAttributes(charAttrs_);
            paragraph_->AppendSpecial(special);
            ++pos_;
        } else if (byte < 32) {
            ++pos_;  // other controls (a lone LF, the page-number mark of headers) have no place in the text
        } else {
            const uint32_t limit = std::min(charRun_.End, end);
            uint32_t run = pos_ + 1;
            while (run < limit && PlainByte(text[run])) {
                ++run;
            }
            SyncAttributes(charAttrs_);
            paragraph_->AppendChars(text + pos_, static_cast<int32_t>(run - pos_));
            pos_ = run;
        }
    }
    if (paragraph_->PositionCount() > 0) {
        paragraph_->Attributes = parFormat_.Attrs;
    }
    characters_ += paragraph_->PositionCount();
    options_.CharacterCount = static_cast<int32_t>(std::min<int64_t>(characters_, INT32_MAX));
}

void ReportFailure(const std::exception& e, const TDocOpeningOptions& options, const TFormatServices& services) {
    if (!options.FromMemory) {
        services.Messages.Show(FormatMessageText("Exception with message||\"%s\"||raised while opening document \"%s\"",
                                                 {e.what(), options.FileName}),
                               TMessageKind::Error, TMessageButtons::Ok);
    }
}

}  // namespace

bool ReadWrite(TDocument& document, TByteView file, TDocOpeningOptions& options, const TFormatServices& services) {
    try {
        const TWriteHeader header = ParseWriteHeader(file);
        options.Format = dfWrite;
        document.Format = dfWrite;
        TWriteReader reader(document, file, header, options, services);
        reader.Run();
        return true;
    } catch (const TSilentAbort&) {
        return false;
    } catch (const std::exception& e) {
        ReportFailure(e, options, services);
        return false;
    }
}

bool ReadWriteFile(TDocument& document, TFile& file, TDocOpeningOptions& options, const TFormatServices& services) {
    std::vector<uint8_t> bytes;
    try {
        const int64_t size = file.Size();
        if (size < 0 || !file.Seek(0)) {
            throw std::runtime_error(ReadError);
        }
        bytes.resize(static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(size), MaxWriteFileSize)));
        size_t got = 0;
        while (got < bytes.size()) {
            const int32_t n = file.Read(bytes.data() + got,
                                        static_cast<int32_t>(std::min<size_t>(bytes.size() - got, 1 << 20)));
            if (n < 0) {
                throw std::runtime_error(ReadError);
            }
            if (n == 0) {
                break;
            }
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    } catch (const std::exception& e) {
        ReportFailure(e, options, services);
        return false;
    }
    return ReadWrite(document, TByteView(bytes), options, services);
}

}  // namespace quillane

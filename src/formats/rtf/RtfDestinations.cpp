// Destinations: the groups that are not body text. Text destinations
// (fields, list text, Unicode alternatives) push a state and go back to the
// body loop; the others are read here up to their closing brace.
#include <algorithm>
#include <cstring>

#include "formats/DocumentFormat.h"
#include "formats/rtf/RtfReaderCore.h"
#include "model/DateTime.h"
#include "model/Document.h"

namespace quillane {

namespace {

constexpr size_t MaxInfoText = 65536;

bool SameTextIgnoringCase(const std::string& a, const char* b) {
    const size_t n = std::strlen(b);
    if (a.size() != n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c | 0x20 : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

void TRtfReader::HandleDestination(int32_t destination, bool textAllowed) {
    // Destinations read here may hold destinations again (an information
    // group inside one); past a few levels the rest is skipped without recursion.
    if (destinationDepth_ >= MaxDestinationDepth) {
        in_.SkipGroup();
        MarkDataLoss();
        return;
    }
    ++destinationDepth_;
    ReadDestination(destination, textAllowed);
    --destinationDepth_;
}

void TRtfReader::ReadDestination(int32_t destination, bool textAllowed) {
    switch (destination) {
        case dwFonttbl: ReadFontTable(); return;
        case dwColortbl: ReadColorTable(); return;
        case dwStylesheet: ReadStyleSheet(); return;
        case dwInfo: ReadInfo(); return;
        case dwTitle: ReadGroupText(doc_.Information.Properties.Title, MaxInfoText); return;
        case dwSubject: ReadGroupText(doc_.Information.Properties.Subject, MaxInfoText); return;
        case dwAuthor: ReadGroupText(doc_.Information.Properties.Author, MaxInfoText); return;
        case dwKeywords: ReadGroupText(doc_.Information.Properties.Keywords, MaxInfoText); return;
        case dwDoccomm: ReadGroupText(doc_.Information.Properties.Comments, MaxInfoText); return;
        case dwOperator: ReadGroupText(doc_.Information.Operator, MaxInfoText); return;
        case dwCompany: ReadGroupText(doc_.Information.Company, MaxInfoText); return;
        case dwCreatim: ReadDate(); return;
        case dwAutosavedorigfmt: {
            std::string name;
            ReadGroupText(name, MaxInfoText);
            for (int32_t format = 0; format < DocumentFormatCount; ++format) {
                if (SameTextIgnoringCase(name, DocumentFormats[format].ShortName)) {
                    doc_.Format = format;
                }
            }
            return;
        }
        case dwAutosavedorigname: {
            std::string name;
            ReadGroupText(name, MaxInfoText);
            doc_.FileName = name;  // empty: the document stays untitled
            return;
        }
        case dwPict: {
            TImportedPicture picture;
            ReadPicture(picture);
            PlacePicture(std::move(picture));
            return;
        }
        case dwObject: ReadObject(); return;
        case dwHeader:
        case dwHeaderf:
        case dwHeaderl:
        case dwHeaderr:
        case dwFooter:
        case dwFooterf:
        case dwFooterl:
        case dwFooterr:
        case dwFootnote:
            in_.SkipGroup();
            MarkDataLoss();
            return;
        default: break;
    }
    if (textAllowed && style_ == nullptr) {
        switch (destination) {
            case dwField:
            case dwFldrslt:
            case dwListtext:
            case dwPn:
            case dwUd:
                PushState();
                return;
            case dwPntext:
                if (par_->Attributes[paBullet] != 0) {
                    break;  // the bullet is drawn; its text is not wanted twice
                }
                PushState();
                return;
            case dwUpr:
                // The first group is the 8-bit form; the Unicode form follows.
                PushState();
                in_.SkipBlanks();
                if (in_.Peek() == '{') {
                    in_.Skip();
                    in_.SkipGroup();
                }
                return;
            default: break;
        }
    }
    in_.SkipGroup();
}

void TRtfReader::ReadGroupText(std::string& out, size_t limit) {
    out.clear();
    for (;;) {
        if (in_.EndOfGroup()) {
            return;
        }
        const int c = in_.Peek();
        if (c == '{') {
            in_.Skip();
            in_.SkipGroup();
        } else if (c == '\\') {
            if (in_.AtHexEscape()) {
                std::string bytes;
                in_.ReadHexRun(bytes);
                for (const char b : bytes) {
                    if (static_cast<uint8_t>(b) >= 32 && out.size() < limit) {
                        out.push_back(mac_ ? static_cast<char>(MacToLatin1(static_cast<uint8_t>(b))) : b);
                    }
                }
            } else if (in_.AtControlWord()) {
                const TRtfWord word = in_.ReadWord();
                if (word.View() == "u") {
                    int32_t code = word.Value;
                    if (code < 0 && code >= -32768) {
                        code += 65536;
                    }
                    std::string fallback;
                    SkipFallback(fallback);
                    uint8_t byte = encoders_.Encode(CodePageForCharacter(code, systemCodePage_),
                                                    static_cast<char32_t>(code));
                    if (byte < 0x80) {
                        byte = fallback.empty() ? '?' : static_cast<uint8_t>(fallback.back());
                    }
                    if (byte >= 32 && out.size() < limit) {
                        out.push_back(static_cast<char>(byte));
                    }
                } else if (word.View() == "bin") {
                    in_.SkipBinary(word.Value);
                }
            } else {
                const int next = in_.Peek(1);
                if ((next == '\\' || next == '{' || next == '}') && out.size() < limit) {
                    out.push_back(static_cast<char>(next));
                }
                in_.Skip(next < 0 ? 1 : 2);
            }
        } else {
            if (c >= 32 && out.size() < limit) {
                out.push_back(static_cast<char>(mac_ ? MacToLatin1(static_cast<uint8_t>(c)) : c));
            }
            in_.Skip();
        }
        in_.Refill();
    }
}

void TRtfReader::ReadInfo() {
    for (;;) {
        if (in_.EndOfGroup()) {
            return;
        }
        const int c = in_.Peek();
        if (c == '{') {
            in_.Skip();
            const int32_t destination = words_.Destinations.Find(in_.ReadGroupWord().View());
            if (destination >= 0) {
                HandleDestination(destination, false);
            } else {
                in_.SkipGroup();
            }
        } else if (in_.AtControlWord()) {
            const TRtfWord word = in_.ReadWord();
            switch (words_.Special.Find(word.View())) {
                case swDskparnr: options_.StoredCaret.Paragraph = word.Value; break;
                case swDskcharnr: options_.StoredCaret.Offset = word.Value; break;
                case swDsklefttopx: options_.StoredScrollX = word.Value; break;
                case swDsklefttopy: options_.StoredScrollY = word.Value; break;
                default:
                    if (word.View() == "bin") {
                        in_.SkipBinary(word.Value);
                    }
                    break;
            }
        } else {
            in_.Skip(c == '\\' && in_.Peek(1) >= 0 ? 2 : 1);
        }
        in_.Refill();
    }
}

void TRtfReader::ReadDate() {
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    for (;;) {
        const int c = in_.Peek();
        if (c < 0 || c == '}') {
            if (c == '}') {
                in_.Skip();
            }
            break;
        }
        if (c == '{') {
            in_.Skip();
            in_.SkipGroup();
        } else if (in_.AtControlWord()) {
            const TRtfWord word = in_.ReadWord();
            switch (words_.Special.Find(word.View())) {
                case swYr: year = word.Value; break;
                case swMo: month = word.Value; break;
                case swDy: day = word.Value; break;
                case swHr: hour = word.Value; break;
                case swMin: minute = word.Value; break;
                case swSec: second = word.Value; break;
                default: break;
            }
        } else {
            in_.Skip(c == '\\' && in_.Peek(1) >= 0 ? 2 : 1);
        }
        in_.Refill();
    }
    const std::optional<double> date = DateTimeOf({year, month, day, hour, minute, second});
    doc_.Information.CreationTime = date ? *date : NowAsDateTime();
}

void TRtfReader::ReadPicture(TImportedPicture& picture) {
    constexpr int32_t MaxPictureSize = 1 << 24;
    for (;;) {
        if (in_.EndOfGroup()) {
            return;
        }
        const int c = in_.Peek();
        if (c == '{') {
            in_.Skip();
            in_.SkipGroup();
        } else if (c == '\\') {
            if (!in_.AtControlWord()) {
                in_.Skip(in_.Peek(1) >= 0 ? 2 : 1);
                continue;
            }
            const TRtfWord word = in_.ReadWord();
            const int32_t n = word.Value;
            switch (words_.Special.Find(word.View())) {
                case swEmfblip: picture.Kind = TImportedPictureKind::Emf; break;
                case swWmetafile:
                    picture.Kind = TImportedPictureKind::Wmf;
                    picture.MappingMode = std::clamp(n, 0, 255);
                    break;
                case swJpegblip: picture.Kind = TImportedPictureKind::Jpeg; break;
                case swPngblip: picture.Kind = TImportedPictureKind::Png; break;
                case swPicw: picture.Width = std::clamp(n, 0, MaxPictureSize); break;
                case swPich: picture.Height = std::clamp(n, 0, MaxPictureSize); break;
                case swPicwgoal: picture.GoalWidth = std::clamp(n, 0, MaxPictureSize); break;
                case swPichgoal: picture.GoalHeight = std::clamp(n, 0, MaxPictureSize); break;
                case swPicscalex: picture.ScaleX = std::clamp(n, 1, 10000); break;
                case swPicscaley: picture.ScaleY = std::clamp(n, 1, 10000); break;
                default:
                    if (word.View() == "bin") {
                        in_.ReadBinary(word.Value, picture.Data);
                    }
                    break;
            }
        } else if (HexDigitValue(c) >= 0) {
            ReadPictureData(picture.Data);
        } else {
            in_.Skip();
        }
        in_.Refill();
    }
}

void TRtfReader::ReadPictureData(std::string& data) {
    // Pairs of hex digits, with any blanks and line breaks around and between
    // them passed over one byte at a time. A brace, a backslash or the end of
    // the data ends the run (the caller handles what comes next); a digit
    // without a partner is dropped, and any other byte is passed over alone.
    int high = -1;
    for (;;) {
        const uint8_t* p = in_.Current();
        const int32_t n = in_.Available();
        int32_t i = 0;
        for (; i < n; ++i) {
            const int digit = HexDigitValue(p[i]);
            if (digit >= 0) {
                if (high < 0) {
                    high = digit;
                } else {
                    data.push_back(static_cast<char>(high * 16 + digit));
                    high = -1;
                }
            } else if (p[i] == '}' || p[i] == '{' || p[i] == '\\') {
                break;
            } else if (p[i] > ' ') {
                high = -1;  // a stray byte splits no pair
            }
        }
        in_.Skip(i);
        if (i < n || in_.AtEnd()) {
            return;
        }
    }
}

void TRtfReader::PlacePicture(TImportedPicture&& picture) {
    if (picture.Data.empty()) {
        return;  // nothing to show
    }
    if (style_ != nullptr || picture.Kind == TImportedPictureKind::None ||
        !pictures_.AddPicture(doc_, *par_, std::move(picture))) {
        MarkDataLoss();
    }
}

void TRtfReader::ReadObjectResult(TImportedObject& object) {
    for (;;) {
        if (in_.EndOfGroup()) {
            return;
        }
        const int c = in_.Peek();
        if (c == '{') {
            in_.Skip();
            if (words_.Destinations.Find(in_.ReadGroupWord().View()) == dwPict) {
                TImportedPicture picture;
                ReadPicture(picture);
                if (!object.Picture && picture.Kind != TImportedPictureKind::None && !picture.Data.empty()) {
                    object.Picture = std::move(picture);
                }
            } else {
                in_.SkipGroup();
            }
        } else if (in_.AtControlWord()) {
            in_.ReadWord();
        } else {
            in_.Skip(c == '\\' && in_.Peek(1) >= 0 ? 2 : 1);
        }
        in_.Refill();
    }
}

void TRtfReader::ReadObject() {
    constexpr int32_t MaxObjectSize = 1 << 24;
    constexpr size_t MaxName = 255;
    TImportedObject object;
    for (;;) {
        if (in_.EndOfGroup()) {
            break;
        }
        const int c = in_.Peek();
        if (c == '{') {
            in_.Skip();
            const int32_t destination = words_.Destinations.Find(in_.ReadGroupWord().View());
            switch (destination) {
                case dwObjdata: {
                    // Hex data up to the group's end; words inside are passed over.
                    for (;;) {
                        ReadPictureData(object.Data);
                        const int d = in_.Peek();
                        if (d < 0) {
                            break;
                        }
                        in_.Skip();
                        if (d == '}') {
                            break;
                        }
                        if (d == '{') {
                            in_.SkipGroup();
                        } else if (IsRtfLetter(in_.Peek())) {
                            while (IsRtfLetter(in_.Peek())) {
                                in_.Skip();
                            }
                        } else if (in_.Peek() >= 0) {
                            in_.Skip();
                        }
                    }
                    break;
                }
                case dwObjclass: ReadGroupText(object.ClassName, MaxName); break;
                case dwObjname: ReadGroupText(object.Name, MaxName); break;
                case dwResult: ReadObjectResult(object); break;
                default: in_.SkipGroup(); break;
            }
        } else if (in_.AtControlWord()) {
            const TRtfWord word = in_.ReadWord();
            switch (words_.Special.Find(word.View())) {
                case swObjemb: object.Kind = okEmbedded; break;
                case swObjlink: object.Kind = okLink; break;
                case swObjautlink: object.Kind = okAutoLink; break;
                case swObjsub: object.Kind = okSubscriber; break;
                case swObjpub: object.Kind = okPublisher; break;
                case swObjicemb: object.Kind = okIconEmbedded; break;
                case swObjhtml: object.Kind = okHtml; break;
                case swObjocx: object.Kind = okControl; break;
                case swObjw: object.Width = std::clamp(word.Value, 0, MaxObjectSize); break;
                case swObjh: object.Height = std::clamp(word.Value, 0, MaxObjectSize); break;
                default: break;
            }
        } else {
            in_.Skip(c == '\\' && in_.Peek(1) >= 0 ? 2 : 1);
        }
        in_.Refill();
    }
    if (!object.Picture && object.Data.empty()) {
        return;  // nothing to keep
    }
    if (style_ != nullptr || !pictures_.AddObject(doc_, *par_, std::move(object))) {
        MarkDataLoss();
    }
}

}  // namespace quillane

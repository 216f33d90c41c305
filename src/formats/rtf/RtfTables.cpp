// The font table and the colour table.
#include <algorithm>

#include "formats/rtf/RtfReaderCore.h"
#include "model/Document.h"

namespace quillane {

namespace {

constexpr size_t MaxFontName = 255;

void TrimFontName(std::string& name) {
    while (!name.empty()) {
        const auto last = static_cast<uint8_t>(name.back());
        if (last < 14 || last == ' ' || last == ';') {
            name.pop_back();
        } else {
            break;
        }
    }
}

}  // namespace

void TRtfReader::ReadFontTable() {
    std::vector<TRtfFont> table;
    TRtfFont entry;
    int64_t depth = 1;  // inside the table's own group
    auto finish = [&] {
        TrimFontName(entry.Info.Name);
        if (!entry.Info.Name.empty()) {
            table.push_back(entry);
        }
        entry = TRtfFont{};
    };
    auto addName = [&](char c) {
        if (entry.Info.Name.size() < MaxFontName) {
            entry.Info.Name.push_back(c);
        }
    };
    for (;;) {
        const int c = in_.Peek();
        if (c < 0) {
            break;
        }
        if (c == '{') {
            in_.Skip();
            if (in_.Peek() == '\\' && in_.Peek(1) == '*') {
                in_.SkipGroup();  // alternatives, panose numbers and the like
            } else {
                ++depth;
            }
        } else if (c == '}') {
            in_.Skip();
            --depth;
            if (depth <= 1) {
                finish();  // an entry group may close without its ";"
            }
            if (depth == 0) {
                break;
            }
        } else if (c == '\\') {
            if (in_.AtControlWord()) {
                const TRtfWord word = in_.ReadWord();
                const int32_t n = word.Value;
                switch (words_.Special.Find(word.View())) {
                    case swF: entry.Number = n; break;
                    case swFcharset: entry.Info.CharSet = (mac_ && n == 77) ? 0 : std::clamp(n, 0, 255); break;
                    // Both bits: a fixed pitch (1) that the writer states must read back.
                    case swFprq: entry.Info.Pitch = n & 3; break;
                    case swFnil: entry.Info.Family = FamilyDontCare; break;
                    case swFroman: entry.Info.Family = FamilyRoman; break;
                    case swFswiss: entry.Info.Family = FamilySwiss; break;
                    case swFmodern: entry.Info.Family = FamilyModern; break;
                    case swFscript: entry.Info.Family = FamilyScript; break;
                    case swFdecor: entry.Info.Family = FamilyDecorative; break;
                    default:
                        if (word.View() == "bin") {
                            in_.SkipBinary(word.Value);
                        }
                        break;
                }
            } else if (in_.AtHexEscape()) {
                std::string bytes;
                in_.ReadHexRun(bytes);
                for (const char b : bytes) {
                    addName(b);
                }
            } else {
                const int next = in_.Peek(1);
                if (next == '\\' || next == '{' || next == '}') {
                    addName(static_cast<char>(next));
                }
                in_.Skip(next < 0 ? 1 : 2);
            }
        } else if (c == ';') {
            in_.Skip();
            finish();
        } else {
            if (c != '\r' && c != '\n') {
                addName(static_cast<char>(c));
            }
            in_.Skip();
        }
        in_.Refill();
    }
    if (table.empty()) {
        return;
    }
    std::vector<TDocFontInfo> infos;
    infos.reserve(table.size());
    for (const TRtfFont& font : table) {
        infos.push_back(font.Info);
    }
    fonts_.RegisterDocumentFonts(infos);
    for (size_t i = 0; i < table.size(); ++i) {
        table[i].Info.Index = infos[i].Index;
    }
    fontList_ = std::move(table);
    if (style_ == nullptr) {
        SetChar(caFont, fontList_.front().Info.Index);
    }
    std::stable_sort(fontList_.begin(), fontList_.end(),
                     [](const TRtfFont& a, const TRtfFont& b) { return a.Number < b.Number; });
    codePageFont_ = UndefinedAttr;  // registry entries may have changed their sets
}

void TRtfReader::ReadColorTable() {
    std::vector<TDocColorInfo> table;
    uint32_t red = 0, green = 0, blue = 0;
    bool sawWord = false;
    for (;;) {
        if (in_.EndOfGroup()) {
            break;
        }
        const int c = in_.Peek();
        if (c == '{') {
            in_.Skip();
            in_.SkipGroup();
        } else if (c == ';') {
            in_.Skip();
            TDocColorInfo color;
            color.Automatic = !sawWord;
            color.Value = red | (green << 8) | (blue << 16);
            table.push_back(color);
            red = green = blue = 0;
            sawWord = false;
        } else if (in_.AtControlWord()) {
            const TRtfWord word = in_.ReadWord();
            sawWord = true;
            const uint32_t low = static_cast<uint32_t>(word.Value) & 0xFFu;
            switch (words_.Special.Find(word.View())) {
                case swRed: red = low; break;
                case swGreen: green = low; break;
                case swBlue: blue = low; break;
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
    MapDocumentColors(table);
    colors_ = std::move(table);
}

}  // namespace quillane

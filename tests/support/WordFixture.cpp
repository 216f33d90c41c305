#include "support/WordFixture.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace quillane::test {

void Put16(TBytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(TBytes& b, uint32_t v) {
    Put16(b, static_cast<uint16_t>(v));
    Put16(b, static_cast<uint16_t>(v >> 16));
}

TBytes Sprm97(uint16_t opcode, std::initializer_list<uint8_t> operand) {
    TBytes b;
    Put16(b, opcode);
    b.insert(b.end(), operand.begin(), operand.end());
    return b;
}

namespace {

void Set16(TBytes& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Set32(TBytes& b, size_t at, uint32_t v) {
    Set16(b, at, static_cast<uint16_t>(v));
    Set16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

void Append(TBytes& to, const TBytes& from) { to.insert(to.end(), from.begin(), from.end()); }

void PadTo(TBytes& b, size_t multiple) {
    while (b.size() % multiple != 0) {
        b.push_back(0);
    }
}

// One page covering [start, end) with the runs given (FC, grpprl).
TBytes ChpxPage(const std::vector<std::pair<uint32_t, TBytes>>& runs, uint32_t end) {
    TBytes page(512, 0);
    const size_t n = runs.size();
    size_t at = 0x100;
    for (size_t i = 0; i < n; ++i) {
        Set32(page, i * 4, runs[i].first);
        const TBytes& grpprl = runs[i].second;
        if (!grpprl.empty()) {
            page[(n + 1) * 4 + i] = static_cast<uint8_t>(at / 2);
            page[at] = static_cast<uint8_t>(grpprl.size());
            std::copy(grpprl.begin(), grpprl.end(), page.begin() + static_cast<ptrdiff_t>(at + 1));
            at += 1 + grpprl.size();
            at += at & 1;
        }
    }
    Set32(page, n * 4, end);
    page[511] = static_cast<uint8_t>(n);
    return page;
}

TBytes PapxPage(uint32_t start, uint32_t end, uint16_t istd, const TBytes& grpprl, bool word97) {
    TBytes page(512, 0);
    Set32(page, 0, start);
    Set32(page, 4, end);
    page[8] = 0x100 / 2;
    TBytes papx;
    Put16(papx, istd);
    Append(papx, grpprl);
    size_t at = 0x100;
    if (word97) {
        if (papx.size() % 2 == 1) {
            page[at++] = static_cast<uint8_t>((papx.size() + 1) / 2);
        } else {
            page[at++] = 0;
            page[at++] = static_cast<uint8_t>(papx.size() / 2);
        }
    } else {
        if (papx.size() % 2 == 1) {
            papx.push_back(0);
        }
        page[at++] = static_cast<uint8_t>(papx.size() / 2);
    }
    std::copy(papx.begin(), papx.end(), page.begin() + static_cast<ptrdiff_t>(at));
    page[511] = 1;
    return page;
}

}  // namespace

TBytes BuildStsh97(const std::vector<TStdDefinition>& styles) {
    TBytes stsh;
    Put16(stsh, 18);  // header size
    TBytes header(18, 0);
    Set16(header, 0, static_cast<uint16_t>(styles.size()));
    Set16(header, 2, 10);  // fixed part of an STD
    Append(stsh, header);
    for (const TStdDefinition& style : styles) {
        TBytes std(10, 0);
        Set16(std, 0, style.Sti);
        Set16(std, 2, static_cast<uint16_t>(style.Kind | (style.Base << 4)));
        const uint16_t upxCount = style.Kind == 1 ? 2 : 1;
        Set16(std, 4, static_cast<uint16_t>(upxCount | (4095 << 4)));
        Put16(std, static_cast<uint16_t>(style.Name.size()));
        for (const char c : style.Name) {
            Put16(std, static_cast<uint8_t>(c));
        }
        Put16(std, 0);
        const auto upx = [&](const TBytes& bytes) {
            PadTo(std, 2);
            Put16(std, static_cast<uint16_t>(bytes.size()));
            Append(std, bytes);
        };
        if (style.Kind == 1) {
            TBytes papx;
            Put16(papx, 0);
            Append(papx, style.Papx);
            upx(papx);
        }
        upx(style.Chpx);
        PadTo(std, 2);
        Put16(stsh, static_cast<uint16_t>(std.size()));
        Append(stsh, std);
    }
    return stsh;
}

TMemoryStorage TWordFixture::Build() const {
    const uint32_t textAt = Word97 ? 0x400 : 0x200;
    TBytes main(textAt, 0);
    TBytes text;
    const bool unicode = Unicode || !Text16.empty();
    for (const char16_t c : Text16) {
        Put16(text, c);
    }
    for (const char c : Text16.empty() ? Text : std::string()) {
        const auto byte = static_cast<uint8_t>(c);
        if (unicode) {
            // The few code page 1252 characters the tests use.
            Put16(text, byte == 0x96 ? 0x2013 : byte == 0x97 ? 0x2014 : byte == 0x80 ? 0x20AC : byte);
        } else {
            text.push_back(byte);
        }
    }
    Append(main, text);
    const uint32_t textEnd = static_cast<uint32_t>(main.size());
    PadTo(main, 512);
    const uint32_t chpxPn = static_cast<uint32_t>(main.size() / 512);
    std::vector<std::pair<uint32_t, TBytes>> runs;
    if (ChpxRuns.empty()) {
        runs.emplace_back(textAt, Chpx);
    }
    for (const TRun& run : ChpxRuns) {
        runs.emplace_back(textAt + static_cast<uint32_t>(run.Cp) * (unicode ? 2 : 1), run.Grpprl);
    }
    Append(main, ReplaceChpxPage ? ChpxPage : test::ChpxPage(runs, textEnd));
    PadTo(main, 512);
    const uint32_t papxPn = static_cast<uint32_t>(main.size() / 512);
    Append(main, ReplacePapxPage ? PapxPage : test::PapxPage(textAt, textEnd, Istd, Papx, Word97));
    PadTo(main, 512);
    uint32_t sepxAt = 0xFFFFFFFF;
    if (!Sepx.empty()) {
        sepxAt = static_cast<uint32_t>(main.size());
        Put16(main, static_cast<uint16_t>(Sepx.size()));
        Append(main, Sepx);
    }

    if (!Word97 && !Data.empty()) {
        if (main.size() > Word6DataAt) {
            throw std::logic_error("the fixture's main stream runs into its picture data");
        }
        main.resize(Word6DataAt, 0);
        Append(main, Data);
    }

    // The table structures: in their own stream for Word 97, else behind
    // the main stream's pages.
    TBytes table;
    TBytes& into = Word97 ? table : main;
    struct TPair {
        uint32_t Fc = 0;
        uint32_t Lcb = 0;
    };
    const auto place = [&](const TBytes& bytes) {
        TPair pair{static_cast<uint32_t>(into.size()), static_cast<uint32_t>(bytes.size())};
        Append(into, bytes);
        return pair;
    };
    const int32_t ccp = static_cast<int32_t>(Text16.empty() ? Text.size() : Text16.size());
    TBytes clx;
    if (ReplaceClx) {
        clx = Clx;
    } else {
        clx.push_back(2);
        Put32(clx, 4 + 4 + 8);
        Put32(clx, 0);
        Put32(clx, static_cast<uint32_t>(ccp));
        Put16(clx, 0);
        Put32(clx, Word97 && !unicode ? (textAt * 2) | 0x40000000u : textAt);
        Put16(clx, 0);
    }
    const TPair clxPair = place(clx);
    const auto bin = [&](uint32_t pn) {
        TBytes b;
        Put32(b, textAt);
        Put32(b, textEnd);
        if (Word97) {
            Put32(b, pn);
        } else {
            Put16(b, static_cast<uint16_t>(pn));
        }
        return b;
    };
    const TPair chpxPair = place(bin(chpxPn));
    const TPair papxPair = place(bin(papxPn));
    const TPair stshPair = place(Stsh);
    const TPair dopPair = place(Dop);
    TPair ffnPair;
    if (!Fonts.empty()) {
        // Word 97 FFNs: the name (Unicode) behind 40 bytes of metrics.
        TBytes sttbf;
        Put16(sttbf, static_cast<uint16_t>(Fonts.size()));
        Put16(sttbf, 0);
        for (const TFont& font : Fonts) {
            TBytes ffn(40, 0);
            ffn[1] = 0x04 | 0x10;  // TrueType, roman
            ffn[4] = font.CharSet;
            for (const char c : font.Name) {
                Put16(ffn, static_cast<uint8_t>(c));
            }
            Put16(ffn, 0);
            ffn[0] = static_cast<uint8_t>(ffn.size() - 1);
            Append(sttbf, ffn);
        }
        ffnPair = place(sttbf);
    }
    TPair sedPair;
    if (sepxAt != 0xFFFFFFFF) {
        TBytes sed;
        Put32(sed, 0);
        Put32(sed, static_cast<uint32_t>(ccp));
        Put16(sed, 0);
        Put32(sed, sepxAt);
        Put16(sed, 0);
        Put32(sed, 0xFFFFFFFF);
        sedPair = place(sed);
    }

    uint16_t flags = 0;
    if (Encrypted) {
        flags |= 0x0100;
    }
    uint32_t pairBase = 0x58;
    if (Word97) {
        Set16(main, 0, 0xA5EC);
        Set16(main, 2, 0xC1);
        flags |= 0x0200;  // "1Table"
        Set16(main, 0x20, 14);
        Set16(main, 0x3E, 22);
        Set32(main, 0x4C, static_cast<uint32_t>(ccp + CcpTextDelta));
        Set16(main, 0x98, 93);
        pairBase = 0x9A;
    } else {
        Set16(main, 0, 0xA5DC);
        Set16(main, 2, 101);
        Set32(main, 0x34, static_cast<uint32_t>(ccp + CcpTextDelta));
        Set16(main, 0x18E, 1);  // one character page
        Set16(main, 0x190, 1);
    }
    Set16(main, 0x0A, flags);
    Set32(main, 0x18, textAt);
    Set32(main, 0x1C, textEnd);
    const auto setPair = [&](int index, TPair pair) {
        Set32(main, pairBase + static_cast<uint32_t>(index) * 8, pair.Fc);
        Set32(main, pairBase + static_cast<uint32_t>(index) * 8 + 4, pair.Lcb);
    };
    setPair(1, stshPair);
    setPair(6, sedPair);
    setPair(12, chpxPair);
    setPair(13, papxPair);
    setPair(15, ffnPair);
    setPair(31, dopPair);
    setPair(33, clxPair);

    TMemoryStorage storage;
    storage.Streams["WordDocument"] = main;
    if (Word97 && !DropTableStream) {
        storage.Streams["1Table"] = table;
    }
    if (Word97 && !Data.empty()) {
        storage.Streams["Data"] = Data;
    }
    return storage;
}

}  // namespace quillane::test

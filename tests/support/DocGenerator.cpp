#include "support/DocGenerator.h"

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/BuiltInStyles.h"
#include "model/StyleManager.h"
#include "model/TextStream.h"
#include "pictures/DocObject.h"
#include "pictures/ObjectManager.h"
#include "pictures/PngImage.h"
#include "support/TestJpeg.h"

namespace quillane::test {

namespace {

// The limits the RTF reader clamps to; the generator reaches each of them.
constexpr int32_t MaxLength = 31680;
constexpr int32_t MaxExpansion = 1584;
constexpr int32_t MaxOffset = 1584;
constexpr int32_t MaxSize = 2000;

class TGenerator {
public:
    TGenerator(TDocument& document, TFontManager& fonts, uint32_t seed, const TGeneratorOptions& options)
        : doc_(document), fonts_(fonts), random_(seed), options_(options) {}

    void Run() {
        Fonts();
        Settings();
        Tabs();
        Styles();
        Paragraphs();
    }

private:
    int32_t Between(int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(random_); }
    bool Chance(int percent) { return Between(0, 99) < percent; }
    template <typename T>
    T Pick(const std::vector<T>& values) {
        return values[static_cast<size_t>(Between(0, static_cast<int32_t>(values.size()) - 1))];
    }
    // A value from the range, its ends a good part of the time.
    int32_t Extreme(int32_t lo, int32_t hi) {
        switch (Between(0, 5)) {
            case 0: return lo;
            case 1: return hi;
            default: return Between(lo, hi);
        }
    }

    // Text bytes: printable ASCII with the three RTF specials, and high
    // bytes. 0x96, 0x97 and 0xA0 are left out: a reader takes them for the
    // dashes and the non-breaking space, so the model never holds them as
    // characters of an RTF document.
    uint8_t TextByte() {
        switch (Between(0, 9)) {
            case 0: return Pick<uint8_t>({'\\', '{', '}'});
            case 1:
            case 2: {
                uint8_t b = 0;
                do {
                    b = static_cast<uint8_t>(Between(0x80, 0xFF));
                } while (b == 0x96 || b == 0x97 || b == 0xA0);
                return b;
            }
            default: return static_cast<uint8_t>(Between(0x20, 0x7E));
        }
    }
    // A name for a style, font or information field: no ';' (it ends a
    // table entry) and no blanks at either end (readers trim them).
    std::string Name(int length) {
        std::string name;
        for (int i = 0; i < length; ++i) {
            uint8_t b = TextByte();
            if (b == ';') {
                b = ':';
            }
            name.push_back(static_cast<char>(b));
        }
        if (!name.empty() && name.front() == ' ') {
            name.front() = 'N';
        }
        if (!name.empty() && name.back() == ' ') {
            name.back() = 'e';
        }
        return name;
    }

    // A fixed list, so that a seed gives the same fonts whatever the
    // registry met before: installed faces in several single-byte character
    // sets (a double-byte set would pair bytes), and fonts no system has,
    // with the characters a font table must escape.
    void Fonts() {
        struct TFontRequest {
            const char* Name;
            int32_t CharSet;
            int32_t PitchAndFamily;
        };
        static const TFontRequest Requests[] = {
            {"Times New Roman", 0, 0x12}, {"Times New Roman", 204, 0x12}, {"Arial", 0, 0x22},
            {"Arial", 238, 0x22},         {"Symbol", 2, 0x12},            {"Courier New", 0, 0x31},
            {"Arial Narrow", 0, 0x22},    {"wingdings", 2, 0x52},         {"Odd\\Font {1}", 0, 0x12},
            {"Brace}{Font", 238, 0x31},   {"Caf\xE9 \xC6sc", 0, 0x52},
        };
        for (const TFontRequest& r : Requests) {
            fontIndexes_.push_back(fonts_.Register(r.Name, r.CharSet, false, r.PitchAndFamily));
        }
    }

    void Settings() {
        TPageSettings page;
        page.PaperWidth = Extreme(MinPaperSize, MaxPaperSize);
        page.PaperHeight = Extreme(MinPaperSize, MaxPaperSize);
        page.Landscape = static_cast<uint8_t>(Between(0, 1));
        page.LeftMargin = Between(0, page.PaperWidth * 2 / 5);
        page.RightMargin = Between(0, page.PaperWidth * 2 / 5);
        page.TopMargin = Between(0, page.PaperHeight * 2 / 5);
        page.BottomMargin = Between(0, page.PaperHeight * 2 / 5);
        doc_.ApplyPageSettings(ValidatePageSettings(page), false);

        TDocumentInfo& info = doc_.Information;
        info.Properties.Title = Name(Between(0, 20));
        info.Properties.Subject = Name(Between(0, 20));
        info.Properties.Author = Name(Between(1, 12));
        info.Properties.Keywords = Name(Between(0, 20));
        info.Properties.Comments = Name(Between(0, 40));
        info.Operator = Chance(60) ? Name(Between(1, 12)) + "op" : Chance(50) ? info.Properties.Author : std::string();
        info.Company = Name(Between(0, 12));
        if (Chance(80)) {
            // Whole seconds: the file keeps nothing finer.
            const int64_t days = Between(1, 80000);
            info.CreationTime = static_cast<double>(days) + Between(0, 86399) / 86400.0;
        }
        doc_.Tabs().SetDefaultInterval(Chance(30) ? 720 : Extreme(15, MaxLength));
        doc_.DefaultLanguage = Chance(50) ? 0 : Extreme(1, 0xFFFF);
        doc_.DefaultLanguageCoding = Chance(50) ? 0 : Extreme(1, 0xFFFF);
        doc_.WidowControl = static_cast<uint8_t>(Between(0, 1));
        // Whole page, one page and two pages share one word in a file.
        doc_.View.ZoomKind = static_cast<TZoomKind>(Between(0, 3));
        doc_.SetZoom(Chance(30) ? 100 : Extreme(10, 500));
    }

    void Tabs() {
        tables_.push_back(-1);
        for (int t = 0; t < 6; ++t) {
            TTabTable table;
            const int32_t count = t == 0 ? MaxTabStops : Between(1, 8);
            int32_t position = Between(MinTabPosition, 400);
            for (int32_t i = 0; i < count; ++i) {
                const uint32_t kind = static_cast<uint32_t>(Between(0, 4));
                const uint32_t leader = kind == tkBar ? tlNone : static_cast<uint32_t>(Between(0, 3));
                table.Add(TTabStop::Make(position, kind, leader));
                position = std::min(MaxLength, position + Between(1, 900));
            }
            if (t == 1) {
                table.Add(TTabStop::Make(MaxLength, tkRight, tlUnderline));
            }
            tables_.push_back(doc_.Tabs().Intern(table));
        }
    }

    void CharSlots(TCharAttrs& attrs, bool partial) {
        for (int s = 0; s < CharSlotCount; ++s) {
            if (partial && Chance(50)) {
                attrs[s] = UndefinedAttr;
            } else {
                attrs[s] = CharValue(s);
            }
        }
    }
    int32_t CharValue(int slot) {
        switch (slot) {
            case caFont: return Pick(fontIndexes_);
            case caSize: return Extreme(2, MaxSize);
            case caBold:
            case caItalic:
            case caStrikeOut:
            case caUnderline: return Between(0, 1);
            case caColor:
            case caHighlight: return Between(0, 16);
            case caVerticalPosition: return Between(0, 2);
            case caExpansion: return Extreme(-MaxExpansion, MaxExpansion);
            case caOffset: return Extreme(-MaxOffset, MaxOffset);
            case caKerning: return Extreme(0, MaxSize);
            default: return Extreme(0, 0xFFFF);
        }
    }
    int32_t ParValue(int slot, int32_t styles) {
        switch (slot) {
            case paFirstIndent:
            case paLeftIndent:
            case paRightIndent: return Extreme(-MaxLength, MaxLength);
            case paLineSpacing: {
                // 1000 is the word's "automatic" value and reads as single spacing.
                const int32_t v = Extreme(-MaxLength, MaxLength);
                return v == 1000 ? 999 : v;
            }
            case paAlignment: return Between(0, 3);
            case paSpaceBefore:
            case paSpaceAfter: return Extreme(0, MaxLength);
            case paStyle: return Between(0, styles - 1);
            case paTabTable: return Pick(tables_);
            default: return Between(0, 1);  // multiple, keeps, page break, widow control, bullet
        }
    }

    uint16_t HotKey() {
        uint16_t key = 0;
        switch (Between(0, 2)) {
            case 0: key = static_cast<uint16_t>(Between('A', 'Z')); break;
            case 1: key = static_cast<uint16_t>(Between('0', '9')); break;
            default: key = static_cast<uint16_t>(Between(112, 135)); break;  // F1-F24
        }
        return static_cast<uint16_t>(key | (Between(0, 7) << 8));  // shift, ctrl, alt
    }

    void Styles() {
        TStyleList& list = doc_.Styles();
        list.Clear();
        const TStyleManager master(fonts_.ArialIndex());
        auto normal = std::make_unique<TStyle>();
        normal->Assign(master.Master().Style(0));
        list.Add(std::move(normal));
        std::vector<uint16_t> keys;
        for (int32_t i = 1; i <= options_.Styles; ++i) {
            std::string name;
            do {
                name = Name(Between(1, 14)) + std::to_string(i);
            } while (FindBuiltInStyle(name) >= 0);
            auto style = std::make_unique<TStyle>(name);
            // Chains: mostly on the style just before, sometimes on none.
            style->BasedOn = Chance(15) ? -1 : (Chance(60) ? i - 1 : Between(0, i - 1));
            style->NextStyle = Between(0, options_.Styles);
            if (Chance(60)) {
                uint16_t key = 0;
                do {
                    key = HotKey();
                } while (std::find(keys.begin(), keys.end(), key) != keys.end());
                keys.push_back(key);
                style->HotKey = key;
            }
            CharSlots(style->CharAttrs, true);
            for (int s = 0; s < ParSlotCount; ++s) {
                style->ParAttrs[s] = Chance(50) ? UndefinedAttr : ParValue(s, options_.Styles + 1);
            }
            // A style can turn a bullet on but has no word to turn its
            // base's bullet off, so it never says 0.
            if (style->ParAttrs[paBullet] == 0) {
                style->ParAttrs[paBullet] = UndefinedAttr;
            }
            style->ParAttrs[paTabTable] = Chance(50) ? UndefinedAttr : Pick(tables_);
            if (style->ParAttrs[paTabTable] == -1) {
                style->ParAttrs[paTabTable] = UndefinedAttr;
            }
            list.Add(std::move(style));
        }
        list.RepairLinks();
        TStyleManager::ClassifyNames(list);
    }

    void Paragraphs() {
        for (int32_t i = 0; i < options_.Paragraphs; ++i) {
            TParagraph& p = i == 0 ? doc_.Paragraph(0) : doc_.AddParagraph();
            for (int s = 0; s < ParSlotCount; ++s) {
                p.Attributes[s] = ParValue(s, doc_.Styles().StyleCount());
            }
            // A multiple of the line is never zero or negative in a
            // document (adding the next paragraph would make it single).
            if (p.Attributes[paSpacingMultiple] != 0 && p.Attributes[paLineSpacing] <= 0) {
                p.Attributes[paLineSpacing] = Extreme(1, MaxLength);
            }
            // Runs of text between attribute changes and specials.
            const int32_t items = Between(0, 30);
            for (int32_t k = 0; k < items; ++k) {
                const int choice = Between(0, 99);
                if (choice < 45) {
                    std::string run;
                    const int32_t n = Between(1, 12);
                    for (int32_t c = 0; c < n; ++c) {
                        run.push_back(static_cast<char>(TextByte()));
                    }
                    p.AppendChars(reinterpret_cast<const uint8_t*>(run.data()), n);
                } else if (choice < 75) {
                    const int slot = Between(0, CharSlotCount - 1);
                    p.AppendAttributeTag(slot, CharValue(slot));
                } else if (choice < 93) {
                    p.AppendSpecial(Pick<uint8_t>({spLineBreak, spPageBreak, spTab, spNonbreakingSpace,
                                                   spNonbreakingHyphen, spLongDash, spShortDash, spOptionalHyphen}));
                } else if (options_.Pictures) {
                    Picture(p, Between(0, 2));
                }
            }
            p.AppendSpecial(spParagraphEnd);
            p.Normalize();
        }
    }

    TBytes Png() {
        const int32_t width = Between(1, 24);
        const int32_t height = Between(1, 24);
        const int32_t bits = Pick<int32_t>({8, 24, 32});
        TBitmap bitmap(width, height, bits);
        if (bits == 8) {
            for (int c = 0; c < 16; ++c) {
                bitmap.Palette.push_back(TPaletteEntry{static_cast<uint8_t>(c * 16), static_cast<uint8_t>(255 - c * 16),
                                                       static_cast<uint8_t>(c * 7), 255});
            }
        }
        for (int32_t y = 0; y < height; ++y) {
            uint8_t* row = bitmap.Row(y);
            for (int32_t x = 0; x < width * bits / 8; ++x) {
                row[x] = static_cast<uint8_t>(bits == 8 ? Between(0, 15) : Between(0, 255));
            }
        }
        TPNGImage png;
        png.AssignBitmap(std::move(bitmap));
        return png.SaveToBytes();
    }

    void Picture(TParagraph& p, int kind) {
        std::unique_ptr<TDocObject> object;
        uint8_t tag = tkPicture;
        uint8_t code = spPicture;
        if (kind == 0) {
            object = MakePngPicture(Png());
        } else if (kind == 1) {
            object = MakeJpegPicture(MakeJpeg(Between(1, 40), Between(1, 30)));
        } else {
            auto ole = std::make_unique<TDocOLEObject>(TDocObjectImage::FromPng(Png()));
            ole->Kind = Between(1, 8);
            ole->ClassName = Chance(80) ? "Paint.Picture" + Name(Between(0, 4)) : std::string();
            ole->Name = Chance(50) ? Name(Between(1, 10)) : std::string();
            const int32_t n = Between(0, 300);
            for (int32_t i = 0; i < n; ++i) {
                ole->Data.push_back(static_cast<uint8_t>(Between(0, 255)));
            }
            object = std::move(ole);
            tag = tkObject;
            code = spObject;
        }
        object->Width = Extreme(1, 31680);
        object->Height = Extreme(1, 31680);
        object->HorizontalScale = Chance(40) ? 100 : Extreme(1, 5000);
        object->VerticalScale = Chance(40) ? 100 : Extreme(1, 5000);
        const int32_t id = doc_.Objects().AddObject(std::move(object));
        p.Text.AppendTag(tag, id);
        p.Positions.AppendByte(code);
        p.TextChanged();
    }

    TDocument& doc_;
    TFontManager& fonts_;
    std::mt19937 random_;
    TGeneratorOptions options_;
    std::vector<int32_t> fontIndexes_;
    std::vector<int32_t> tables_;
};

}  // namespace

void GenerateDocument(TDocument& document, TFontManager& fonts, uint32_t seed, const TGeneratorOptions& options) {
    TGenerator(document, fonts, seed, options).Run();
}

}  // namespace quillane::test

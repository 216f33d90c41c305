#pragma once
// Fills one line from a paragraph's text stream: measures every position,
// places tabs, applies kerning and expansion, and decides where the line
// breaks. The filler keeps the current attributes from one line to the next,
// as a paragraph is laid out front to back.

#include <cstdint>

#include "layout/LayoutScale.h"
#include "model/CharAttrs.h"
#include "model/FlexibleString.h"

namespace quillane {

class TFontManager;
class TFontSelection;
class TKerningPairsManager;
class TObjectExtents;
class TParagraph;
class TTabManager;
struct TSharedFont;

struct TFillSettings {
    TLayoutScale Scale;
    int32_t Width = 0;  // the paragraph's line width in units of the scale
    // Off while a line is re-measured for the screen: it must come out with
    // exactly the positions it had.
    bool Wrap = true;
    uint8_t DecimalSeparator = '.';
    // Tab kinds are written back into the tags' auxiliary bytes for
    // painting; a re-measure leaves the text alone.
    bool StoreTabKinds = true;
};

// What the filler needs from the program: fonts, kerning, tab stops (the
// tab manager's working table must be the paragraph's) and object sizes.
struct TFillServices {
    TFontSelection& Selection;
    TFontManager& Fonts;
    TKerningPairsManager& Kerning;
    TTabManager& Tabs;
    const TObjectExtents* Objects = nullptr;
};

// The line that a fill produced, in units of the fill's scale.
struct TFilledLine {
    int32_t Count = 0;
    int32_t ByteLength = 0;
    int32_t Ascent = 0;
    int32_t Descent = 0;
    int32_t TextAscent = 0;
    int32_t Raise = 0;  // points
    int32_t Lower = 0;
};

class TLineFiller {
public:
    // entries is scratch space for the position entries; it outlives the
    // filler and is reused from line to line.
    TLineFiller(TParagraph& paragraph, const TFillServices& services, const TFillSettings& settings,
                TFlexibleString& entries);

    // The current attributes (sizes unscaled); the font is selected again
    // before the next measurement.
    void SetAttributes(const TCharAttrs& attrs);
    const TCharAttrs& Attributes() const { return attrs_; }

    // Fills a line from the stream bytes [start, end) whose first item is
    // position firstPosition. indentFirst: the first-line indent applies;
    // bullet: the paragraph's bullet is set before the first position.
    TFilledLine Fill(int32_t start, int32_t end, int32_t firstPosition, bool indentFirst, bool bullet);

    // When given, each position of a fill gets a byte here: 1 when its font
    // is fixed-pitch.
    void SetPitchFlags(TFlexibleString* flags) { pitchFlags_ = flags; }

    // Entries of the last fill: Count + 1 of them.
    const uint32_t* Entries() const { return reinterpret_cast<const uint32_t*>(entries_.Data()); }

private:
    struct TSavedState {
        bool Valid = false;
        int32_t Ascent = 0;
        int32_t Descent = 0;
        int32_t TextAscent = 0;
        int32_t Raise = 0;
        int32_t Lower = 0;
        TCharAttrs Attrs;
    };
    struct TPendingTab {
        bool Active = false;
        uint32_t Kind = 0;
        int32_t Index = 0;     // the tab's position on the line
        int32_t X = 0;         // where the tab starts
        int32_t Distance = 0;  // from X to the stop
    };
    enum class TAddResult { Added, LineEnded };

    void Reset(bool indentFirst);
    void ApplyFont();
    void ApplyPendingFont() {
        if (fontPending_) {
            ApplyFont();
        }
    }
    int32_t CharWidth(uint8_t c) const;
    void SaveStateIfNeeded();
    void ApplyOffset(int32_t points);
    void SetBullet();

    TAddResult Add(uint8_t code, int32_t width, int32_t kern, int32_t ascent, int32_t textAscent,
                   int32_t descent, int32_t itemOffset, int32_t afterOffset, bool fitTest = true);
    void Append(uint8_t code, int32_t width, int32_t kern, int32_t ascent, int32_t textAscent, int32_t descent,
                int32_t afterOffset);
    void EndBefore(int32_t itemOffset);
    void CutBack();
    void ShowTrailingHyphen();
    void ResolvePendingTab();
    int32_t DecimalMark() const;

    int32_t X() const { return EntryValue(count_); }
    int32_t EntryValue(int32_t k) const;
    void SetEntryValue(int32_t k, int32_t x);
    uint32_t* Raw() { return reinterpret_cast<uint32_t*>(entries_.Data()); }
    void ReserveEntries(int32_t n);
    uint8_t PositionCode(int32_t k) const;
    bool Italic() const { return attrs_[caItalic] != 0; }
    int32_t Expansion() const { return settings_.Scale.Twips(attrs_[caExpansion]); }

    TParagraph& paragraph_;
    TFillServices services_;
    TFillSettings settings_;
    TFlexibleString& entries_;
    TFlexibleString* pitchFlags_ = nullptr;
    bool fixedPitch_ = false;

    TCharAttrs attrs_;
    const TSharedFont* font_ = nullptr;
    bool fontPending_ = true;
    bool kerning_ = false;
    int32_t fontAscent_ = 0;
    int32_t fontDescent_ = 0;

    // Per line.
    int32_t start_ = 0;
    int32_t firstPosition_ = 0;
    int32_t count_ = 0;
    int32_t consumed_ = 0;  // offset after the last item taken
    bool ended_ = false;
    int32_t ascent_ = 0;
    int32_t descent_ = 0;
    int32_t textAscent_ = 0;
    int32_t raise_ = 0;
    int32_t lower_ = 0;
    int32_t breakPosition_ = 0;
    int32_t breakOffset_ = 0;
    int32_t hung_ = 0;
    bool forced_ = false;
    int32_t previousChar_ = -1;  // for kerning; -1 after anything else
    TSavedState saved_;
    TPendingTab tab_;
};

}  // namespace quillane

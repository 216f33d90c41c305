#pragma once
// The RTF writer's state for one save, shared by the files that write the
// tables, the formatting, the text and the pictures.

#include <cstdint>
#include <vector>

#include "formats/DocOptions.h"
#include "formats/FormatServices.h"
#include "formats/rtf/RtfOutput.h"
#include "formats/rtf/RtfWriter.h"
#include "model/CharAttrs.h"
#include "model/ParAttrs.h"

namespace quillane {

class TDocObject;
class TDocument;
class TFontManager;
class TParagraph;
class TStyle;
class TTabTable;

class TRtfWriter {
public:
    TRtfWriter(const TDocument& document, TWriteSink& sink, const TDocSavingOptions& options,
               const TFormatServices& services, const TRtfWriterOptions& writerOptions);

    void Write();

private:
    // The range, clamped into the document.
    struct TRange {
        int32_t First = 0;
        int32_t FirstOffset = 0;
        int32_t Last = 0;
        int32_t LastOffset = 0;
    };

    // Tables and settings.
    void MarkFonts();
    // The number a registry font has in the output's font table.
    int32_t FontNumber(int32_t font) const;
    void WriteHeader();
    void WriteFontTable();
    void WriteColorTable();
    void WriteStyleSheet();
    void WriteStyle(int32_t index, const TStyle& style);
    void WriteHotKey(uint16_t key);
    void WriteInfo();
    void WriteCreationTime(double time);
    void WriteDocumentSettings();

    // Formatting.
    void WriteCharAttr(int slot, int32_t value);
    // Writes the slots of attrs that differ from reference (UndefinedAttr
    // slots of attrs are left out).
    void WriteCharDifferences(const TCharAttrs& attrs, const TCharAttrs& reference);
    // Writes the difference of format against reference, slot by slot, in
    // the order other readers expect; bullets add their groups.
    void WriteParDifferences(const TParAttrs& format, const TParAttrs& reference, bool overrides);
    void WriteTabStops(const TTabTable& tabs);
    void WriteBulletGroups();
    // The body's paragraph format: nothing, a difference against the
    // written format, or \pard and a difference against the reset format.
    void WriteParagraphFormat(const TParAttrs& format);
    // What a reader holds after \pard.
    TParAttrs ResetFormat() const;
    bool SameTabs(int32_t a, int32_t b) const;

    // Text.
    void WriteParagraph(const TParagraph& paragraph, int32_t startPosition, int32_t endPosition);
    // Whether the attribute run ending at `from` is undone exactly by the
    // next run before `end`, so that a group can hold it.
    bool UndoneLater(const TParagraph& paragraph, int32_t from, int32_t end, const TCharAttrs& before,
                     const TCharAttrs& after) const;
    void WriteSpecial(uint8_t code);
    // Body text in the code page of the font a reader holds here.
    void WriteText(const uint8_t* bytes, int32_t n);

    // Pictures and objects.
    void WritePicture(const TDocObject& object);
    void WriteObject(const TDocObject& object);

    const TDocument& doc_;
    TWriteSink& sink_;
    const TDocSavingOptions& options_;
    const TFormatServices& services_;
    const TFontManager& fonts_;
    TRtfWriterOptions writerOptions_;
    TRtfOutput out_;
    TRange range_;
    bool toFile_;

    // The fonts the output uses, numbered in the order the document first
    // uses them: registry indexes depend on what the program read before,
    // so a document read back in another session would otherwise get
    // other numbers, and a second save would differ from the first.
    std::vector<int32_t> fontNumbers_;  // by registry index; -1: not used
    std::vector<int32_t> usedFonts_;    // registry indexes by number
    bool colorsUsed_ = false;
    bool inStyleSheet_ = false;
    // What a reader holds at this point of the output.
    TCharAttrs written_;
    TParAttrs writtenFormat_;
    int32_t codePageFont_ = UndefinedAttr;  // the font codePage_ was found for
    int codePage_ = 0;
};

}  // namespace quillane

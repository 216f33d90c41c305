#pragma once
// The state of one RTF load and the procedures that read it. Body text is
// read by one loop with an explicit group stack, so nesting costs no native
// stack; the tables, the information group, pictures and objects are read by
// their own procedures, which nest at most a few levels and skip whatever
// lies deeper without recursion.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/DocOptions.h"
#include "formats/FormatServices.h"
#include "formats/ImportedPicture.h"
#include "formats/rtf/RtfControlWords.h"
#include "formats/rtf/RtfInput.h"
#include "formats/rtf/RtfUnicode.h"
#include "model/CharAttrs.h"
#include "model/FontManager.h"
#include "model/PageSettings.h"
#include "model/ParAttrs.h"
#include "model/TabTable.h"
#include "model/TextColors.h"

namespace quillane {

class TDocument;
class TParagraph;
class TStyle;

// Groups nested deeper than this are skipped whole (and counted as lost).
constexpr size_t MaxRtfGroupDepth = 1000;
// Destinations read by their own procedures nest at most this deep.
constexpr int32_t MaxDestinationDepth = 8;

struct TRtfGroupState {
    TCharAttrs Chars;
    TParAttrs Par;
    int32_t FallbackCount = 1;
};

struct TRtfFont {
    int32_t Number = 0;
    TDocFontInfo Info;
};

// The style a definition of the style sheet is filling.
struct TRtfStyleTarget {
    TStyle* Style = nullptr;
    int32_t Number = 0;
    TTabTable Tabs;
};

class TRtfReader {
public:
    TRtfReader(TDocument& document, TReadBuffer& in, TDocOpeningOptions& options, const TFormatServices& services);
    void Read();

private:
    // Body (RtfReader.cpp).
    void BeginGroup();
    void PushState();
    void PopState();
    void ReadControl();
    void ReadHexText();
    void ReadPlainRun();
    void DispatchBody(const TRtfWord& word);
    void EndParagraph();
    void AppendSpecial(uint8_t code);
    void AppendCharByte(uint8_t byte);
    void AppendTextBytes(const uint8_t* bytes, int32_t n);
    void SetChar(int slot, int32_t value);
    int32_t GetChar(int slot) const;
    void SetPar(int slot, int32_t value);
    TParAttrs& ParTarget();
    void AddTabStop(int32_t position, uint32_t kind);
    void ReadUnicode(int32_t code);
    void SkipFallback(std::string& fallback);
    void Bullet();
    void MarkDataLoss() { dataLosses_ = true; }
    int CurrentCodePage();
    // The special a byte of the body stands for, 0 for text.
    uint8_t SpecialOfRawByte(uint8_t byte);
    int32_t ColorOf(int32_t entry) const;
    int32_t FontOf(int32_t number) const;
    int32_t StyleIndexOf(int32_t number) const;

    // Destinations (RtfDestinations.cpp). Those read as text push a state
    // and return to the body loop; the rest are read to their closing brace.
    void HandleDestination(int32_t destination, bool textAllowed);
    void ReadDestination(int32_t destination, bool textAllowed);
    void ReadInfo();
    void ReadDate();
    void ReadGroupText(std::string& out, size_t limit);
    void ReadPicture(TImportedPicture& picture);
    void ReadPictureData(std::string& data);
    void ReadObject();
    void ReadObjectResult(TImportedObject& object);
    void PlacePicture(TImportedPicture&& picture);

    // Tables (RtfTables.cpp).
    void ReadFontTable();
    void ReadColorTable();

    // Style sheet (RtfStyleSheet.cpp).
    void ReadStyleSheet();
    void ReadStyleDefinition(std::vector<int32_t>& numbers, std::vector<int32_t>& bases,
                             std::vector<int32_t>& nexts);
    void ReadKeyCode(TStyle& style);
    void ReadStyleOverrides(TStyle& style);
    // A {\*\pn ...} group inside a style: only whether it makes bullets counts.
    void ReadStyleBullet();
    void ReadStyleName(std::string& name);

    TDocument& doc_;
    TRtfInput in_;
    TDocOpeningOptions& options_;
    const TFormatServices& services_;
    TFontManager& fonts_;
    TDroppingPictureSink dropping_;
    TImportedPictureSink& pictures_;
    const TControlWords& words_;
    TCodePageEncoders encoders_;
    int systemCodePage_;

    TParagraph* par_;
    TCharAttrs chars_;
    int32_t fallbackCount_ = 1;
    std::vector<TRtfGroupState> stack_;
    std::vector<TRtfFont> fontList_;  // sorted by number once the table is read
    std::vector<TDocColorInfo> colors_;
    std::vector<int32_t> styleNumbers_;  // number of each style index
    TTabTable tabs_;
    uint32_t tabKind_ = 0;
    uint32_t tabLeader_ = 0;
    int32_t cellCount_ = 0;
    int32_t cellIndex_ = 0;
    bool mac_ = false;
    bool dataLosses_ = false;
    TPageSettings page_;
    bool pageChanged_ = false;
    int64_t characters_ = 0;
    TRtfStyleTarget* style_ = nullptr;  // set while a style definition is read
    int32_t destinationDepth_ = 0;
    int32_t codePageFont_ = UndefinedAttr;
    int codePage_ = 1252;
};

}  // namespace quillane

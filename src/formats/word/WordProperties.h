#pragma once
// What the SPRMs of a Word file change: the character properties (the 13
// attribute slots of the model plus the Word-only flags that steer the
// reader), the paragraph properties (the 15 paragraph slots plus table and
// list state) and the first section's page settings.

#include <cstdint>
#include <functional>
#include <vector>

#include "formats/word/WordSprm.h"
#include "model/CharAttrs.h"
#include "model/PageSettings.h"
#include "model/ParAttrs.h"

namespace quillane {

class TTabManager;
class TTabTable;

struct TWordCharProps {
    TCharAttrs Attrs;
    bool Special = false;  // fSpec: the character is a field mark, picture or symbol
    bool Object = false;
    bool Data = false;
    bool Ole = false;
    bool HasSymbol = false;
    int32_t SymbolFont = 0;  // a model font index
    uint16_t SymbolChar = 0;
    uint32_t PictureLocation = 0;  // offset into the data stream
    uint32_t ObjectLocation = 0;
};

struct TWordParProps {
    TParAttrs Attrs;
    bool InTable = false;
    bool RowEnd = false;
    int32_t ListLevel = 0;
    int32_t ListOverride = 0;
    // Word 6.0/95 autonumbering: the level (1 to 9 outline, 10 numbered
    // list, 11 bullets) and the properties (ANLD), a view into the bytes
    // that held the SPRM.
    int32_t Word6Level = 0;
    TByteView Anld;
};

// Unicode characters of names as the model's 8-bit text.
using TUnicodeToAnsiFn = std::function<uint8_t(uint16_t)>;

// What SPRMs refer to outside themselves.
struct TWordPropertyContext {
    TWordGeneration Generation = TWordGeneration::Word97;
    // Model font index by Word font index; an index out of range gives
    // DefaultFont (for symbols: the SPRM is ignored).
    const std::vector<int32_t>* Fonts = nullptr;
    int32_t DefaultFont = 0;
    // Style index by Word style number (istd); an unknown number gives
    // style 0.
    const std::vector<int32_t>* ParagraphStyles = nullptr;
    // Character attributes by character style number; unknown: none.
    const std::vector<TCharAttrs>* CharacterStyles = nullptr;
    // The document's tab tables, where tab changes put the tables they make.
    TTabManager* Tabs = nullptr;
    // Inside a style definition a style SPRM keeps the Word number and the
    // toggle values 128 and 129 are kept as they are.
    bool InStyleDefinition = false;
    TUnicodeToAnsiFn ToAnsi;
};

// `style` is the paragraph style's character attributes, which the toggle
// values 128 and 129 refer to.
void ApplyCharSprm(const TSprm& sprm, TWordCharProps& props, const TCharAttrs& style,
                   const TWordPropertyContext& context);
void ApplyParSprm(const TSprm& sprm, TWordParProps& props, const TWordPropertyContext& context);
void ApplySectionSprm(const TSprm& sprm, TPageSettings& page);

// Tab changes (both forms) on a table: deletions first, then additions.
// `tolerances` is set for the form that carries deletion tolerances.
void ApplyTabChanges(TByteView operand, bool tolerances, TTabTable& table);

}  // namespace quillane

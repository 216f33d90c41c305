#pragma once
// The style sheet (STSH) of a Word file: paragraph styles become the
// document's style list, character styles a list of partial attribute
// records the character-style SPRM applies. Word style numbers (istd) are
// mapped to style indexes; an unknown number means style 0.

#include <cstdint>
#include <vector>

#include "formats/word/WordBytes.h"
#include "formats/word/WordFib.h"
#include "formats/word/WordProperties.h"
#include "model/CharAttrs.h"
#include "model/ParAttrs.h"

namespace quillane {

class TDocument;

class TWordStyleSheet {
public:
    // Reads the STSH into the document's (empty) style list. Every STD and
    // every UPX is bounded by its declared size and by the STSH; a style
    // that does not fit ends the sheet there.
    void Read(TByteView stsh, TWordGeneration generation, const TWordPropertyContext& context, TDocument& document);

    // The style index of a Word paragraph style number (0 when unknown).
    int32_t ParagraphStyle(uint16_t istd) const;
    // The full formats a paragraph of style `index` starts from: its
    // based-on chain over the document's defaults.
    const TParAttrs& ParagraphAttrs(int32_t index, const TDocument& document) const;
    // The list a paragraph of style `index` belongs to, unless it says
    // otherwise: the style's own or its based-on chain's (Word 97/2000
    // override and level, Word 6.0/95 autonumbering level and ANLD).
    struct TListMembership {
        int32_t Override = 0;
        int32_t Level = 0;
        int32_t Word6Level = 0;
        TByteView Anld;
    };
    TListMembership ListOf(int32_t index) const;
    const TCharAttrs& CharacterAttrs(int32_t index, const TDocument& document) const;

    const std::vector<int32_t>& ParagraphStyleMap() const { return paragraphMap_; }
    const std::vector<TCharAttrs>& CharacterStyleAttrs() const { return characterStyles_; }

    // After the text: a document without styles gets a "Normal".
    void Finish(TDocument& document) const;

    // The paragraph and character styles read (for tests).
    int32_t ParagraphStyleCount() const { return static_cast<int32_t>(resolvedPar_.size()); }

private:
    void Resolve(const TDocument& document);

    std::vector<int32_t> paragraphMap_;        // by istd: style index or -1
    std::vector<TCharAttrs> characterStyles_;  // by istd: partial records (all unset for other kinds)
    std::vector<TParAttrs> resolvedPar_;       // by style index
    std::vector<TListMembership> lists_;        // by style index, based-on chains resolved
    std::vector<TCharAttrs> resolvedChar_;
    TParAttrs defaultPar_;
    TCharAttrs defaultChar_;
};

}  // namespace quillane

#pragma once
// A document with an undo history, laid out with the fixed-metrics fake
// fonts, and the checks the editing tests share: the canonical form two
// states are compared in, the structural invariants, and the attributes of
// every position.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editing/DocumentEditor.h"
#include "editing/EditingHost.h"
#include "editing/OperationManager.h"
#include "editing/Reflow.h"
#include "layout/LineLayout.h"
#include "model/Document.h"
#include "model/FontManager.h"
#include "model/KerningPairs.h"
#include "support/FakeFontSystem.h"

namespace quillane::test {

class TEditFixture {
public:
    explicit TEditFixture(int64_t memoryBound = TOperationManager::DefaultMemoryBound, bool layout = true);

    TDocument& Document() { return *document_; }
    TDocumentEditor& Editor() { return *editor_; }
    TOperationManager& Manager() { return *OperationManagerOf(*document_); }
    TParReformatingManager& Reflow() { return *dynamic_cast<TParReformatingManager*>(document_->Reflow()); }
    TFontManager& Fonts() { return *fonts_; }

    // Replaces the document's text: one paragraph per string ('\t' tab,
    // '\n' line break, '\f' page break), each ending with its mark.
    void SetParagraphs(const std::vector<std::string>& texts);
    void Select(int32_t p1, int32_t o1, int32_t p2, int32_t o2);
    void Caret(int32_t p, int32_t o) { Select(p, o, p, o); }
    // Paginates to the end.
    void PaginateAll();

    // The text of paragraph p without its mark (specials as in SetParagraphs).
    std::string Text(int32_t p);

private:
    TFakeFontSystem fontSystem_;
    std::unique_ptr<TFontManager> fonts_;
    TKerningPairsManager kerning_;
    std::unique_ptr<TLineLayout> layout_;
    TEditingHost host_;
    std::unique_ptr<TDocument> document_;
    std::unique_ptr<TDocumentEditor> editor_;
};

// The document as a comparable string: each paragraph's text stream in
// canonical form (normalised, each run of attribute tags in slot order), its
// position string and attributes; the page settings and defaults.
std::string CanonicalState(const TDocument& document);

// The structural invariants every state must keep; empty when they hold.
std::string CheckStructure(TDocument& document);

// The attributes of every position of a paragraph.
std::vector<TCharAttrs> PositionAttrs(const TParagraph& p);

// Lays every paragraph out afresh and paginates anew; returns a description
// of every line and piece that differs from the layout and pages the
// document had (which must have been complete).
std::string CompareWithFreshLayout(TDocument& document);

}  // namespace quillane::test

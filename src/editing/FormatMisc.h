#pragma once
// Exchanges of document-wide settings and of one picture's size: each
// sub-operation holds the other value and swaps it with the document's, so
// undo and redo are the same routine.

#include <cstdint>

#include "editing/Operation.h"
#include "model/PageSettings.h"

namespace quillane {

class TDocObject;

// The whole page-settings block; every paragraph is laid out again.
class TChangePageParamsOperation final : public TSubOperation {
public:
    TChangePageParamsOperation(TDocument& document, const TPageSettings& settings)
        : TSubOperation(document), Settings(settings) {}
    void Undo(TChangeRecord& change) override { Exchange(change); }
    void Redo(TChangeRecord& change) override { Exchange(change); }
    TPageSettings Settings;

private:
    void Exchange(TChangeRecord& change);
};

// The language typed text takes (0: the keyboard's).
class TChangeDefLangOperation final : public TSubOperation {
public:
    TChangeDefLangOperation(TDocument& document, int32_t language) : TSubOperation(document), Language(language) {}
    void Undo(TChangeRecord& change) override { Exchange(change); }
    void Redo(TChangeRecord& change) override { Exchange(change); }
    int32_t Language;

private:
    void Exchange(TChangeRecord& change);
};

// Width, height and the two scales of the picture or object whose tag is
// in a paragraph.
class TFormatObjectOperation final : public TSubOperation {
public:
    TFormatObjectOperation(TDocument& document, int32_t objectId, int32_t paragraph, const int32_t (&values)[4])
        : TSubOperation(document), ObjectId(objectId), Paragraph(paragraph) {
        for (int i = 0; i < 4; ++i) {
            Values[i] = values[i];
        }
    }
    void Undo(TChangeRecord& change) override { Exchange(change); }
    void Redo(TChangeRecord& change) override { Exchange(change); }
    int32_t ObjectId;
    int32_t Paragraph;
    int32_t Values[4];

private:
    void Exchange(TChangeRecord& change);
};

// The default tab interval; the paragraphs' tab tables are changed by a
// nested operation of format-paragraph steps.
class TFormatTabsOperation final : public TSubOperation {
public:
    TFormatTabsOperation(TDocument& document, int32_t interval) : TSubOperation(document), Interval(interval) {}
    int64_t MemorySize() const override;
    void Undo(TChangeRecord& change) override;
    void Redo(TChangeRecord& change) override;
    int32_t Interval;
    std::unique_ptr<TOperation> Nested;  // created by the routine that made this

private:
    void ExchangeInterval(TChangeRecord& change);
};

}  // namespace quillane

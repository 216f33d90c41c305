#pragma once
// The editing routines of one document: deleting, inserting and typing
// text, formatting characters and paragraphs, and the edit-action entry
// point that wraps each user action into one named, undoable operation.
// Every routine records its sub-operations into the operation it is given;
// without one (a hidden document) each sub-operation is executed and freed.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "editing/ChangeRecord.h"
#include "editing/Operation.h"
#include "model/CharAttrs.h"
#include "model/FlexibleString.h"
#include "model/PageSettings.h"
#include "model/ParAttrs.h"

namespace quillane {

class TDocument;
class TOperationManager;
struct TEditOptions;

// DeleteRange flags.
enum : int {
    drCallerOwnsObjects = 4,
    drKeepParagraphFormats = 8,
    drWiseSpacing = 0x10,
    drWholeTrailingParagraphs = 0x20,
};
// InsertFormattedText flags.
enum : int {
    ifHasRestoreTags = 1,
    ifSelectInserted = 2,
    ifCallerOwnsObjects = 4,
    ifWiseSpacing = 0x10,
};

// The requests of the edit actions, one type per action.
struct TDeleteRequest {  // action 17
    TTextPosition Start, End;
    int Flags = 0;
};
struct TTypeRequest {  // actions 14 (typing at the caret) and 19 (replacing a range)
    std::string Text;
    bool ReplaceRange = false;
    TTextPosition Start, End;
};
struct TCharFormatRequest {  // action 2
    TCharAttrs Attrs;
    int Flags = 0;
};
struct TStepRequest {  // action 4
    int Slot = caSize;
    int32_t Amount = 0;
};
struct TParFormatRequest {  // action 1
    TParAttrs Attrs;
};
struct TMoveRequest {  // action 20
    TTextPosition Start, End, Target;
    int Flags = 0;  // 2 select the moved block, 0x10 wise spacing, 0x20 as for deletions
};
struct TApplyStyleRequest {  // action 10
    int32_t Style = 0;
    bool WithFormatting = true;
    TCharAttrs CharOverride;  // slots UndefinedAttr unless given
    TParAttrs ParOverride;
    TApplyStyleRequest();
};
struct TResetRequest {  // action 8
    bool Font = false;  // the font format, else the paragraph format
};
struct TTabsRequest {  // action 7
    int32_t DefaultInterval = 0;
    int32_t TabTable = UndefinedAttr;  // UndefinedAttr: the paragraphs keep theirs
};
struct TObjectRequest {  // action 25
    TTextPosition Position;
    int32_t Values[4] = {0, 0, 100, 100};  // width, height (twips), scales (percent)
};
struct TPageRequest {  // action 0
    TPageSettings Settings;
};
struct TLanguageRequest {  // action 29
    int32_t Language = 0;
};
struct TFormatStyleListInfo;
struct TStyleListRequest {  // action 11
    std::shared_ptr<TFormatStyleListInfo> Info;  // taken by the operation
};
struct TUpdateStyleRequest {};  // action 12
struct TIndentRequest {  // action 9
    int Kind = 0;  // 0 left indent, 1 first-line outdent, 2 bullets on, 3 bullets off
    int32_t Step = 0;
};
using TEditRequest =
    std::variant<TDeleteRequest, TTypeRequest, TCharFormatRequest, TStepRequest, TParFormatRequest, TIndentRequest,
                 TMoveRequest, TApplyStyleRequest, TResetRequest, TTabsRequest, TObjectRequest, TPageRequest,
                 TLanguageRequest, TStyleListRequest, TUpdateStyleRequest>;

class TDocumentEditor {
public:
    // The manager may be absent (routines then run without history).
    TDocumentEditor(TDocument& document, TOperationManager* manager);

    TDocument& Document() const { return document_; }
    const TEditOptions& Options() const;

    // The single entry of undoable editing: makes the named operation, runs
    // the routine of the action, applies the change and adds the operation.
    // An exception frees the operation and passes on.
    void PerformEditAction(int action, const TEditRequest& request);
    // A name index (255: none) the next added operation receives instead of
    // its action's; the command that sets it resets it when it ends.
    uint8_t OperationNameOverride = 255;

    // Text routines.
    void DeleteRange(TTextPosition start, TTextPosition end, TChangeRecord& change, TOperation* operation,
                     int flags);
    TTextPosition InsertFormattedText(TFlexibleString fragment, TTextPosition position, TChangeRecord& change,
                                      TOperation* operation, int flags);
    void InsertPlainText(std::string_view text, TTextPosition position, TChangeRecord& change,
                         TOperation* operation, int flags);
    void ReplaceRange(TTextPosition start, TTextPosition end, std::string_view text, TChangeRecord& change,
                      TOperation* operation, int flags);
    void TypeText(std::string_view text, TChangeRecord& change, TOperation* operation, int flags);
    void PrepareInputAttrs(TTextPosition position, bool forTyping);
    void MoveBlock(TTextPosition start, TTextPosition end, TTextPosition target, TChangeRecord& change,
                   TOperation* operation, int flags);
    // The wise space adjustment at a junction: one space where two words
    // would touch, no doubled spaces, none before closing punctuation.
    struct TSpacingCounts {
        int32_t Inserted = 0;
        int32_t RemovedLeft = 0;
        int32_t RemovedRight = 0;
    };
    TSpacingCounts AdjustSpacing(TTextPosition position, TChangeRecord& change, TOperation* operation);

    // Formatting routines.
    void ApplyCharFormat(TTextPosition start, TTextPosition end, const TCharAttrs& attrs, TChangeRecord& change,
                         TOperation* operation, int flags);
    void ApplyParagraphFormat(int32_t firstPara, int32_t lastPara, const TParAttrs& attrs, TChangeRecord& change,
                              TOperation* operation);
    void StepCharAttr(TTextPosition start, TTextPosition end, int slot, int32_t amount, TChangeRecord& change,
                      TOperation* operation);
    void IndentCommand(int32_t firstPara, int32_t lastPara, int kind, int32_t step, TChangeRecord& change,
                       TOperation* operation);
    void ApplyStyle(int32_t firstPara, int32_t lastPara, const TApplyStyleRequest& request, TChangeRecord& change,
                    TOperation* operation);
    void ResetToStyle(TTextPosition start, TTextPosition end, bool font, TChangeRecord& change, TOperation* operation);
    void FormatTabs(int32_t firstPara, int32_t lastPara, const TTabsRequest& request, TChangeRecord& change,
                    TOperation* operation);
    void FormatObject(const TObjectRequest& request, TChangeRecord& change, TOperation* operation);
    void ChangePageSettings(const TPageSettings& settings, TChangeRecord& change, TOperation* operation);
    void SetDefaultLanguage(int32_t language, TChangeRecord& change, TOperation* operation);
    void EditStyleList(int32_t firstPara, int32_t lastPara, std::unique_ptr<TFormatStyleListInfo> info,
                       TChangeRecord& change, TOperation* operation);
    // Redefines the selected paragraphs' style from their formatting.
    void UpdateStyle(TChangeRecord& change, TOperation* operation);
    // Shows an information message (the program's message box); none by default.
    std::function<void(const std::string&)> Inform;

    // The attributes common to the selection (or at the caret), as the
    // window keeps them.
    void UpdateSelectionAttrs();

    // The five attribute sets of insertion.
    TCharAttrs AttrsBefore;
    TCharAttrs AttrsAfter;
    TCharAttrs InputAttrs;
    TCharAttrs RangeStartAttrs;
    TCharAttrs RangeEndAttrs;

private:
    void Record(TOperation* operation, std::unique_ptr<TSubOperation> sub);
    TTextPosition ClampPosition(TTextPosition p) const;
    TTextPosition NormalizeEnd(TTextPosition end) const;
    void RunAction(int action, const TEditRequest& request, TOperation& operation, TChangeRecord& change);

    TDocument& document_;
    TOperationManager* manager_;  // not owned; may be null
    std::unique_ptr<TEditOptions> ownOptions_;
};

// The next larger (step > 0) or smaller standard font size in half-points;
// the size itself when there is none.
int32_t NextStandardSize(int32_t halfPoints, int direction);
// The new value of a slot stepped by an amount (see StepCharAttr), clamped.
int32_t SteppedValue(int slot, int32_t current, int32_t amount);
// A character of a word (letters and digits of the ANSI page).
bool IsWordChar(uint8_t c);

}  // namespace quillane

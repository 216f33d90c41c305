// Styles applied and reset, tabs, picture sizes, page settings and the
// document's typing language: the formatting routines beyond plain character
// and paragraph attributes.

#include <algorithm>
#include <map>

#include "editing/DocumentEditor.h"
#include "editing/EditFlags.h"
#include "editing/FormatMisc.h"
#include "editing/FormatStyles.h"
#include "editing/FormatText.h"
#include "editing/TextAccess.h"
#include "model/Document.h"
#include "model/StyleResolve.h"
#include "model/TextStream.h"
#include "pictures/DocObject.h"
#include "pictures/ObjectManager.h"

namespace quillane {

TApplyStyleRequest::TApplyStyleRequest() {
    CharOverride.Slots.fill(UndefinedAttr);
    ParOverride.Slots.fill(UndefinedAttr);
}

namespace {

TResolvedStyle StyleFormat(const TDocument& d, int32_t style) {
    const TStyleList& styles = d.Styles();
    const TModelDefaults defaults{d.DefaultCharAttrs, d.DefaultParAttrs};
    // A style index the list does not hold (a damaged file, a list being
    // exchanged) stands for "Normal"; a document without styles for the
    // defaults.
    TResolvedStyle resolved{d.DefaultCharAttrs, d.DefaultParAttrs};
    if (styles.StyleCount() > 0) {
        resolved = ResolveStyle(styles.Style(styles.ValidIndex(style) ? style : 0), 0, defaults);
    }
    resolved.Char[caHighlight] = UndefinedAttr;
    resolved.Par[paBullet] = UndefinedAttr;
    return resolved;
}

// Runs of positions with equal attributes (the mark excluded).
struct TAttrRun {
    int32_t From;
    int32_t To;
    TCharAttrs Attrs;
};

std::vector<TAttrRun> AttributeRuns(const TParagraph& p) {
    std::vector<TAttrRun> runs;
    const int32_t n = p.PositionCount() - 1;
    bool slots[CharSlotCount];
    std::fill(std::begin(slots), std::end(slots), true);
    TCharAttrs state = p.Document().DefaultCharAttrs;
    const std::vector<TSlotValue> changes = SlotRuns(p, 0, std::max(n, 0), slots);
    size_t next = 0;
    for (int32_t k = 0; k < n; ++k) {
        bool changed = false;
        while (next < changes.size() && changes[next].Position == k) {
            changed = changed || state[changes[next].Slot] != changes[next].Value || k == 0;
            state[changes[next].Slot] = changes[next].Value;
            ++next;
        }
        if (runs.empty() || changed) {
            if (!runs.empty() && runs.back().Attrs == state) {
                runs.back().To = k + 1;
                continue;
            }
            runs.push_back({k, k + 1, state});
        } else {
            runs.back().To = k + 1;
        }
    }
    return runs;
}

}  // namespace

void TDocumentEditor::ApplyStyle(int32_t firstPara, int32_t lastPara, const TApplyStyleRequest& request,
                                 TChangeRecord& change, TOperation* operation) {
    TDocument& d = Document();
    firstPara = std::clamp(firstPara, 0, d.ParagraphCount() - 1);
    lastPara = std::clamp(lastPara, firstPara, d.ParagraphCount() - 1);
    if (!d.Styles().ValidIndex(request.Style)) {
        return;
    }
    const int32_t style = request.Style;
    if (!request.WithFormatting) {
        TParAttrs attrs;
        attrs.Slots.fill(UndefinedAttr);
        attrs[paStyle] = style;
        ApplyParagraphFormat(firstPara, lastPara, attrs, change, operation);
        return;
    }
    TResolvedStyle format = StyleFormat(d, style);
    for (int slot = 0; slot < CharSlotCount; ++slot) {
        if (request.CharOverride[slot] != UndefinedAttr) {
            format.Char[slot] = request.CharOverride[slot];
        }
    }
    for (int slot = 0; slot < ParSlotCount; ++slot) {
        if (request.ParOverride[slot] != UndefinedAttr) {
            format.Par[slot] = request.ParOverride[slot];
        }
    }
    format.Par[paStyle] = style;
    for (int32_t i = firstPara; i <= lastPara; ++i) {
        const TParagraph& p = d.Paragraph(i);
        const int32_t mark = p.PositionCount() - 1;
        const std::vector<TAttrRun> runs = AttributeRuns(p);
        TChangeRecord own;
        if (runs.size() > 1) {
            // The value covering most positions stands for the style; the
            // others keep their own values, emphasis relative to the style.
            TCharAttrs dominant;
            for (int slot = 0; slot < CharSlotCount; ++slot) {
                std::map<int32_t, int64_t> cover;
                std::vector<int32_t> order;
                for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
                    if (cover.find(it->Attrs[slot]) == cover.end()) {
                        order.push_back(it->Attrs[slot]);
                    }
                    cover[it->Attrs[slot]] += it->To - it->From;
                }
                dominant[slot] = order.front();
                for (int32_t value : order) {
                    if (cover[value] > cover[dominant[slot]]) {
                        dominant[slot] = value;
                    }
                }
            }
            for (const TAttrRun& run : runs) {
                TCharAttrs values;
                for (int slot = 0; slot < CharSlotCount; ++slot) {
                    if (run.Attrs[slot] == dominant[slot]) {
                        values[slot] = format.Char[slot];
                    } else if (slot >= caBold && slot <= caUnderline) {
                        values[slot] = format.Char[slot] == UndefinedAttr ? UndefinedAttr : (format.Char[slot] != 0 ? 0 : 1);
                    } else {
                        values[slot] = run.Attrs[slot];
                    }
                }
                ApplyCharFormat({i, run.From}, {i, run.To}, values, own, operation, 0);
            }
            ApplyCharFormat({i, mark}, {i, mark + 1}, format.Char, own, operation, 0);
        } else {
            ApplyCharFormat({i, 0}, {i, mark + 1}, format.Char, own, operation, 0);
        }
        MergeLayoutChange(change, own);
    }
    ApplyParagraphFormat(firstPara, lastPara, format.Par, change, operation);
    change.SetSelection(d.View.SelectionStart, d.View.SelectionEnd);
    change.SetCaret(d.View.Caret.Position, d.View.Caret.Line);
}

void TDocumentEditor::ResetToStyle(TTextPosition start, TTextPosition end, bool font, TChangeRecord& change,
                                   TOperation* operation) {
    TDocument& d = Document();
    if (PositionBefore(end, start)) {
        std::swap(start, end);
    }
    start.Paragraph = std::clamp(start.Paragraph, 0, d.ParagraphCount() - 1);
    end.Paragraph = std::clamp(end.Paragraph, start.Paragraph, d.ParagraphCount() - 1);
    const bool empty = start == end;
    int32_t runStart = start.Paragraph;
    for (int32_t i = start.Paragraph; i <= end.Paragraph + 1; ++i) {
        if (i <= end.Paragraph &&
            d.Paragraph(i).Attributes[paStyle] == d.Paragraph(runStart).Attributes[paStyle]) {
            continue;
        }
        const TResolvedStyle format = StyleFormat(d, d.Paragraph(runStart).Attributes[paStyle]);
        TChangeRecord own;
        if (font) {
            TTextPosition a = runStart == start.Paragraph ? start : TTextPosition{runStart, 0};
            TTextPosition b = i - 1 == end.Paragraph ? end : TTextPosition{i - 1, d.Paragraph(i - 1).PositionCount()};
            if (empty) {
                a = {runStart, 0};
                b = {runStart, d.Paragraph(runStart).PositionCount()};
            }
            ApplyCharFormat(a, b, format.Char, own, operation, 0);
        } else {
            ApplyParagraphFormat(runStart, i - 1, format.Par, own, operation);
        }
        MergeChange(change, own);
        runStart = i;
    }
}

void TDocumentEditor::FormatTabs(int32_t firstPara, int32_t lastPara, const TTabsRequest& request,
                                 TChangeRecord& change, TOperation* operation) {
    TDocument& d = Document();
    auto sub = std::make_unique<TFormatTabsOperation>(d, request.DefaultInterval > 0 ? request.DefaultInterval
                                                                                      : d.Tabs().DefaultInterval());
    TChangeRecord own;
    sub->Redo(own);  // the interval
    MergeChange(change, own);
    if (request.TabTable != UndefinedAttr) {
        sub->Nested = std::make_unique<TOperation>(d, 0);
        TParAttrs attrs;
        attrs.Slots.fill(UndefinedAttr);
        attrs[paTabTable] = request.TabTable;
        TChangeRecord nested;
        ApplyParagraphFormat(firstPara, lastPara, attrs, nested, sub->Nested.get());
        MergeLayoutChange(change, nested);
    }
    if (sub->Interval == d.Tabs().DefaultInterval() && (!sub->Nested || sub->Nested->IsEmpty())) {
        return;  // nothing changed
    }
    if (operation != nullptr) {
        operation->Add(std::move(sub));
    }
    change.SetSelection(d.View.SelectionStart, d.View.SelectionEnd);
    change.SetCaret(d.View.Caret.Position, d.View.Caret.Line);
}

void TDocumentEditor::FormatObject(const TObjectRequest& request, TChangeRecord& change, TOperation* operation) {
    TDocument& d = Document();
    const TTextPosition at = request.Position;
    if (at.Paragraph < 0 || at.Paragraph >= d.ParagraphCount()) {
        return;
    }
    const TParagraph& p = d.Paragraph(at.Paragraph);
    if (at.Offset < 0 || at.Offset >= p.PositionCount()) {
        return;
    }
    const uint8_t code = p.Positions[at.Offset];
    if (code != spPicture && code != spObject) {
        return;
    }
    const TTag tag = ReadTag(p.Text.Data() + ItemOffset(p, at.Offset));
    const TDocObject* object = d.Objects().Find(tag.Value);
    if (object == nullptr) {
        return;
    }
    const int32_t current[4] = {object->Width, object->Height, object->HorizontalScale, object->VerticalScale};
    if (std::equal(std::begin(current), std::end(current), std::begin(request.Values))) {
        return;
    }
    auto sub = std::make_unique<TFormatObjectOperation>(d, tag.Value, at.Paragraph, request.Values);
    TChangeRecord own;
    sub->Redo(own);
    MergeChange(change, own);
    if (operation != nullptr) {
        operation->Add(std::move(sub));
    }
    change.SetCaret(at, 0);
}

void TDocumentEditor::ChangePageSettings(const TPageSettings& settings, TChangeRecord& change, TOperation* operation) {
    TDocument& d = Document();
    if (ValidatePageSettings(settings) == d.PageSettings()) {
        return;
    }
    auto sub = std::make_unique<TChangePageParamsOperation>(d, ValidatePageSettings(settings));
    TChangeRecord own;
    sub->Redo(own);
    MergeChange(change, own);
    if (operation != nullptr) {
        operation->Add(std::move(sub));
    }
    change.SetCaret(d.View.Caret.Position, d.View.Caret.Line);
}

void TDocumentEditor::SetDefaultLanguage(int32_t language, TChangeRecord& change, TOperation* operation) {
    TDocument& d = Document();
    if (language == d.DefaultLanguageCoding || operation == nullptr) {
        return;
    }
    auto sub = std::make_unique<TChangeDefLangOperation>(d, language);
    TChangeRecord own;
    sub->Redo(own);
    operation->Add(std::move(sub));
    change.SetSelection(d.View.SelectionStart, d.View.SelectionStart);
    change.SetCaret(d.View.Caret.Position, d.View.Caret.Line);
}

void TDocumentEditor::EditStyleList(int32_t firstPara, int32_t lastPara, std::unique_ptr<TFormatStyleListInfo> info,
                                    TChangeRecord& change, TOperation* operation) {
    TDocument& d = Document();
    if (!info) {
        return;
    }
    const int32_t apply = info->StyleToApply;
    if (info->StyleList && info->StyleList->StyleCount() > 0) {
        auto sub = std::make_unique<TFormatStyleListOperation>(d, *this, std::move(info));
        TChangeRecord own;
        sub->Redo(own);
        MergeChange(change, own);
        if (operation != nullptr) {
            operation->Add(std::move(sub));
        }
    }
    if (apply >= 0 && d.Styles().ValidIndex(apply)) {
        TApplyStyleRequest request;
        request.Style = apply;
        TChangeRecord own;
        ApplyStyle(firstPara, lastPara, request, own, operation);
        MergeChange(change, own);
    }
    change.SetSelection(d.View.SelectionStart, d.View.SelectionEnd);
    change.SetCaret(d.View.Caret.Position, d.View.Caret.Line);
}

void TDocumentEditor::UpdateStyle(TChangeRecord& change, TOperation* operation) {
    TDocument& d = Document();
    const int32_t style = d.View.SelectionParAttrs[paStyle];
    if (style == UndefinedAttr || !d.Styles().ValidIndex(style)) {
        if (Inform) {
            Inform("The \"update style\" operation can only be applied to a selection of paragraphs of the same style");
        }
        return;
    }
    const TStyle& current = d.Styles().Style(style);
    // What the selection has beyond the style's base.
    TResolvedStyle base{d.DefaultCharAttrs, d.DefaultParAttrs};
    if (d.Styles().ValidIndex(current.BasedOn) && current.BasedOn != style) {
        base = StyleFormat(d, current.BasedOn);
        base.Char[caHighlight] = d.DefaultCharAttrs[caHighlight];
        base.Par[paBullet] = d.DefaultParAttrs[paBullet];
    }
    TCharAttrs chars = d.View.SelectionCharAttrs;
    TParAttrs pars = d.View.SelectionParAttrs;
    StripDefaults(chars, base.Char);
    StripParDefaults(pars, base.Par);
    chars[caLanguage] = UndefinedAttr;
    pars[paStyle] = UndefinedAttr;
    pars[paBullet] = UndefinedAttr;
    TParAttrs stored = current.ParAttrs;
    stored[paStyle] = UndefinedAttr;
    if (chars == current.CharAttrs && pars == stored) {
        return;
    }
    auto info = std::make_unique<TFormatStyleListInfo>();
    info->StyleList = std::make_unique<TStyleList>(&d.Tabs());
    info->StyleList->AssignFrom(d.Styles());
    TStyle& edited = info->StyleList->Style(style);
    edited.CharAttrs = chars;
    pars[paStyle] = style;
    edited.ParAttrs = pars;
    info->ChangedStyles.push_back(style);
    TTextPosition a = d.View.SelectionStart;
    TTextPosition b = d.View.SelectionEnd;
    if (PositionBefore(b, a)) {
        std::swap(a, b);
    }
    EditStyleList(a.Paragraph, b.Paragraph, std::move(info), change, operation);
}

}  // namespace quillane

// Random edits, undos and redos on generated and hand-made documents, with
// oracles that catch what an undo-only test cannot see: a ledger of every
// history state, the saved state, a shadow of the attributes every position
// must have, the structure after every step and, now and then, the layout
// and pages against a fresh layout.
//
// QUILLANE_EDIT_SEED fixes the first seed, QUILLANE_EDIT_RUNS and
// QUILLANE_EDIT_STEPS the amount; a failure prints the seed, the step and
// the log of operations that led to it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

#include "editing/EditFixture.h"
#include "editing/EditFlags.h"
#include "editing/FormatStyles.h"
#include "editing/TextAccess.h"
#include "layout/Pagination.h"
#include "model/TextStream.h"
#include "support/DocGenerator.h"

namespace quillane::test {
namespace {

int EnvInt(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != 0 ? std::atoi(value) : fallback;
}

#ifdef _WIN32
constexpr int DefaultRuns = 6;
constexpr int DefaultSteps = 150;
#else
constexpr int DefaultRuns = 64;
constexpr int DefaultSteps = 300;
#endif

// The attributes of every position, per paragraph, with its bytes.
struct TShadowParagraph {
    std::string Positions;
    std::vector<TCharAttrs> Attrs;
};
using TShadow = std::vector<TShadowParagraph>;

TShadow Shadow(const TDocument& d) {
    TShadow shadow;
    for (int32_t i = 0; i < d.ParagraphCount(); ++i) {
        const TParagraph& p = d.Paragraph(i);
        shadow.push_back({std::string(reinterpret_cast<const char*>(p.Positions.Data()),
                                      static_cast<size_t>(p.Positions.Length())),
                          PositionAttrs(p)});
    }
    return shadow;
}

// The first line in which two canonical states differ, shown readably.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::istringstream ia(a);
    std::istringstream ib(b);
    std::string la;
    std::string lb;
    while (true) {
        const bool ga = static_cast<bool>(std::getline(ia, la));
        const bool gb = static_cast<bool>(std::getline(ib, lb));
        if (!ga && !gb) {
            return "no difference";
        }
        if (la != lb || ga != gb) {
            auto show = [](const std::string& s) {
                std::string out;
                for (const char c : s) {
                    const auto u = static_cast<uint8_t>(c);
                    out += u >= 32 && u < 127 ? std::string(1, c) : "<" + std::to_string(u) + ">";
                }
                return out;
            };
            return "\n  is:        " + show(la) + "\n  should be: " + show(lb);
        }
    }
}

std::string CompareShadow(const TShadow& expected, const TDocument& d) {
    const TShadow actual = Shadow(d);
    if (expected.size() != actual.size()) {
        return "paragraph count " + std::to_string(actual.size()) + ", expected " + std::to_string(expected.size());
    }
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].Positions != actual[i].Positions) {
            return "paragraph " + std::to_string(i) + " text differs";
        }
        for (size_t k = 0; k < expected[i].Attrs.size(); ++k) {
            if (!(expected[i].Attrs[k] == actual[i].Attrs[k])) {
                std::string slots;
                for (int s = 0; s < CharSlotCount; ++s) {
                    if (expected[i].Attrs[k][s] != actual[i].Attrs[k][s]) {
                        slots += " slot " + std::to_string(s) + ": " + std::to_string(actual[i].Attrs[k][s]) +
                                 " not " + std::to_string(expected[i].Attrs[k][s]);
                    }
                }
                return "paragraph " + std::to_string(i) + " position " + std::to_string(k) + slots;
            }
        }
    }
    return {};
}

class TEditRun {
public:
    TEditRun(uint32_t seed, int64_t bound) : fixture_(bound), rng_(seed), seed_(seed) {}

    TEditFixture& Fixture() { return fixture_; }

    void Start() {
        TDocument& d = fixture_.Document();
        switch (rng_() % 5) {
            case 0:
                fixture_.SetParagraphs({""});
                break;
            case 1:
                fixture_.SetParagraphs({"line\nbreak and\fpage", "keep", "with next", "chain of words"});
                for (int32_t i = 1; i < 3; ++i) {
                    d.Paragraph(i).Attributes[paKeepWithNext] = 1;
                }
                break;
            case 2: {
                fixture_.SetParagraphs({"first one", "second two", "third three"});
                for (int32_t i = 0; i < 3; ++i) {
                    d.Paragraph(i).Attributes[paAlignment] = i;
                    d.Paragraph(i).Attributes[paLeftIndent] = 360 * i;
                    d.Paragraph(i).Text.InsertTag(0, caBold, i % 2);
                }
                break;
            }
            default: {
                TGeneratorOptions options;
                options.Paragraphs = 4 + static_cast<int32_t>(rng_() % 20);
                d.Paragraph(0).Text.Clear();
                d.Paragraph(0).Positions.Clear();
                GenerateDocument(d, fixture_.Fonts(), seed_, options);
                fixture_.Caret(0, 0);
                break;
            }
        }
        for (int32_t i = 0; i < d.ParagraphCount(); ++i) {
            d.Paragraph(i).Normalize();
        }
        fixture_.Manager().Options.GroupUndo = rng_() % 4 != 0;
        fixture_.Manager().Options.ReplaceSel = rng_() % 4 != 0;
        fixture_.Manager().Options.FmtWithoutSel = rng_() % 2 != 0;
        fixture_.Manager().Options.Overwrite = rng_() % 8 == 0;
        fixture_.PaginateAll();
        startFault_ = CheckStructure(d);
        ledger_.assign(1, CanonicalState(d));
        saved_ = ledger_[0];
        startRtfState_ = ledger_[0];
        depth_ = d.Flags.StackDepth();
    }

    // One random step; returns a failure or nothing.
    std::string Step(int step) {
        if (!startFault_.empty()) {
            return "the start document: " + startFault_;
        }
        TDocument& d = fixture_.Document();
        TOperationManager& m = fixture_.Manager();
        const int currentBefore = m.Current();
        std::optional<TShadow> expected;
        std::ostringstream op;
        const int kind = static_cast<int>(rng_() % 100);
        bool history = false;  // a step that may add an operation
        if (kind < 30) {
            RandomSelection(rng_() % 3 == 0);
            const std::string text = RandomText();
            op << "type \"" << Printable(text) << "\" at " << Where();
            expected = ExpectTyping(text);
            TTypeRequest request;
            request.Text = text;
            fixture_.Editor().PerformEditAction(14, request);
            history = true;
        } else if (kind < 45) {
            const TTextPosition a = RandomPosition();
            const TTextPosition b = RandomPosition();
            const int flags = std::array<int, 4>{0, drWholeTrailingParagraphs, drKeepParagraphFormats, 0}[rng_() % 4];
            op << "delete " << Show(a) << "-" << Show(b) << " flags " << flags;
            expected = ExpectDeletion(a, b, flags);
            fixture_.Editor().PerformEditAction(17, TDeleteRequest{a, b, flags});
            history = true;
        } else if (kind < 50) {
            const TTextPosition a = RandomPosition();
            const TTextPosition b = RandomPosition();
            TTypeRequest request;
            request.Text = RandomText();
            request.Start = a;
            request.End = b;
            op << "replace " << Show(a) << "-" << Show(b) << " by \"" << Printable(request.Text) << "\"";
            fixture_.Editor().PerformEditAction(19, request);
            history = true;
        } else if (kind < 55) {
            TTextPosition a = RandomPosition();
            TTextPosition b = RandomPosition();
            if (PositionBefore(b, a)) {
                std::swap(a, b);
            }
            const TTextPosition target = RandomPosition();
            const bool wise = rng_() % 3 == 0;
            op << "move " << Show(a) << "-" << Show(b) << " to " << Show(target) << (wise ? " wisely" : "");
            if (!wise) {
                expected = ExpectMove(a, b, target);
            }
            fixture_.Editor().PerformEditAction(20, TMoveRequest{a, b, target, wise ? 0x12 : 2});
            history = true;
        } else if (kind < 62) {
            RandomSelection(false);
            TCharAttrs attrs;
            attrs.Slots.fill(UndefinedAttr);
            static const int32_t values[][3] = {{0, 1, 2},    {2, 24, 2000}, {0, 1, 0},   {0, 1, 1},   {0, 1, 0},
                                                {0, 1, 2},    {0, 5, 16},    {0, 1, 7},   {0, 1, 2},   {-20, 0, 400},
                                                {-5, 0, 12},  {0, 16, 0},    {1033, 1049, 0}};
            const int slots = 1 + static_cast<int>(rng_() % 3);
            for (int k = 0; k < slots; ++k) {
                const int slot = static_cast<int>(rng_() % CharSlotCount);
                attrs[slot] = slot == caFont ? static_cast<int32_t>(rng_() % 3) : values[slot][rng_() % 3];
            }
            op << "format chars " << Where();
            expected = ExpectFormat(attrs);
            fixture_.Editor().PerformEditAction(2, TCharFormatRequest{attrs, 0});
            history = true;
        } else if (kind < 67) {
            RandomSelection(false);
            static const int slots[] = {caSize, caExpansion, caOffset};
            static const int32_t amounts[] = {2000, -2000, 2, -2, 2150, 20, -20, 1, -1};
            TStepRequest request{slots[rng_() % 3], amounts[rng_() % 9]};
            op << "step slot " << request.Slot << " by " << request.Amount << " " << Where();
            fixture_.Editor().PerformEditAction(4, request);
            history = true;
        } else if (kind < 74) {
            RandomSelection(false);
            TParAttrs attrs;
            attrs.Slots.fill(UndefinedAttr);
            const int slot = static_cast<int>(rng_() % ParSlotCount);
            if (slot != paStyle && slot != paTabTable) {
                attrs[slot] = slot <= paLeftIndent ? static_cast<int32_t>(rng_() % 2000) - 500
                              : slot == paLineSpacing ? 240 * (1 + static_cast<int32_t>(rng_() % 2))
                                                      : static_cast<int32_t>(rng_() % 2);
            }
            op << "format paragraph slot " << slot << " " << Where();
            fixture_.Editor().PerformEditAction(1, TParFormatRequest{attrs});
            history = true;
        } else if (kind < 77) {
            RandomSelection(false);
            TIndentRequest request{static_cast<int>(rng_() % 4), rng_() % 2 ? 720 : -720};
            op << "indent kind " << request.Kind << " " << Where();
            fixture_.Editor().PerformEditAction(9, request);
            history = true;
        } else if (kind < 80) {
            RandomSelection(false);
            const int what = static_cast<int>(rng_() % 8);
            if (what == 0 && d.Styles().StyleCount() > 0) {
                TApplyStyleRequest request;
                request.Style = static_cast<int32_t>(rng_() % static_cast<uint32_t>(d.Styles().StyleCount()));
                request.WithFormatting = rng_() % 3 != 0;
                op << "style " << request.Style << (request.WithFormatting ? "" : " index only") << " " << Where();
                fixture_.Editor().PerformEditAction(10, request);
            } else if (what == 1) {
                const bool font = rng_() % 2 != 0;
                op << "reset " << (font ? "font " : "paragraph ") << Where();
                fixture_.Editor().PerformEditAction(8, TResetRequest{font});
            } else if (what == 2) {
                TTabsRequest request;
                request.DefaultInterval = 360 * (1 + static_cast<int32_t>(rng_() % 4));
                if (rng_() % 2 != 0 && d.Tabs().TableCount() > 0) {
                    request.TabTable = static_cast<int32_t>(rng_() % static_cast<uint32_t>(d.Tabs().TableCount()));
                }
                op << "tabs " << request.DefaultInterval << " table " << request.TabTable << " " << Where();
                fixture_.Editor().PerformEditAction(7, request);
            } else if (what == 3) {
                TPageRequest request;
                request.Settings.PaperWidth = 8000 + static_cast<int32_t>(rng_() % 8000);
                request.Settings.LeftMargin = 720 * static_cast<int32_t>(rng_() % 3);
                op << "page width " << request.Settings.PaperWidth;
                fixture_.Editor().PerformEditAction(0, request);
            } else if (what == 6) {
                op << "update style " << Where();
                fixture_.Editor().PerformEditAction(12, TUpdateStyleRequest{});
            } else if (what == 7 && d.Styles().StyleCount() > 1) {
                auto info = std::make_shared<TFormatStyleListInfo>();
                info->StyleList = std::make_unique<TStyleList>(&d.Tabs());
                info->StyleList->AssignFrom(d.Styles());
                const int32_t style = 1 + static_cast<int32_t>(rng_() % static_cast<uint32_t>(d.Styles().StyleCount() - 1));
                if (rng_() % 2 != 0) {
                    info->StyleList->Delete(style);
                    info->DeletedStyles.push_back(style);
                    op << "delete style " << style;
                } else {
                    info->StyleList->Style(style).CharAttrs[caBold] = static_cast<int32_t>(rng_() % 2);
                    info->ChangedStyles.push_back(style);
                    op << "change style " << style;
                }
                info->IndexOnly = rng_() % 4 == 0;
                fixture_.Editor().PerformEditAction(11, TStyleListRequest{info});
            } else if (what == 4) {
                const int32_t language = std::array<int32_t, 3>{0, 1033, 1049}[rng_() % 3];
                op << "language " << language;
                fixture_.Editor().PerformEditAction(29, TLanguageRequest{language});
            } else {
                TObjectRequest request;
                request.Position = RandomPosition();
                request.Values[0] = 200 + static_cast<int32_t>(rng_() % 3000);
                request.Values[1] = 200 + static_cast<int32_t>(rng_() % 3000);
                request.Values[2] = 50 + static_cast<int32_t>(rng_() % 100);
                request.Values[3] = 50 + static_cast<int32_t>(rng_() % 100);
                op << "picture size at " << Show(request.Position);
                fixture_.Editor().PerformEditAction(25, request);
            }
            history = true;
        } else if (kind < 86) {
            op << "undo";
            m.Undo();
        } else if (kind < 93) {
            op << "redo";
            m.Redo();
        } else if (kind < 94) {
            op << "undo all";
            m.UndoAll();
        } else if (kind < 95) {
            op << "redo all";
            m.RedoAll();
        } else if (kind < 97) {
            op << "reflow and paginate";
            fixture_.Reflow().ProcessQueue(m);
            PaginateStep(d, TPaginationOptions{});
        } else if (kind < 99) {
            const int32_t p = static_cast<int32_t>(rng_() % static_cast<uint32_t>(d.ParagraphCount()));
            op << "normalize " << p;
            d.Paragraph(p).Normalize();
        } else {
            op << "saved";
            m.MarkSaved();
            saved_ = CanonicalState(d);
        }
        log_ += std::to_string(step) + ": " + op.str() + "\n";

        const std::string state = CanonicalState(d);
        if (history) {
            if (d.Flags.Test(dsOperationAdded)) {
                // An operation was added: the redo list went and maybe the oldest.
                ledger_.resize(static_cast<size_t>(currentBefore + 2));
                ledger_.push_back(state);
                const int evicted = static_cast<int>(ledger_.size()) - (m.Count() + 1);
                ledger_.erase(ledger_.begin(), ledger_.begin() + evicted);
            } else if (state != ledger_[static_cast<size_t>(m.Current() + 1)]) {
                return "a step that added no operation changed the document" +
                       FirstDifference(state, ledger_[static_cast<size_t>(m.Current() + 1)]);
            }
        } else if (static_cast<int>(ledger_.size()) != m.Count() + 1) {
            return "the ledger lost track of the history";
        } else if (state != ledger_[static_cast<size_t>(m.Current() + 1)]) {
            return "the document differs from the state of history position " + std::to_string(m.Current()) +
                   FirstDifference(state, ledger_[static_cast<size_t>(m.Current() + 1)]);
        }
        // Undo can take the history over its bound (undone insertions hold
        // their text); the next added operation trims it again.
        if (history && d.Flags.Test(dsOperationAdded) && m.MemoryUsed() > m.MemoryBound() && m.Count() > 1) {
            return "the history holds more than its bound";
        }
        if (history && paranoid_ && d.Flags.Test(dsOperationAdded)) {
            // Every new operation undone and redone at once (QUILLANE_EDIT_PARANOID).
            m.Undo();
            const std::string undone = CanonicalState(d);
            if (undone != ledger_[static_cast<size_t>(m.Current() + 1)]) {
                return "its undo misses" + FirstDifference(undone, ledger_[static_cast<size_t>(m.Current() + 1)]);
            }
            m.Redo();
            if (CanonicalState(d) != state) {
                return "its redo misses" + FirstDifference(CanonicalState(d), state);
            }
        }
        if (expected) {
            if (std::string fault = CompareShadow(*expected, d); !fault.empty()) {
                return "shadow: " + fault;
            }
        }
        if (m.Current() == m.SavedIndex() && state != saved_) {
            return "at the saved position the document differs from the saved state";
        }
        if (std::string fault = CheckStructure(d); !fault.empty()) {
            return fault;
        }
        if (d.Flags.StackDepth() != depth_) {
            return "the flag stack is " + std::to_string(d.Flags.StackDepth()) + " deep";
        }
        if (step % layoutEvery_ == layoutEvery_ - 1) {
            fixture_.Reflow().ProcessQueue(m);
            fixture_.PaginateAll();
            if (std::string fault = CompareWithFreshLayout(d); !fault.empty()) {
                return "layout: " + fault;
            }
        }
        return {};
    }

    std::string Finish() {
        TOperationManager& m = fixture_.Manager();
        m.UndoAll();
        if (CanonicalState(fixture_.Document()) != ledger_.front()) {
            return "undo all does not reach the oldest state kept";
        }
        m.RedoAll();
        if (CanonicalState(fixture_.Document()) != ledger_.back()) {
            return "redo all does not reach the newest state";
        }
        return {};
    }

    const std::string& Log() const { return log_; }

private:
    TTextPosition RandomPosition() {
        const TDocument& d = fixture_.Document();
        const int32_t p = static_cast<int32_t>(rng_() % static_cast<uint32_t>(d.ParagraphCount()));
        const int32_t n = d.Paragraph(p).PositionCount();
        return {p, static_cast<int32_t>(rng_() % static_cast<uint32_t>(n))};
    }
    void RandomSelection(bool empty) {
        TTextPosition a = RandomPosition();
        TTextPosition b = empty ? a : RandomPosition();
        if (PositionBefore(b, a)) {
            std::swap(a, b);
        }
        fixture_.Select(a.Paragraph, a.Offset, b.Paragraph, b.Offset);
    }
    std::string RandomText() {
        static const char alphabet[] = "abcdef  \t\r\xE9\x96\x97\xA0";
        const int n = rng_() % 3 == 0 ? 1 + static_cast<int>(rng_() % 8) : 1;
        std::string text;
        for (int i = 0; i < n; ++i) {
            text += alphabet[rng_() % (sizeof(alphabet) - 1)];
        }
        if (rng_() % 20 == 0) {
            text += "\r\nx\n\ry";
        }
        return text;
    }
    std::string Where() {
        const TDocument& d = fixture_.Document();
        return Show(d.View.SelectionStart) + "-" + Show(d.View.SelectionEnd);
    }
    static std::string Show(TTextPosition p) { return std::to_string(p.Paragraph) + ":" + std::to_string(p.Offset); }
    static std::string Printable(const std::string& text) {
        std::string out;
        for (const char c : text) {
            const auto u = static_cast<uint8_t>(c);
            out += u >= 32 && u < 127 ? std::string(1, c) : "\\x" + std::to_string(u);
        }
        return out;
    }

    // Typing one plain character at the caret, no selection, insert mode:
    // the new position takes the input attributes, every other keeps its own.
    std::optional<TShadow> ExpectTyping(const std::string& text) {
        const TDocument& d = fixture_.Document();
        const TOperationManager& m = fixture_.Manager();
        if (text.size() != 1 || static_cast<uint8_t>(text[0]) < 32 || m.Options.Overwrite ||
            !(d.View.SelectionStart == d.View.SelectionEnd)) {
            return std::nullopt;
        }
        TShadow shadow = Shadow(d);
        const TTextPosition caret = d.View.Caret.Position;
        TShadowParagraph& p = shadow[static_cast<size_t>(caret.Paragraph)];
        TCharAttrs input = d.View.SelectionCharAttrs;
        const TParagraph& paragraph = d.Paragraph(caret.Paragraph);
        for (int s = 0; s < CharSlotCount; ++s) {
            if (input[s] == UndefinedAttr) {
                input[s] = AttrsAtPosition(paragraph, caret.Offset)[s];
            }
        }
        if (d.DefaultLanguageCoding != 0) {
            input[caLanguage] = d.DefaultLanguageCoding;  // typed text takes the document's language
        }
        if (input[caHighlight] >= 1) {
            input[caHighlight] = caret.Offset < paragraph.PositionCount() - 1 ? p.Attrs[static_cast<size_t>(caret.Offset)][caHighlight] : 0;
        }
        const uint8_t c = static_cast<uint8_t>(text[0]);
        uint8_t code = c;
        if (c == 160) {
            code = spNonbreakingSpace;
        } else if (c == 150) {
            code = spShortDash;
        } else if (c == 151) {
            code = spLongDash;
        }
        p.Positions.insert(static_cast<size_t>(caret.Offset), 1, static_cast<char>(code));
        p.Attrs.insert(p.Attrs.begin() + caret.Offset, input);
        return shadow;
    }

    std::optional<TShadow> ExpectDeletion(TTextPosition a, TTextPosition b, int flags) {
        const TDocument& d = fixture_.Document();
        if (PositionBefore(b, a)) {
            std::swap(a, b);
        }
        if (flags != 0 || a.Paragraph == b.Paragraph) {
            if (flags != 0 || a == b) {
                return std::nullopt;
            }
            TShadow shadow = Shadow(d);
            TShadowParagraph& p = shadow[static_cast<size_t>(a.Paragraph)];
            p.Positions.erase(static_cast<size_t>(a.Offset), static_cast<size_t>(b.Offset - a.Offset));
            p.Attrs.erase(p.Attrs.begin() + a.Offset, p.Attrs.begin() + b.Offset);
            return shadow;
        }
        // Across paragraphs: the head of the first and the rest of the last.
        TShadow shadow = Shadow(d);
        TShadowParagraph joined;
        const TShadowParagraph& first = shadow[static_cast<size_t>(a.Paragraph)];
        const TShadowParagraph& last = shadow[static_cast<size_t>(b.Paragraph)];
        joined.Positions = first.Positions.substr(0, static_cast<size_t>(a.Offset)) +
                           last.Positions.substr(static_cast<size_t>(b.Offset));
        joined.Attrs.assign(first.Attrs.begin(), first.Attrs.begin() + a.Offset);
        joined.Attrs.insert(joined.Attrs.end(), last.Attrs.begin() + b.Offset, last.Attrs.end());
        shadow[static_cast<size_t>(a.Paragraph)] = joined;
        shadow.erase(shadow.begin() + a.Paragraph + 1, shadow.begin() + b.Paragraph + 1);
        return shadow;
    }

    // The document as one run of positions, paragraph marks included.
    static size_t Flat(const TShadow& shadow, TTextPosition p) {
        size_t at = 0;
        for (int32_t i = 0; i < p.Paragraph; ++i) {
            at += shadow[static_cast<size_t>(i)].Attrs.size();
        }
        return at + static_cast<size_t>(p.Offset);
    }

    std::optional<TShadow> ExpectMove(TTextPosition a, TTextPosition b, TTextPosition target) {
        const TDocument& d = fixture_.Document();
        const TShadow shadow = Shadow(d);
        // As the editor normalises them: the final mark never moves.
        auto normal = [&](TTextPosition p) {
            const int32_t last = d.ParagraphCount() - 1;
            if (p.Offset >= d.Paragraph(p.Paragraph).PositionCount() - 1 && p.Paragraph == last) {
                p.Offset = d.Paragraph(last).PositionCount() - 1;
            }
            return p;
        };
        a = normal(a);
        b = normal(b);
        target = normal(target);
        if (!PositionBefore(a, b) || (!PositionBefore(target, a) && !PositionBefore(b, target))) {
            return shadow;
        }
        std::string positions;
        std::vector<TCharAttrs> attrs;
        for (const TShadowParagraph& p : shadow) {
            positions += p.Positions;
            attrs.insert(attrs.end(), p.Attrs.begin(), p.Attrs.end());
        }
        const size_t from = Flat(shadow, a);
        const size_t to = Flat(shadow, b);
        size_t at = Flat(shadow, target);
        const std::string blockText = positions.substr(from, to - from);
        const std::vector<TCharAttrs> blockAttrs(attrs.begin() + static_cast<ptrdiff_t>(from),
                                                 attrs.begin() + static_cast<ptrdiff_t>(to));
        positions.erase(from, to - from);
        attrs.erase(attrs.begin() + static_cast<ptrdiff_t>(from), attrs.begin() + static_cast<ptrdiff_t>(to));
        if (at > from) {
            at -= to - from;
        }
        positions.insert(at, blockText);
        attrs.insert(attrs.begin() + static_cast<ptrdiff_t>(at), blockAttrs.begin(), blockAttrs.end());
        TShadow moved;
        TShadowParagraph current;
        for (size_t i = 0; i < positions.size(); ++i) {
            current.Positions += positions[i];
            current.Attrs.push_back(attrs[i]);
            if (static_cast<uint8_t>(positions[i]) == spParagraphEnd) {
                moved.push_back(std::move(current));
                current = TShadowParagraph{};
            }
        }
        return moved;
    }

    std::optional<TShadow> ExpectFormat(const TCharAttrs& attrs) {
        const TDocument& d = fixture_.Document();
        TTextPosition a = d.View.SelectionStart;
        TTextPosition b = d.View.SelectionEnd;
        if (a == b) {
            return std::nullopt;  // the word at the caret, or the input attributes
        }
        if (b.Offset == 0 && b.Paragraph > a.Paragraph) {
            b = {b.Paragraph - 1, d.Paragraph(b.Paragraph - 1).PositionCount()};
        }
        TShadow shadow = Shadow(d);
        for (int32_t p = a.Paragraph; p <= b.Paragraph; ++p) {
            auto& attrsOf = shadow[static_cast<size_t>(p)].Attrs;
            const int32_t from = p == a.Paragraph ? a.Offset : 0;
            const int32_t to = p == b.Paragraph ? b.Offset : static_cast<int32_t>(attrsOf.size());
            for (int32_t k = from; k < to; ++k) {
                for (int s = 0; s < CharSlotCount; ++s) {
                    if (attrs[s] != UndefinedAttr) {
                        attrsOf[static_cast<size_t>(k)][s] = attrs[s];
                    }
                }
            }
        }
        return shadow;
    }

    TEditFixture fixture_;
    std::mt19937 rng_;
    uint32_t seed_;
    std::vector<std::string> ledger_;  // state at history position i - 1
    std::string saved_;
    std::string startRtfState_;
    std::string log_;
    int depth_ = 0;
    std::string startFault_;
    int layoutEvery_ = std::max(EnvInt("QUILLANE_EDIT_LAYOUT_EVERY", 40), 1);
    bool paranoid_ = EnvInt("QUILLANE_EDIT_PARANOID", 0) != 0;
};

TEST(EditProperty, RandomEditsUndoAndRedoKeepEveryState) {
    const int runs = EnvInt("QUILLANE_EDIT_RUNS", DefaultRuns);
    const int steps = EnvInt("QUILLANE_EDIT_STEPS", DefaultSteps);
    const uint32_t firstSeed = static_cast<uint32_t>(EnvInt("QUILLANE_EDIT_SEED", 1));
    static const int64_t bounds[] = {2048, 65536, 0x400000};
    for (int run = 0; run < runs; ++run) {
        const uint32_t seed = firstSeed + static_cast<uint32_t>(run);
        TEditRun editRun(seed, bounds[seed % 3]);
        editRun.Start();
        std::string fault;
        int step = 0;
        for (; step < steps && fault.empty(); ++step) {
            fault = editRun.Step(step);
        }
        if (fault.empty()) {
            fault = editRun.Finish();
        }
        ASSERT_TRUE(fault.empty()) << "seed " << seed << ", step " << step - 1 << ": " << fault << "\n"
                                   << "operations:\n"
                                   << editRun.Log();
    }
}

}  // namespace
}  // namespace quillane::test

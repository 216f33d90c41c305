// Importing styles from one list into another. The work happens on a copy,
// so that a Cancel in the middle leaves the destination as it was.

#include <algorithm>
#include <map>
#include <optional>

#include "model/BuiltInStyles.h"
#include "model/StyleList.h"
#include "model/TabManager.h"
#include "platform/MessageBox.h"

namespace quillane {

namespace {

const char* const ReplaceQuestion =
    "Replace Style \"%s\" in destination Style List with corresponding Style from source Style List?";

class TStyleImportRun {
public:
    TStyleImportRun(const TStyleList& source, TStyleList& work, TImportStylesInfo& info, bool ask,
                    TMessageBox& messages)
        : source_(source), work_(work), info_(info), asking_(ask), messages_(messages),
          pending_(info.Indexes), processed_(static_cast<size_t>(work.StyleCount()), false) {}

    // False when the user cancelled.
    bool Run() {
        while (!pending_.empty()) {
            if (!ImportOne(pending_.front())) {
                return false;
            }
        }
        return true;
    }

    // Destination style -> the source tab-table index its slot 13 still
    // holds; interned into the destination pool once the import stands.
    const std::map<int32_t, int32_t>& TabsToIntern() const { return tabsToIntern_; }

private:
    // A style that took a source style's contents and whose links are being
    // translated: first its based-on style, then its next style.
    struct TLinkWork {
        int32_t Dest;
        int32_t Source;
        int Stage;
    };

    // The destination index of source style s with everything it links to;
    // nothing on Cancel. The links are followed with an explicit stack, as a
    // damaged file may chain thousands of styles.
    std::optional<int32_t> ImportOne(int32_t s) {
        const std::optional<int32_t> result = Enter(s);
        while (result && !linkWork_.empty()) {
            TLinkWork& top = linkWork_.back();
            const TStyle& from = source_.Style(top.Source);
            const int32_t d = top.Dest;
            if (top.Stage == 2) {
                linkWork_.pop_back();
                continue;
            }
            const bool basedOn = top.Stage == 0;
            ++top.Stage;  // `top` may move once Enter pushes
            const int32_t link = basedOn ? from.BasedOn : from.NextStyle;
            if (link == -1) {
                continue;
            }
            const std::optional<int32_t> target = Enter(link);
            if (!target) {
                return std::nullopt;
            }
            (basedOn ? work_.Style(d).BasedOn : work_.Style(d).NextStyle) = *target;
        }
        return result;
    }

    // Finds or brings in source style s and returns its destination index;
    // a style that takes the source's contents is queued for its links. An
    // index the source does not have maps to none.
    std::optional<int32_t> Enter(int32_t s) {
        std::erase(pending_, s);
        if (!source_.ValidIndex(s)) {
            return -1;
        }
        const TStyle& from = source_.Style(s);
        const int32_t d = work_.FindByName(from.Name);
        if (d < 0) {
            auto copy = std::make_unique<TStyle>();
            copy->Assign(from);
            const int32_t added = work_.StyleCount();
            work_.Add(std::move(copy));
            processed_.push_back(true);
            info_.Added.push_back(added);
            TakeContents(added, s);
            return added;
        }
        if (processed_[static_cast<size_t>(d)] || !MayReplace(s)) {
            return d;
        }
        processed_[static_cast<size_t>(d)] = true;
        if (asking_) {
            const TMessageAnswer answer = messages_.Show(
                FormatMessageText(ReplaceQuestion, {work_.Style(d).DisplayName}), TMessageKind::Confirmation,
                TMessageButtons::YesNoCancelAll);
            switch (answer) {
                case TMessageAnswer::Cancel: return std::nullopt;
                case TMessageAnswer::Yes: break;
                case TMessageAnswer::YesToAll: asking_ = false; break;
                case TMessageAnswer::NoToAll:
                    asking_ = false;
                    noToAll_ = true;
                    return d;
                default: return d;
            }
        }
        work_.Style(d).Assign(from);
        work_.Style(d).ParAttrs[paStyle] = d;
        info_.Replaced.push_back(d);
        TakeContents(d, s);
        return d;
    }

    bool MayReplace(int32_t s) const {
        if (!info_.Replace || noToAll_) {
            return false;
        }
        return !info_.LimitToListed ||
               std::find(info_.Indexes.begin(), info_.Indexes.end(), s) != info_.Indexes.end();
    }

    // Style d now holds source style s: its tab table and its links still
    // speak of the source list and are translated.
    void TakeContents(int32_t d, int32_t s) {
        const int32_t tab = source_.Style(s).ParAttrs[paTabTable];
        if (tab != UndefinedAttr && tab != -1) {
            tabsToIntern_[d] = tab;
        } else {
            tabsToIntern_.erase(d);
        }
        work_.Style(d).BasedOn = -1;
        work_.Style(d).NextStyle = -1;
        linkWork_.push_back({d, s, 0});
    }

    const TStyleList& source_;
    TStyleList& work_;
    TImportStylesInfo& info_;
    bool asking_;
    bool noToAll_ = false;
    TMessageBox& messages_;
    std::vector<int32_t> pending_;
    std::vector<bool> processed_;
    std::map<int32_t, int32_t> tabsToIntern_;
    std::vector<TLinkWork> linkWork_;
};

}  // namespace

bool TStyleList::Import(TImportStylesInfo& info, bool ask, TMessageBox& messages) {
    info.Added.clear();
    info.Replaced.clear();
    if (info.Source == nullptr) {
        return true;
    }
    TStyleList work(tabs_);
    work.AssignFrom(*this);
    TStyleImportRun run(*info.Source, work, info, ask, messages);
    if (!run.Run()) {
        info.Added.clear();
        info.Replaced.clear();
        return false;
    }
    // Tables join this document's pool only now, so a cancelled import
    // leaves the pool alone too.
    const TTabManager* sourceTabs = info.Source->Tabs();
    for (const auto& [d, sourceTab] : run.TabsToIntern()) {
        int32_t interned = -1;
        if (tabs_ != nullptr && sourceTabs != nullptr && sourceTabs->ValidIndex(sourceTab)) {
            interned = tabs_->Intern(sourceTabs->Table(sourceTab));
        }
        work.Style(d).ParAttrs[paTabTable] = interned;
    }
    const int32_t oldCount = StyleCount();
    for (int32_t i = 0; i < work.StyleCount(); ++i) {
        if (i < oldCount) {
            Style(i).Assign(work.Style(i));
        } else {
            auto copy = std::make_unique<TStyle>();
            copy->Assign(work.Style(i));
            Add(std::move(copy));
        }
    }
    ClassifyStyleNames(*this);
    // A replaced style may now be based on one that was kept and is based
    // on it in turn; such a loop is cut.
    RepairLinks();
    return true;
}

}  // namespace quillane

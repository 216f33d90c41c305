#pragma once
// A style sheet: styles in index order, style 0 being "Normal". A document's
// list is bound to the document's tab manager, whose tables the styles'
// paragraph slot 13 refers to; the master list and work copies have no
// document.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/Style.h"

namespace quillane {

class TDocument;
class TMessageBox;
class TTabManager;

// A request to import styles from another list, and what it did.
struct TImportStylesInfo {
    const class TStyleList* Source = nullptr;
    bool Replace = false;            // replace destination styles of the same name
    bool LimitToListed = false;      // replace only styles named in Indexes
    std::vector<int32_t> Indexes;    // source styles to import
    std::vector<int32_t> Added;      // result: destination indexes appended
    std::vector<int32_t> Replaced;   // result: destination indexes replaced
};

class TStyleList {
public:
    explicit TStyleList(TTabManager* tabs = nullptr, TDocument* document = nullptr)
        : tabs_(tabs), document_(document) {}
    TStyleList(const TStyleList&) = delete;
    TStyleList& operator=(const TStyleList&) = delete;

    TTabManager* Tabs() const { return tabs_; }
    TDocument* Document() const { return document_; }

    int32_t StyleCount() const { return static_cast<int32_t>(styles_.size()); }
    TStyle& Style(int32_t i) const { return *styles_[static_cast<size_t>(i)]; }
    bool ValidIndex(int32_t i) const { return i >= 0 && i < StyleCount(); }

    // Appends the style, recording its index in its paragraph slot 12.
    TStyle& Add(std::unique_ptr<TStyle> style);
    // Replaces every style by a copy of the other list's (tab indexes are
    // taken as they are, so the lists should share a tab manager).
    void AssignFrom(const TStyleList& list);
    void Clear() { styles_.clear(); }

    // Removes style i. Its children move to its parent, indexes above i move
    // down, next-style links to i go to "Normal" (to the style itself when
    // "Normal" goes). Paragraphs using the style are the caller's to update.
    void Delete(int32_t i);

    int32_t FindByHotKey(uint16_t key) const;
    bool HotKeyUsed(uint16_t key) const { return key != 0 && FindByHotKey(key) >= 0; }
    // Styles based on i, and with recursive also their descendants.
    void Children(int32_t i, bool recursive, std::vector<int32_t>& result) const;
    // The based-on chain of i, parent first. A chain that runs into an
    // unknown index or repeats itself ends there.
    void Ancestors(int32_t i, std::vector<int32_t>& result) const;
    // Display names with their indexes, in index order.
    std::vector<std::pair<std::string, int32_t>> FillNames() const;
    // From the end, ignoring case; -1 when none.
    int32_t FindByName(const std::string& name) const;
    int32_t FindByDisplayName(const std::string& name) const;

    // Imports the styles info lists, with their based-on and next styles,
    // from info.Source. With ask, the user confirms each replacement; a
    // Cancel leaves this list as it was and returns false.
    bool Import(TImportStylesInfo& info, bool ask, TMessageBox& messages);

    // Makes every link usable: unknown based-on and next indexes become
    // none, and a based-on chain that loops is cut where it closes.
    void RepairLinks();

private:
    std::vector<std::unique_ptr<TStyle>> styles_;
    TTabManager* tabs_;
    TDocument* document_;
};

}  // namespace quillane

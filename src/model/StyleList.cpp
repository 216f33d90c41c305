#include "model/StyleList.h"

#include "model/BuiltInStyles.h"

namespace quillane {

TStyle& TStyleList::Add(std::unique_ptr<TStyle> style) {
    style->owner_ = this;
    style->ParAttrs[paStyle] = StyleCount();
    styles_.push_back(std::move(style));
    return *styles_.back();
}

void TStyleList::AssignFrom(const TStyleList& list) {
    if (&list == this) {
        return;
    }
    styles_.clear();
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        auto copy = std::make_unique<TStyle>();
        copy->Assign(list.Style(i));
        Add(std::move(copy));
    }
}

void TStyleList::Delete(int32_t i) {
    if (!ValidIndex(i)) {
        return;
    }
    int32_t parent = Style(i).BasedOn;
    if (parent == i || !ValidIndex(parent)) {
        parent = -1;
    }
    // The children take over i's parent under its new number: a parent
    // stored after i moves down like every other index.
    const int32_t newParent = parent > i ? parent - 1 : parent;
    for (int32_t j = 0; j < StyleCount(); ++j) {
        if (j == i) {
            continue;
        }
        TStyle& style = Style(j);
        if (style.BasedOn == i) {
            style.BasedOn = newParent;
        } else if (style.BasedOn > i) {
            --style.BasedOn;
        }
        if (style.NextStyle == i) {
            style.NextStyle = i == 0 ? (j > i ? j - 1 : j) : 0;
        } else if (style.NextStyle > i) {
            --style.NextStyle;
        }
    }
    styles_.erase(styles_.begin() + i);
    for (int32_t j = 0; j < StyleCount(); ++j) {
        Style(j).ParAttrs[paStyle] = j;
    }
}

int32_t TStyleList::FindByHotKey(uint16_t key) const {
    for (int32_t i = StyleCount() - 1; i >= 0; --i) {
        if (Style(i).HotKey == key) {
            return i;
        }
    }
    return -1;
}

void TStyleList::Children(int32_t i, bool recursive, std::vector<int32_t>& result) const {
    std::vector<bool> seen(styles_.size(), false);
    std::vector<int32_t> parents{i};
    if (ValidIndex(i)) {
        seen[static_cast<size_t>(i)] = true;
    }
    // Breadth first with a seen mark, so looping links cannot repeat.
    for (size_t next = 0; next < parents.size(); ++next) {
        for (int32_t j = 0; j < StyleCount(); ++j) {
            if (Style(j).BasedOn == parents[next] && !seen[static_cast<size_t>(j)]) {
                seen[static_cast<size_t>(j)] = true;
                result.push_back(j);
                if (recursive) {
                    parents.push_back(j);
                }
            }
        }
    }
}

void TStyleList::Ancestors(int32_t i, std::vector<int32_t>& result) const {
    if (!ValidIndex(i)) {
        return;
    }
    std::vector<bool> seen(styles_.size(), false);
    seen[static_cast<size_t>(i)] = true;
    for (int32_t parent = Style(i).BasedOn; ValidIndex(parent) && !seen[static_cast<size_t>(parent)];
         parent = Style(parent).BasedOn) {
        seen[static_cast<size_t>(parent)] = true;
        result.push_back(parent);
    }
}

std::vector<std::pair<std::string, int32_t>> TStyleList::FillNames() const {
    std::vector<std::pair<std::string, int32_t>> names;
    for (int32_t i = 0; i < StyleCount(); ++i) {
        names.emplace_back(Style(i).DisplayName, i);
    }
    return names;
}

int32_t TStyleList::FindByName(const std::string& name) const {
    for (int32_t i = StyleCount() - 1; i >= 0; --i) {
        if (SameNameIgnoringCase(Style(i).Name, name)) {
            return i;
        }
    }
    return -1;
}

int32_t TStyleList::FindByDisplayName(const std::string& name) const {
    for (int32_t i = StyleCount() - 1; i >= 0; --i) {
        if (SameNameIgnoringCase(Style(i).DisplayName, name)) {
            return i;
        }
    }
    return -1;
}

void TStyleList::RepairLinks() {
    for (int32_t i = 0; i < StyleCount(); ++i) {
        TStyle& style = Style(i);
        if (!ValidIndex(style.BasedOn) || style.BasedOn == i) {
            style.BasedOn = -1;
        }
        if (!ValidIndex(style.NextStyle)) {
            style.NextStyle = -1;
        }
    }
    // Follow each chain once; a link back into the chain being walked
    // closes a loop and is cut.
    enum : uint8_t { Unseen, OnPath, Done };
    std::vector<uint8_t> state(styles_.size(), Unseen);
    std::vector<int32_t> path;
    for (int32_t start = 0; start < StyleCount(); ++start) {
        path.clear();
        int32_t at = start;
        while (at >= 0 && state[static_cast<size_t>(at)] == Unseen) {
            state[static_cast<size_t>(at)] = OnPath;
            path.push_back(at);
            at = Style(at).BasedOn;
        }
        if (at >= 0 && state[static_cast<size_t>(at)] == OnPath) {
            Style(path.back()).BasedOn = -1;
        }
        for (const int32_t p : path) {
            state[static_cast<size_t>(p)] = Done;
        }
    }
}

}  // namespace quillane

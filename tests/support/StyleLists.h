#pragma once
// Builds style lists for tests from compact descriptions.

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "model/StyleList.h"

namespace quillane::test {

struct TStyleSketch {
    std::string Name;
    int32_t BasedOn;
    int32_t Next;
};

inline void AddStyles(TStyleList& list, std::initializer_list<TStyleSketch> sketches) {
    for (const TStyleSketch& s : sketches) {
        auto style = std::make_unique<TStyle>(s.Name);
        style->BasedOn = s.BasedOn;
        style->NextStyle = s.Next;
        list.Add(std::move(style));
    }
}

struct TLinks {
    int32_t BasedOn;
    int32_t Next;
    friend bool operator==(const TLinks&, const TLinks&) = default;
    friend std::ostream& operator<<(std::ostream& os, const TLinks& l) {
        return os << "(" << l.BasedOn << "," << l.Next << ")";
    }
};

inline std::vector<TLinks> LinksOf(const TStyleList& list) {
    std::vector<TLinks> links;
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        links.push_back({list.Style(i).BasedOn, list.Style(i).NextStyle});
    }
    return links;
}

inline std::vector<std::string> NamesOf(const TStyleList& list) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        names.push_back(list.Style(i).Name);
    }
    return names;
}

}  // namespace quillane::test

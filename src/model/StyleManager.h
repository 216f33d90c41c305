#pragma once
// The program's master style list ("Normal" and "Heading 1" to "Heading 9")
// that every new document imports, and the services on style names.

#include <cstdint>
#include <memory>
#include <string>

#include "model/StyleList.h"

namespace quillane {

class TMessageBox;

// What the style box or the style dialog asks for by name.
struct TStyleRequest {
    std::string TypedName;
    bool Required = true;                 // a blank name is refused with a message
    int32_t SelectionStyle = UndefinedAttr;  // the selection's paragraph style
    TCharAttrs Char;                      // the selection's formatting, for a new style
    TParAttrs Par;
};

// A style list with a newly created style, for the formatting operation to
// apply in place of the document's list.
struct TCreatedStyle {
    std::unique_ptr<TStyleList> List;
    int32_t Index = -1;
    bool Created = false;
};

class TStyleManager {
public:
    // The master "Normal" uses the given font (the registry's "Arial").
    explicit TStyleManager(int32_t normalFontIndex);
    TStyleManager(const TStyleManager&) = delete;
    TStyleManager& operator=(const TStyleManager&) = delete;

    const TStyleList& Master() const { return master_; }

    static void ClassifyNames(TStyleList& list);
    // Imports master "Normal" with its based-on and next styles, replacing
    // nothing the list already has.
    void ImportMaster(TStyleList& list) const;

    // The index of the style named (display name first, then stored name).
    // An absent name is offered as a new style; when the user agrees the
    // style is made in a copy of the list, returned in `created`, and its
    // index is returned. -1 when there is no style to use.
    static int32_t FindOrCreate(const TStyleList& list, const TStyleRequest& request, TMessageBox& messages,
                                TCreatedStyle& created);

private:
    TStyleList master_;
};

}  // namespace quillane

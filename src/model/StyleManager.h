#pragma once
// The program's master style list ("Normal" and "Heading 1" to "Heading 9")
// that every new document imports, and the services on style names.

#include <cstdint>

#include "model/StyleList.h"

namespace quillane {

class TMessageBox;

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

private:
    TStyleList master_;
};

}  // namespace quillane

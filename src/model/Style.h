#pragma once
// A named style: partial character and paragraph attributes that may inherit
// from another style of the same list.

#include <cstdint>
#include <functional>
#include <string>

#include "model/CharAttrs.h"
#include "model/ParAttrs.h"

namespace quillane {

class TFontNames;
class TMeasurementsManager;
class TStyleList;

// What a description of a style needs from the rest of the program.
struct TStyleDescribeContext {
    const TFontNames& Fonts;
    const TMeasurementsManager& Measures;  // the user's display unit
    TCharAttrs Defaults;                    // described for a root style's unset font and size
    // The text of a hot key; a reversible hexadecimal form when not given.
    std::function<std::string(uint16_t)> KeyText;
};

// A style's hot key: the virtual key in the low byte, the modifiers above.
constexpr uint16_t HotKeyShift = 0x100;
constexpr uint16_t HotKeyCtrl = 0x200;
constexpr uint16_t HotKeyAlt = 0x400;
constexpr int32_t FirstFunctionKey = 112;  // F1; F24 is 135

class TStyle {
public:
    // Based on "Normal", no next style, every attribute slot undefined.
    explicit TStyle(std::string name = {});

    TStyleList* Owner() const { return owner_; }

    // Copies everything but the owner.
    void Assign(const TStyle& style);

    // The text shown for the style in tooltips and the style dialogs.
    std::string Describe(bool withHotKey, const TStyleDescribeContext& context) const;

    bool BuiltIn = false;
    int32_t BuiltInIndex = -1;
    std::string Name;         // as stored in documents
    std::string DisplayName;  // as shown to the user
    int32_t BasedOn = 0;      // -1 for none
    int32_t NextStyle = -1;
    uint16_t HotKey = 0;      // 0 for none
    TCharAttrs CharAttrs;
    TParAttrs ParAttrs;       // slot 12: own index; slot 13: tab table or -1

private:
    friend class TStyleList;
    TStyleList* owner_ = nullptr;
};

// The reversible text of a hot key used when no key service is given.
std::string DefaultKeyText(uint16_t key);

}  // namespace quillane

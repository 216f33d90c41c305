// The style sheet: one group per style, read into the document's new style
// list; numbers in the file become indexes once every style is known.
#include <algorithm>
#include <memory>

#include "formats/rtf/RtfReaderCore.h"
#include "model/BuiltInStyles.h"
#include "model/Document.h"
#include "model/Style.h"
#include "model/StyleManager.h"

namespace quillane {

namespace {

constexpr int32_t NoBaseNumber = 222;
constexpr size_t MaxStyleName = 255;

}  // namespace

void TRtfReader::ReadStyleSheet() {
    options_.NormalizeStyles = true;
    TStyleList& list = doc_.Styles();
    list.Clear();
    {
        auto normal = std::make_unique<TStyle>();
        if (services_.Styles != nullptr) {
            normal->Assign(services_.Styles->Master().Style(0));
        } else {
            const TStyleManager master(fonts_.ArialIndex());
            normal->Assign(master.Master().Style(0));
        }
        list.Add(std::move(normal));
    }
    std::vector<int32_t> numbers{0};
    std::vector<int32_t> bases{NoBaseNumber};
    std::vector<int32_t> nexts{0};
    for (;;) {
        if (in_.EndOfGroup()) {
            break;
        }
        const int c = in_.Peek();
        if (c == '{') {
            in_.Skip();
            if (in_.Peek() == '\\' && in_.Peek(1) == '*') {
                in_.SkipGroup();  // character and table styles have no place here
            } else {
                ReadStyleDefinition(numbers, bases, nexts);
            }
        } else if (in_.AtControlWord()) {
            const TRtfWord word = in_.ReadWord();
            if (word.View() == "bin") {
                in_.SkipBinary(word.Value);
            }
        } else {
            in_.Skip(c == '\\' && in_.Peek(1) >= 0 ? 2 : 1);
        }
        in_.Refill();
    }

    auto indexOf = [&](int32_t number) -> int32_t {
        const auto it = std::find(numbers.begin(), numbers.end(), number);
        return it != numbers.end() ? static_cast<int32_t>(it - numbers.begin()) : -1;
    };
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        TStyle& style = list.Style(i);
        style.ParAttrs[paStyle] = i;
        style.NextStyle = indexOf(nexts[static_cast<size_t>(i)]);
        const int32_t base = bases[static_cast<size_t>(i)];
        style.BasedOn = base == NoBaseNumber ? -1 : indexOf(base);
    }
    list.RepairLinks();  // no style is its own base, and no chain loops
    TStyleManager::ClassifyNames(list);
    styleNumbers_ = std::move(numbers);
}

void TRtfReader::ReadStyleDefinition(std::vector<int32_t>& numbers, std::vector<int32_t>& bases,
                                     std::vector<int32_t>& nexts) {
    auto style = std::make_unique<TStyle>();
    TRtfStyleTarget target;
    target.Style = style.get();
    style_ = &target;
    bool section = false;
    bool characterStyle = false;
    int32_t base = NoBaseNumber;
    int32_t next = INT32_MIN;  // none given: the style itself
    std::string name;
    const uint32_t savedKind = tabKind_;
    const uint32_t savedLeader = tabLeader_;
    tabKind_ = 0;
    tabLeader_ = 0;
    for (;;) {
        if (in_.EndOfGroup()) {
            break;
        }
        const int c = in_.Peek();
        if (c == '{') {
            in_.Skip();
            const TRtfWord word = in_.ReadGroupWord();
            const int32_t special = words_.Special.Find(word.View());
            if (special == swKeycode) {
                ReadKeyCode(*style);
            } else if (special == swStloverrides) {
                ReadStyleOverrides(*style);
            } else if (words_.Destinations.Find(word.View()) == dwPn) {
                ReadStyleBullet();
            } else {
                in_.SkipGroup();
            }
        } else if (in_.AtControlWord()) {
            const TRtfWord word = in_.ReadWord();
            switch (words_.Special.Find(word.View())) {
                case swDs: section = true; break;
                case swSbasedon: base = word.Value; break;
                case swSnext: next = word.Value; break;
                default:
                    if (word.View() == "cs") {
                        characterStyle = true;  // written without \* by some programs
                    } else if (word.View() == "bin") {
                        in_.SkipBinary(word.Value);
                    } else {
                        DispatchBody(word);
                    }
                    break;
            }
        } else if (c == '\r' || c == '\n') {
            in_.Skip();
        } else {
            ReadStyleName(name);  // the name runs to the end of the definition
            break;
        }
        in_.Refill();
    }
    style_ = nullptr;
    tabKind_ = savedKind;
    tabLeader_ = savedLeader;
    if (section || characterStyle) {
        return;
    }
    TStyleList& list = doc_.Styles();
    if (target.Tabs.StopCount() > 0) {
        style->ParAttrs[paTabTable] = doc_.Tabs().Intern(target.Tabs);
    }
    if (next == INT32_MIN) {
        next = target.Number;
    }
    if (SameNameIgnoringCase(name, "Normal")) {
        TStyle& normal = list.Style(0);
        normal.CharAttrs = style->CharAttrs;
        normal.ParAttrs = style->ParAttrs;
        normal.HotKey = style->HotKey;
        normal.BasedOn = -1;
        numbers[0] = target.Number;
        bases[0] = NoBaseNumber;
        nexts[0] = next;
        return;
    }
    style->Name = name;
    list.Add(std::move(style));
    numbers.push_back(target.Number);
    bases.push_back(base);
    nexts.push_back(next);
}

void TRtfReader::ReadStyleName(std::string& name) {
    ReadGroupText(name, MaxStyleName + 1);
    if (!name.empty() && name.back() == ';') {
        name.pop_back();
    } else if (const size_t semicolon = name.rfind(';'); semicolon != std::string::npos) {
        name.resize(semicolon);
    }
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    const size_t start = name.find_first_not_of(' ');
    name.erase(0, start == std::string::npos ? name.size() : start);
    if (name.size() > MaxStyleName) {
        name.resize(MaxStyleName);
    }
}

void TRtfReader::ReadKeyCode(TStyle& style) {
    uint16_t modifiers = 0;
    uint16_t key = 0;
    for (;;) {
        if (in_.EndOfGroup()) {
            break;
        }
        const int c = in_.Peek();
        if (c == '{') {
            in_.Skip();
            in_.SkipGroup();
        } else if (in_.AtControlWord()) {
            const TRtfWord word = in_.ReadWord();
            switch (words_.Special.Find(word.View())) {
                case swShift: modifiers |= HotKeyShift; break;
                case swAlt: modifiers |= HotKeyAlt; break;
                case swCtrl: modifiers |= HotKeyCtrl; break;
                case swFn:
                    if (word.Value >= 1 && word.Value <= 24) {
                        key = static_cast<uint16_t>(FirstFunctionKey - 1 + word.Value);
                    }
                    break;
                default: break;
            }
        } else if (c == '\\') {
            const int next = in_.Peek(1);
            if (next == '\\' || next == '{' || next == '}') {
                key = static_cast<uint16_t>(next);
            }
            in_.Skip(next < 0 ? 1 : 2);
        } else {
            if (c > ' ') {
                key = static_cast<uint16_t>(c >= 'a' && c <= 'z' ? c - 32 : c);
            }
            in_.Skip();
        }
        in_.Refill();
    }
    if (key != 0) {
        style.HotKey = static_cast<uint16_t>(key | modifiers);
    }
}

void TRtfReader::ReadStyleOverrides(TStyle& style) {
    const int32_t number = style.ParAttrs[paStyle];
    style.ParAttrs.Slots.fill(UndefinedAttr);
    style.ParAttrs[paStyle] = number;
    style.CharAttrs.Slots.fill(UndefinedAttr);
    style_->Tabs.Clear();  // the style's own stops replace those of its whole formatting
    options_.NormalizeStyles = false;  // the style says exactly what it overrides
    for (;;) {
        if (in_.EndOfGroup()) {
            break;
        }
        const int c = in_.Peek();
        if (c == '{') {
            in_.Skip();
            if (words_.Destinations.Find(in_.ReadGroupWord().View()) == dwPn) {
                ReadStyleBullet();
            } else {
                in_.SkipGroup();
            }
        } else if (in_.AtControlWord()) {
            const TRtfWord word = in_.ReadWord();
            if (words_.Body.Find(word.View()) == bwS) {
                style_->Number = word.Value;
            } else {
                DispatchBody(word);
            }
        } else {
            in_.Skip(c == '\\' && in_.Peek(1) >= 0 ? 2 : 1);
        }
        in_.Refill();
    }
}

void TRtfReader::ReadStyleBullet() {
    for (;;) {
        if (in_.EndOfGroup()) {
            return;
        }
        const int c = in_.Peek();
        if (c == '{') {
            in_.Skip();
            in_.SkipGroup();
        } else if (in_.AtControlWord()) {
            const TRtfWord word = in_.ReadWord();
            if (words_.Body.Find(word.View()) == bwPnlvlblt) {
                Bullet();
            } else if (word.View() == "bin") {
                in_.SkipBinary(word.Value);
            }
        } else {
            in_.Skip(c == '\\' && in_.Peek(1) >= 0 ? 2 : 1);
        }
        in_.Refill();
    }
}

}  // namespace quillane

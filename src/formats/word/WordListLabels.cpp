#include "formats/word/WordListLabels.h"

#include <algorithm>
#include <cctype>

namespace quillane {

namespace {

std::string Roman(int32_t n, bool upper) {
    static const struct {
        int32_t Value;
        const char* Text;
    } digits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
                  {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    std::string text;
    for (const auto& d : digits) {
        while (n >= d.Value) {
            text += d.Text;
            n -= d.Value;
        }
    }
    if (upper) {
        for (char& c : text) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return text;
}

// A, B, ..., Z, AA, BB, ...: the letter repeats once more every 26.
std::string Letters(int32_t n, bool upper) {
    const char letter = static_cast<char>((upper ? 'A' : 'a') + (n - 1) % 26);
    return std::string(static_cast<size_t>((n - 1) / 26 + 1), letter);
}

std::string OrdinalSuffix(int32_t n) {
    const int32_t tens = n % 100;
    if (tens >= 11 && tens <= 13) {
        return "th";
    }
    switch (n % 10) {
        case 1: return "st";
        case 2: return "nd";
        case 3: return "rd";
        default: return "th";
    }
}

std::string CardinalWords(int32_t n) {
    static const char* const ones[] = {"zero",    "one",     "two",       "three",    "four",
                                       "five",    "six",     "seven",     "eight",    "nine",
                                       "ten",     "eleven",  "twelve",    "thirteen", "fourteen",
                                       "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
    static const char* const tens[] = {"", "", "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"};
    std::string text;
    if (n >= 1000) {
        text = CardinalWords(n / 1000) + " thousand";
        n %= 1000;
        if (n == 0) {
            return text;
        }
        text += " ";
    }
    if (n >= 100) {
        text += std::string(ones[n / 100]) + " hundred";
        n %= 100;
        if (n == 0) {
            return text;
        }
        text += " ";
    }
    if (n >= 20) {
        text += tens[n / 10];
        if (n % 10 != 0) {
            text += std::string("-") + ones[n % 10];
        }
        return text;
    }
    return text + ones[n];
}

std::string OrdinalWords(int32_t n) {
    std::string text = CardinalWords(n);
    static const struct {
        const char* Cardinal;
        const char* Ordinal;
    } irregular[] = {{"one", "first"}, {"two", "second"}, {"three", "third"}, {"five", "fifth"},
                     {"eight", "eighth"}, {"nine", "ninth"}, {"twelve", "twelfth"}};
    for (const auto& word : irregular) {
        const std::string cardinal = word.Cardinal;
        if (text.size() >= cardinal.size() && text.compare(text.size() - cardinal.size(), cardinal.size(), cardinal) == 0) {
            return text.substr(0, text.size() - cardinal.size()) + word.Ordinal;
        }
    }
    if (text.back() == 'y') {
        return text.substr(0, text.size() - 1) + "ieth";
    }
    return text + "th";
}

std::string Capitalised(std::string text) {
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    return text;
}

}  // namespace

std::string FormatListNumber(int32_t number, uint8_t format) {
    const bool positive = number >= 1;
    switch (format) {
        case nfUpperRoman:
        case nfLowerRoman:
            if (positive && number < 4000) {
                return Roman(number, format == nfUpperRoman);
            }
            break;
        case nfUpperLetter:
        case nfLowerLetter:
            if (positive && number <= 780) {  // up to 30 letters
                return Letters(number, format == nfUpperLetter);
            }
            break;
        case nfOrdinal:
            if (positive) {
                return std::to_string(number) + OrdinalSuffix(number);
            }
            break;
        case nfCardinalText:
            if (number >= 0 && number < 1000000) {
                return Capitalised(CardinalWords(number));
            }
            break;
        case nfOrdinalText:
            if (positive && number < 1000000) {
                return Capitalised(OrdinalWords(number));
            }
            break;
        case nfDecimalZero:
            if (number >= 0 && number < 10) {
                return "0" + std::to_string(number);
            }
            break;
        case nfBullet:
        case nfNone: return {};
        default: break;
    }
    return std::to_string(number);
}

int32_t TWordListNumbering::StartOf(int32_t override, int32_t level) const {
    if (const auto start = lists_.StartOverride(override, level)) {
        return *start;
    }
    const TWordListLevel* found = lists_.Level(override, level);
    return found != nullptr ? found->StartAt : 1;
}

bool TWordListNumbering::IsBullet(int32_t override, int32_t level) const {
    const TWordListLevel* found = lists_.Level(override, level);
    return found != nullptr && found->Format == nfBullet;
}

std::optional<TWordListLabel> TWordListNumbering::Next(int32_t override, int32_t level) {
    const TWordListLevel* shown = lists_.Level(override, level);
    const int32_t key = lists_.NumberingKey(override);
    if (shown == nullptr || key < 0) {
        return std::nullopt;
    }
    if (lists_.Simple(override)) {
        level = 0;  // one level, one count, whatever level the paragraph names
    }
    TCounters& counters = counters_[key];
    const auto at = static_cast<size_t>(level);
    counters.Value[at] = counters.Started[at] ? counters.Value[at] + 1 : StartOf(override, level);
    counters.Started[at] = true;
    // Deeper levels start again, unless theirs is a later restart.
    for (int32_t deeper = level + 1; deeper < TWordLists::MaxLevels; ++deeper) {
        const TWordListLevel* below = lists_.Level(override, deeper);
        if (below != nullptr && (!below->NoRestart || level < below->RestartLimit)) {
            counters.Started[static_cast<size_t>(deeper)] = false;
        }
    }
    if (shown->Format == nfBullet) {
        return std::nullopt;
    }
    TWordListLabel label;
    label.Follow = shown->Follow;
    label.CharSprms = shown->CharSprms;
    for (const char16_t c : shown->Text) {
        if (c >= TWordLists::MaxLevels) {
            label.Text += c;
            continue;
        }
        const auto k = static_cast<size_t>(c);
        const int32_t value = counters.Started[k] ? counters.Value[k] : StartOf(override, static_cast<int32_t>(k));
        const TWordListLevel* other = lists_.Level(override, static_cast<int32_t>(k));
        const uint8_t decimal = nfDecimal;
        const uint8_t format = other == nullptr || (shown->Legal && static_cast<int32_t>(k) != level) ? decimal
                                                                                                      : other->Format;
        for (const char d : FormatListNumber(value, format)) {
            label.Text += static_cast<char16_t>(d);
        }
    }
    return label;
}

std::optional<TWordAnldLabel> TWordListNumbering::NextWord6(int32_t level, TByteView anld) {
    // ANLD: the number format, the lengths of the text before and of the
    // text up to the end of what follows, flags, the start, then the text.
    constexpr uint64_t TextAt = 20;
    constexpr uint64_t TextSize = 32;
    if (level < 1 || level > 11 || !anld.Has(0, TextAt)) {
        return std::nullopt;
    }
    const uint8_t format = anld.U8(0);
    const uint8_t before = std::min<uint8_t>(anld.U8(1), TextSize);
    const uint8_t after = std::min<uint8_t>(std::max(anld.U8(2), before), TextSize);
    const bool previous = (anld.U8(3) & 0x04) != 0;
    const int32_t start = anld.U16(10);
    const auto text = [&](uint64_t from, uint64_t to) {
        std::string bytes;
        for (uint64_t i = from; i < to && anld.Has(TextAt + i, 1); ++i) {
            bytes += static_cast<char>(anld.U8(TextAt + i));
        }
        return bytes;
    };
    TWordAnldLabel label;
    if (level == 11 || format == nfBullet) {
        label.Bullet = true;
        word6ListOpen_ = false;
        return label;
    }
    const auto at = static_cast<size_t>(level - 1);
    if (level == 10) {
        // A numbered list goes on while its paragraphs follow each other.
        word6Value_[at] = word6ListOpen_ ? word6Value_[at] + 1 : start;
        word6ListOpen_ = true;
    } else {
        word6Value_[at] = word6Started_[at] ? word6Value_[at] + 1 : start;
        word6Started_[at] = true;
        for (size_t deeper = at + 1; deeper < 9; ++deeper) {
            word6Started_[deeper] = false;
        }
        word6ListOpen_ = false;
    }
    label.Text = text(0, before);
    if (previous && level <= 9) {
        for (size_t k = 0; k < at; ++k) {
            label.Text += std::to_string(word6Started_[k] ? word6Value_[k] : 1) + ".";
        }
    }
    label.Text += FormatListNumber(word6Value_[at], format);
    label.Text += text(before, after);
    return label;
}

}  // namespace quillane

#include "platform/RegFile.h"

#include <algorithm>
#include <cctype>

namespace quillane {

const char RegFileHeader[] = "Windows Registry Editor Version 5.00";

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The sort key of a name or path: folded case, and "\" below every other
// character so that a key's subkeys follow it directly.
std::string SortKey(std::string_view text) {
    std::string key(text);
    for (char& c : key) {
        c = c == '\\' ? '\x01' : FoldAscii(c);
    }
    return key;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t extra = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, cp = c & 0x07;
        } else {
            return false;
        }
        if (s.size() - i <= extra) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

std::string Latin1ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (char c : s) {
        AppendUtf8(out, static_cast<unsigned char>(c));
    }
    return out;
}

// UTF-16LE (after its byte-order mark) to UTF-8; unpaired surrogates become
// U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    const size_t units = bytes.size() / 2;
    auto unit = [&](size_t k) {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                     (static_cast<unsigned char>(bytes[2 * k + 1]) << 8));
    };
    for (size_t k = 0; k < units; ++k) {
        uint32_t cp = unit(k);
        if (cp >= 0xD800 && cp <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(k + 1) - 0xDC00);
            ++k;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

// A quoted name or string starting at text[pos] == '"'. Moves pos past the
// closing quote; false when there is none.
bool ParseQuoted(std::string_view text, size_t& pos, std::string& out) {
    out.clear();
    for (size_t i = pos + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            switch (next) {
                case '\\': out += '\\'; break;
                case '"': out += '"'; break;
                case 'n': out += '\n'; break;
                default:  // not an escape this syntax knows: both characters stand
                    out += '\\';
                    out += next;
                    break;
            }
            continue;
        }
        out += c;
    }
    return false;
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            default: out += c; break;
        }
    }
    out += '"';
}

bool ParseDword(std::string_view digits, uint32_t& value) {
    if (digits.empty() || digits.size() > 8) {
        return false;
    }
    value = 0;
    for (char c : digits) {
        const int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : (FoldAscii(c) >= 'a' && FoldAscii(c) <= 'f') ? FoldAscii(c) - 'a' + 10
                                                                     : -1;
        if (d < 0) {
            return false;
        }
        value = (value << 4) | static_cast<uint32_t>(d);
    }
    return true;
}

// The type of an uninterpreted value: "hex:", "hex(7):", "qword:" and the
// like, a word of letters, digits and parentheses before a colon.
bool LooksLikeTypedValue(std::string_view rhs) {
    const size_t colon = rhs.find(':');
    if (colon == 0 || colon == std::string_view::npos) {
        return false;
    }
    return std::all_of(rhs.begin(), rhs.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '(' || c == ')';
    });
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

class TRegParser {
public:
    explicit TRegParser(std::string_view text) : text_(text) {}

    TRegDocument Run() {
        bool headerSeen = false;
        bool anyContent = false;
        TRegSection* section = nullptr;
        std::string line;
        while (NextLine(line)) {
            const std::string_view view = TrimRight(line);
            if (view.empty() || view.front() == ';') {
                continue;
            }
            anyContent = true;
            if (!headerSeen && view == RegFileHeader) {
                headerSeen = true;
                continue;
            }
            if (view.front() == '[') {
                section = nullptr;
                if (view.size() > 2 && view.back() == ']' && view[1] != '-') {
                    section = &AddSection(doc_, view.substr(1, view.size() - 2));
                } else {
                    ++doc_.IgnoredLines;
                }
                continue;
            }
            TRegValue value;
            if (section == nullptr || !ParseValueLine(view, value)) {
                ++doc_.IgnoredLines;
                continue;
            }
            SetValue(*section, value);
        }
        if (anyContent && !headerSeen) {
            ++doc_.IgnoredLines;
        }
        return std::move(doc_);
    }

private:
    // The next line without its end; a line that is not UTF-8 is Latin-1.
    bool NextLine(std::string& line) {
        if (pos_ >= text_.size()) {
            return false;
        }
        size_t end = text_.find('\n', pos_);
        const bool hasEnd = end != std::string_view::npos;
        if (!hasEnd) {
            end = text_.size();
        }
        std::string_view raw = text_.substr(pos_, end - pos_);
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
            if (firstLine_ && hasEnd) {
                doc_.CrLf = true;
            }
        }
        firstLine_ = false;
        pos_ = hasEnd ? end + 1 : end;
        line = IsValidUtf8(raw) ? std::string(raw) : Latin1ToUtf8(raw);
        return true;
    }

    bool ParseValueLine(std::string_view view, TRegValue& value) {
        size_t pos = 0;
        if (view.front() == '@') {
            value.Name.clear();
            pos = 1;
        } else if (view.front() != '"' || !ParseQuoted(view, pos, value.Name)) {
            return false;
        }
        if (pos >= view.size() || view[pos] != '=') {
            return false;
        }
        const std::string_view rhs = view.substr(pos + 1);
        if (!rhs.empty() && rhs.front() == '"') {
            size_t end = 0;
            value.Kind = TSettingsValueKind::String;
            return ParseQuoted(rhs, end, value.Text) && end == rhs.size();
        }
        if (rhs.substr(0, 6) == "dword:") {
            value.Kind = TSettingsValueKind::Number;
            return ParseDword(rhs.substr(6), value.Number);
        }
        if (!LooksLikeTypedValue(rhs)) {
            return false;  // "-" (a deletion in an import file) lands here too
        }
        value.Kind = TSettingsValueKind::Other;
        value.Text = rhs;
        // Binary values go on over indented lines while a line ends in a
        // backslash; a line that is not indented is not part of the value.
        std::string more;
        while (!value.Text.empty() && value.Text.back() == '\\') {
            const size_t mark = pos_;
            if (!NextLine(more) || TrimRight(more).empty() || (more.front() != ' ' && more.front() != '\t')) {
                pos_ = mark;
                break;
            }
            value.Text += '\n';
            value.Text += TrimRight(more);
        }
        return true;
    }

    std::string_view text_;
    size_t pos_ = 0;
    bool firstLine_ = true;
    TRegDocument doc_;
};

}  // namespace

std::string NormalizeKeyPath(std::string_view path) {
    std::string out;
    for (char c : path) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) {
            continue;
        }
        out += c;
    }
    if (!out.empty() && out.back() == '\\') {
        out.pop_back();
    }
    return out;
}

bool SameSettingsName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

TRegDocument ParseRegText(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        const std::string utf8 = Utf16LeToUtf8(bytes.substr(2));
        return TRegParser(utf8).Run();
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    return TRegParser(bytes).Run();
}

std::string FormatRegText(const TRegDocument& doc) {
    const char* newline = doc.CrLf ? "\r\n" : "\n";
    std::vector<const TRegSection*> sections;
    for (const TRegSection& s : doc.Sections) {
        sections.push_back(&s);
    }
    std::stable_sort(sections.begin(), sections.end(), [](const TRegSection* a, const TRegSection* b) {
        return SortKey(a->Path) < SortKey(b->Path);
    });
    std::string out = RegFileHeader;
    out += newline;
    for (const TRegSection* s : sections) {
        out += newline;
        out += '[';
        out += s->Path;
        out += ']';
        out += newline;
        std::vector<const TRegValue*> values;
        for (const TRegValue& v : s->Values) {
            values.push_back(&v);
        }
        std::stable_sort(values.begin(), values.end(), [](const TRegValue* a, const TRegValue* b) {
            return SortKey(a->Name) < SortKey(b->Name);
        });
        for (const TRegValue* v : values) {
            if (v->Name.empty()) {
                out += '@';
            } else {
                AppendQuoted(out, v->Name);
            }
            out += '=';
            switch (v->Kind) {
                case TSettingsValueKind::Number: {
                    static const char digits[] = "0123456789abcdef";
                    out += "dword:";
                    for (int shift = 28; shift >= 0; shift -= 4) {
                        out += digits[(v->Number >> shift) & 0xF];
                    }
                    break;
                }
                case TSettingsValueKind::String: AppendQuoted(out, v->Text); break;
                default:
                    for (char c : v->Text) {
                        if (c == '\n') {
                            out += newline;
                        } else {
                            out += c;
                        }
                    }
                    break;
            }
            out += newline;
        }
    }
    return out;
}

TRegSection* FindSection(TRegDocument& doc, std::string_view path) {
    for (TRegSection& s : doc.Sections) {
        if (SameSettingsName(s.Path, path)) {
            return &s;
        }
    }
    return nullptr;
}

TRegSection& AddSection(TRegDocument& doc, std::string_view path) {
    if (TRegSection* s = FindSection(doc, path)) {
        return *s;
    }
    doc.Sections.push_back(TRegSection{std::string(path), {}});
    return doc.Sections.back();
}

const TRegValue* FindValue(const TRegSection& section, std::string_view name) {
    for (const TRegValue& v : section.Values) {
        if (SameSettingsName(v.Name, name)) {
            return &v;
        }
    }
    return nullptr;
}

void SetValue(TRegSection& section, const TRegValue& value) {
    for (TRegValue& v : section.Values) {
        if (SameSettingsName(v.Name, value.Name)) {
            std::string name = std::move(v.Name);
            v = value;
            v.Name = std::move(name);
            return;
        }
    }
    section.Values.push_back(value);
}

void RemoveValue(TRegSection& section, std::string_view name) {
    std::erase_if(section.Values, [&](const TRegValue& v) { return SameSettingsName(v.Name, name); });
}

void RemoveTree(TRegDocument& doc, std::string_view path) {
    std::erase_if(doc.Sections, [&](const TRegSection& s) {
        return SameSettingsName(s.Path, path) ||
               (s.Path.size() > path.size() && s.Path[path.size()] == '\\' &&
                SameSettingsName(std::string_view(s.Path).substr(0, path.size()), path));
    });
}

}  // namespace quillane

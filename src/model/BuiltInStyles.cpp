#include "model/BuiltInStyles.h"

#include <cctype>

#include "model/StyleList.h"

namespace quillane {

namespace {

constexpr const char* Names[BuiltInStyleCount] = {
    "Normal",
    "Heading 1", "Heading 2", "Heading 3", "Heading 4", "Heading 5",
    "Heading 6", "Heading 7", "Heading 8", "Heading 9",
    "Index 1", "Index 2", "Index 3", "Index 4", "Index 5",
    "Index 6", "Index 7", "Index 8", "Index 9",
    "TOC 1", "TOC 2", "TOC 3", "TOC 4", "TOC 5", "TOC 6", "TOC 7", "TOC 8", "TOC 9",
    "Normal Indent", "Footnote Text", "Annotation Text", "Header", "Footer",
    "Index Heading", "Caption", "Table of Figures", "Envelope Address", "Envelope Return",
    "Footnote Reference", "Annotation Reference", "Line Number", "Page Number",
    "Endnote Reference", "Endnote Text", "Table of Authorities", "Macro Text", "TOA Heading",
    "List", "List 2", "List 3", "List 4", "List 5",
    "List Bullet", "List Bullet 2", "List Bullet 3", "List Bullet 4", "List Bullet 5",
    "List Number", "List Number 2", "List Number 3", "List Number 4", "List Number 5",
    "Title", "Closing", "Signature", "Default Paragraph Font", "Body Text", "Body Text Indent",
    "List Continue", "List Continue 2", "List Continue 3", "List Continue 4", "List Continue 5",
    "Message Header", "Subtitle", "Salutation", "Date", "Body Text First Indent",
    "Body Text First Indent 2", "Note Heading", "Body Text 2", "Body Text 3",
    "Body Text Indent 2", "Body Text Indent 3", "Block Text", "Hyperlink", "Followed Hyperlink",
    "Strong", "Emphasis", "Document Map", "Plain Text", "TOC Title",
};

}  // namespace

const char* BuiltInStyleName(int32_t i) { return i >= 0 && i < BuiltInStyleCount ? Names[i] : ""; }

const char* BuiltInStyleDisplayName(int32_t i) { return BuiltInStyleName(i); }

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

int32_t FindBuiltInStyle(const std::string& name) {
    for (int32_t i = 0; i < BuiltInStyleCount; ++i) {
        if (SameNameIgnoringCase(name, BuiltInStyleDisplayName(i))) {
            return i;
        }
    }
    for (int32_t i = 0; i < BuiltInStyleCount; ++i) {
        if (SameNameIgnoringCase(name, BuiltInStyleName(i))) {
            return i;
        }
    }
    return -1;
}

bool IsHeadingStyle(int32_t builtInIndex) { return builtInIndex >= 1 && builtInIndex <= 9; }

bool BuiltInNameWrittenInLowerCase(int32_t i) {
    return (i >= 1 && i <= 27) || (i >= 29 && i <= 44) || i == 46;
}

void ClassifyStyleNames(TStyleList& list) {
    for (int32_t i = 0; i < list.StyleCount(); ++i) {
        TStyle& style = list.Style(i);
        style.BuiltInIndex = FindBuiltInStyle(style.Name);
        style.BuiltIn = style.BuiltInIndex >= 0;
        if (style.BuiltIn) {
            style.Name = BuiltInStyleName(style.BuiltInIndex);
            style.DisplayName = BuiltInStyleDisplayName(style.BuiltInIndex);
        } else {
            style.DisplayName = style.Name;
        }
    }
}

}  // namespace quillane

#pragma once
// The document formats the program knows. One small index names a format
// everywhere: in the document, in the opening and saving requests, in the
// format registry and the file dialogs.

#include <cstdint>

namespace quillane {

enum TDocumentFormatIndex : int32_t {
    dfFailed = -1,  // in an opening request: opening has failed
    dfRtf = 0,
    dfWord6 = 1,    // MS Word 6.0/95
    dfWord97 = 2,   // MS Word 97/2000
    dfWrite = 3,
    dfAnsiText = 4,
    dfDosText = 5,
    dfDetect = 6,   // in an opening request: detect the format
};
constexpr int DocumentFormatCount = 6;

struct TDocumentFormatInfo {
    const char* Name;        // shown to the user
    const char* ShortName;
    const char* Filter;      // open/save dialog filter
    const char* Extension;   // default extension, without the dot
    bool Savable;
    const char* Template;    // template whose page settings and styles a file of this format receives
};

extern const TDocumentFormatInfo DocumentFormats[DocumentFormatCount];

inline bool IsValidFormat(int32_t format) { return format >= 0 && format < DocumentFormatCount; }
// Formats above Write are written by the text writer, above ANSI text through
// the OEM code page.
inline bool IsTextFormat(int32_t format) { return format > dfWrite; }
inline bool IsOemFormat(int32_t format) { return format > dfAnsiText; }

}  // namespace quillane

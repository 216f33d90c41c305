#pragma once
// The command line of quillane-convert: read a document through the same
// readers as the word processor and write it in another format, or describe
// it; or read a picture file (PNG, JPEG, GIF, BMP, Targa, PCX) and write it
// with the program's PNG encoder.

#include <climits>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace quillane {

class TFontSystem;

// The --to value that writes the text as UTF-8 (no document format).
constexpr int32_t ConvertToUtf8 = 100;

struct TConvertRequest {
    enum class TAction { Convert, Info, Styles, Fonts, Layout, Images, Pdf, Picture, Edit, Help };
    TAction Action = TAction::Convert;
    int32_t From = 6;     // dfDetect
    int32_t To = -1;      // from the output's extension when not given
    int OemCodePage = 0;  // 0: the system's
    int AnsiCodePage = 0;
    std::string Input;
    std::string Output;  // for page images, the prefix of their names
    std::string Script;  // the editing script of --edit
    int32_t Zoom = 100;
    int32_t FirstPage = 1;
    int32_t LastPage = INT32_MAX;
    bool CompactRtf = true;  // RTF with 8-bit text unescaped and pictures as PNG/JPEG data
    // The process ends right after the call: the document is left for the
    // system, which takes its memory back at once, faster than freeing a
    // large document block by block.
    bool LeaveDocumentAtExit = false;
};

// Parses the arguments (without the program name); on a usage error returns
// nothing and puts the reason in `error`.
std::optional<TConvertRequest> ParseConvertArguments(const std::vector<std::string>& args, std::string& error);

// Carries out a request; messages go to `err`. Returns the exit code: 0 on
// success, 1 when the conversion failed, 2 when an editing script stopped
// (OUT is then untouched). Fonts are
// listed from the given font system, or the platform's when none is given.
int RunConvert(const TConvertRequest& request, std::ostream& out, std::ostream& err,
               TFontSystem* fonts = nullptr);

// The font families as the program sees them, one a line: name, character
// set, pitch and family, separated by tabs.
void ListFonts(TFontSystem& fonts, std::ostream& out);

extern const char* const ConvertUsage;

}  // namespace quillane

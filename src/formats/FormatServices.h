#pragma once
// What readers and writers need from the program: the message box for the
// questions they ask, the code-page converter for DOS text, and somewhere
// to report progress. Passed in; nothing here is global.

#include <cstdint>
#include <exception>

#include "platform/CodePages.h"
#include "platform/MessageBox.h"

namespace quillane {

class TFontManager;
class TImportedPictureSink;
class TStyleManager;

class TProgressSink {
public:
    virtual ~TProgressSink() = default;
    virtual void SetRange(int64_t maximum) = 0;
    virtual void SetPosition(int64_t position) = 0;
};

class TFontManager;

struct TFormatServices {
    TMessageBox& Messages;
    const TCodePageConverter& CodePages;
    TProgressSink* Progress = nullptr;  // optional
    // The program-wide font registry; the RTF reader registers font tables in it.
    TFontManager* Fonts = nullptr;
    // The master style list whose "Normal" a style sheet starts from; when
    // absent, the built-in master is used.
    const TStyleManager* Styles = nullptr;
    // Where the RTF and Word readers hand pictures and objects; when absent
    // they are dropped and the document is marked as opened with data losses.
    TImportedPictureSink* Pictures = nullptr;
};

// Thrown to end a load or save the user cancelled; the message has been shown.
class TSilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

}  // namespace quillane

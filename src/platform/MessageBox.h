#pragma once
// Every message the program shows goes through one routine with a kind and a
// button set, and returns the button pressed. In a message text "||" stands
// for a line break.

#include <initializer_list>
#include <memory>
#include <string>

namespace quillane {

enum class TMessageKind { Warning, Error, Information, Confirmation };
// YesNoCancelAll adds "Yes to All" and "No to All" for questions asked once
// per item of a batch. AbortRetryIgnore is the installer's question after a
// file could not be written.
enum class TMessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, YesNoCancelAll, YesCancel, AbortRetryIgnore };
enum class TMessageAnswer { Ok, Cancel, Yes, No, Retry, YesToAll, NoToAll, Abort, Ignore };

class TMessageBox {
public:
    virtual ~TMessageBox() = default;
    virtual TMessageAnswer Show(const std::string& text, TMessageKind kind, TMessageButtons buttons) = 0;
};

// The platform's message box: a dialog on Windows, standard error on a
// console, where nobody can answer and the cautious button is taken.
std::unique_ptr<TMessageBox> CreateSystemMessageBox();

// Shows nothing and answers Cancel (or the only button): the silent mode of
// printing from the command line and of background conversions.
class TSilentMessageBox final : public TMessageBox {
public:
    TMessageAnswer Show(const std::string&, TMessageKind, TMessageButtons buttons) override;
};

// The answer of a box that cannot ask: Cancel where offered, else Abort,
// else No, else OK.
TMessageAnswer CautiousAnswer(TMessageButtons buttons);

// Replaces each "%s" of the pattern by the next argument, in order.
std::string FormatMessageText(const std::string& pattern, std::initializer_list<std::string> args);

// Replaces "||" by the given line break.
std::string ExpandLineBreaks(const std::string& text, const char* lineBreak);

}  // namespace quillane

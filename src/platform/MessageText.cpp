#include <string>

#include "platform/MessageBox.h"

namespace quillane {

TMessageAnswer CautiousAnswer(TMessageButtons buttons) {
    switch (buttons) {
        case TMessageButtons::Ok: return TMessageAnswer::Ok;
        case TMessageButtons::YesNo: return TMessageAnswer::No;
        case TMessageButtons::OkCancel:
        case TMessageButtons::YesNoCancel:
        case TMessageButtons::RetryCancel:
        case TMessageButtons::YesNoCancelAll:
        case TMessageButtons::YesCancel: return TMessageAnswer::Cancel;
        case TMessageButtons::AbortRetryIgnore: return TMessageAnswer::Abort;
    }
    return TMessageAnswer::Cancel;
}

TMessageAnswer TSilentMessageBox::Show(const std::string&, TMessageKind, TMessageButtons buttons) {
    return CautiousAnswer(buttons);
}

std::string FormatMessageText(const std::string& pattern, std::initializer_list<std::string> args) {
    std::string result;
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && next != args.end()) {
            result += *next++;
            ++i;
        } else {
            result += pattern[i];
        }
    }
    return result;
}

std::string ExpandLineBreaks(const std::string& text, const char* lineBreak) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '|' && i + 1 < text.size() && text[i + 1] == '|') {
            result += lineBreak;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

}  // namespace quillane

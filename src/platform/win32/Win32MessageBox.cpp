#include <windows.h>

#include "platform/MessageBox.h"
#include "platform/win32/WideText.h"

namespace quillane {

namespace {

class TWin32MessageBox final : public TMessageBox {
public:
    TMessageAnswer Show(const std::string& text, TMessageKind kind, TMessageButtons buttons) override {
        UINT style = MB_TASKMODAL;
        switch (kind) {
            case TMessageKind::Warning: style |= MB_ICONWARNING; break;
            case TMessageKind::Error: style |= MB_ICONERROR; break;
            case TMessageKind::Information: style |= MB_ICONINFORMATION; break;
            case TMessageKind::Confirmation: style |= MB_ICONQUESTION; break;
        }
        switch (buttons) {
            case TMessageButtons::Ok: style |= MB_OK; break;
            case TMessageButtons::OkCancel: style |= MB_OKCANCEL; break;
            case TMessageButtons::YesNo: style |= MB_YESNO; break;
            case TMessageButtons::YesNoCancel: style |= MB_YESNOCANCEL; break;
            case TMessageButtons::RetryCancel: style |= MB_RETRYCANCEL; break;
            // The system box has no "to All" buttons; the question is then
            // asked item by item, which gives the same results.
            case TMessageButtons::YesNoCancelAll: style |= MB_YESNOCANCEL; break;
            // Nor a Yes/Cancel pair: OK stands for Yes, and Escape still cancels.
            case TMessageButtons::YesCancel: style |= MB_OKCANCEL; break;
            case TMessageButtons::AbortRetryIgnore: style |= MB_ABORTRETRYIGNORE; break;
        }
        const std::wstring wide = Utf8ToWide(ExpandLineBreaks(text, "\r\n"));
        switch (MessageBoxW(GetActiveWindow(), wide.c_str(), L"Quillane", style)) {
            case IDOK: return buttons == TMessageButtons::YesCancel ? TMessageAnswer::Yes : TMessageAnswer::Ok;
            case IDYES: return TMessageAnswer::Yes;
            case IDNO: return TMessageAnswer::No;
            case IDRETRY: return TMessageAnswer::Retry;
            case IDABORT: return TMessageAnswer::Abort;
            case IDIGNORE: return TMessageAnswer::Ignore;
            default: return TMessageAnswer::Cancel;
        }
    }
};

}  // namespace

std::unique_ptr<TMessageBox> CreateSystemMessageBox() { return std::make_unique<TWin32MessageBox>(); }

}  // namespace quillane

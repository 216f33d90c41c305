#include <cstdio>

#include "platform/MessageBox.h"

namespace quillane {

namespace {

const char* KindName(TMessageKind kind) {
    switch (kind) {
        case TMessageKind::Warning: return "warning";
        case TMessageKind::Error: return "error";
        case TMessageKind::Information: return "information";
        case TMessageKind::Confirmation: return "question";
    }
    return "message";
}

// On a console nobody can press a button: the message goes to standard
// error and the cautious answer is taken.
class TConsoleMessageBox final : public TMessageBox {
public:
    TMessageAnswer Show(const std::string& text, TMessageKind kind, TMessageButtons buttons) override {
        std::fprintf(stderr, "quillane: %s: %s\n", KindName(kind), ExpandLineBreaks(text, " ").c_str());
        return CautiousAnswer(buttons);
    }
};

}  // namespace

std::unique_ptr<TMessageBox> CreateSystemMessageBox() { return std::make_unique<TConsoleMessageBox>(); }

}  // namespace quillane

#pragma once
// A message box for tests: records every message and answers from a script.

#include <deque>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace quillane::test {

class TRecordingMessageBox final : public TMessageBox {
public:
    std::vector<std::string> Shown;
    std::deque<TMessageAnswer> Answers;  // taken in order; then the cautious answer

    TMessageAnswer Show(const std::string& text, TMessageKind, TMessageButtons buttons) override {
        Shown.push_back(text);
        if (!Answers.empty()) {
            const TMessageAnswer answer = Answers.front();
            Answers.pop_front();
            return answer;
        }
        return CautiousAnswer(buttons);
    }
};

}  // namespace quillane::test
